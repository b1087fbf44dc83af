#include "Http/ResponseText.h"

bool ResponseText::Append(const char* data, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i, ++received) {
        if (received % PieceSize == 0)
            pieceCut = false;
        if (data[i] == '\0')
            pieceCut = true;
        else if (!pieceCut)
            text += data[i];
    }
    return received <= MaxBodyBytes;
}

void ResponseText::Clear()
{
    text.clear();
    received = 0;
    pieceCut = false;
}
