#pragma once
// Apartments: each thread counts its CoInitializeEx calls and keeps the threading
// model of its first call.

#include "Platform/Com/ComTypes.h"

namespace Platform {

constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

// S_OK for the thread's first call, S_FALSE for a further call with the same model,
// RPC_E_CHANGED_MODE (nothing counted) for a call with another model.
HRESULT CoInitializeEx(void* reserved, DWORD model);
void CoUninitialize();
// Number of balanced CoInitializeEx calls outstanding on this thread.
int ApartmentDepth();

} // namespace Platform
