#pragma once
// The aspect of an object that a container asks to draw, measure or transfer.

#include "Platform/Com/ComTypes.h"

namespace Platform {

constexpr DWORD DVASPECT_CONTENT = 1;

} // namespace Platform
