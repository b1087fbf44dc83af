#pragma once
// Collects a reply body as text. The body is taken in pieces of 254 bytes counted
// from its first byte; a zero byte ends the text of the piece that holds it, and the
// next piece goes on after it. The text is capped, so a hostile server cannot fill
// the memory: Append reports false once the cap is passed.

#include <cstddef>
#include <string>

class ResponseText {
public:
    static constexpr std::size_t PieceSize = 254;
    static constexpr std::size_t MaxBodyBytes = 4 * 1024 * 1024;

    bool Append(const char* data, std::size_t length);
    const std::string& Text() const { return text; }
    std::size_t Received() const { return received; }
    void Clear();

private:
    std::string text;
    std::size_t received = 0;
    bool pieceCut = false;
};
