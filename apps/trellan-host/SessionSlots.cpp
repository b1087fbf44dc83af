#include "SessionSlots.h"

bool SessionSlots::TakeSession()
{
    if (open >= total)
        return false;
    ++open;
    return true;
}

void SessionSlots::ReturnSession()
{
    --open;
}

bool SessionSlots::TakeOrigin(const std::string& origin)
{
    int& count = byOrigin[origin];
    if (count >= perOrigin)
        return false;
    ++count;
    return true;
}

void SessionSlots::ReturnOrigin(const std::string& origin)
{
    auto it = byOrigin.find(origin);
    if (it != byOrigin.end() && --it->second <= 0)
        byOrigin.erase(it);
}
