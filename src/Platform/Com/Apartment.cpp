#include "Platform/Com/Apartment.h"

namespace Platform {
namespace {

struct ThreadApartment {
    int depth = 0;
    DWORD model = COINIT_APARTMENTTHREADED;
};

thread_local ThreadApartment apartment;

} // namespace

HRESULT CoInitializeEx(void*, DWORD model)
{
    if (apartment.depth > 0 && apartment.model != model)
        return RPC_E_CHANGED_MODE;
    apartment.model = model;
    return apartment.depth++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (apartment.depth > 0)
        --apartment.depth;
}

int ApartmentDepth()
{
    return apartment.depth;
}

} // namespace Platform
