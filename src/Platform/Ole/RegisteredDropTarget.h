#pragma once
// Finding the registered drop target under the pointer.

#include "Platform/Com/Unknown.h"
#include "Platform/Ole/DropTarget.h"

namespace Platform {

struct RegisteredDropTarget {
    HWND window = nullptr;
    ComPtr<IDropTarget> target;
};

// The drop target of the calling thread's window under the screen point, or of its
// nearest ancestor that has one; empty when there is none.
RegisteredDropTarget RegisteredDropTargetAt(POINT screen);

} // namespace Platform
