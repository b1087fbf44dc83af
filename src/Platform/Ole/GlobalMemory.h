#pragma once
// Global memory blocks, the memory that data objects hand over (TYMED_HGLOBAL).
// A handle is a number looked up in a table and never reused, so a freed or made-up
// handle finds nothing and every call with it fails cleanly. Any thread may use a
// block; the caller keeps a block it reads from being freed at the same time.

#include "Platform/Win/WinTypes.h"

#include <cstddef>

namespace Platform {

struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A block of bytes (not zeroed unless GMEM_ZEROINIT is given); null when it cannot be had.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// The block's first byte, counting one more lock; null for a dead handle or an empty block.
void* GlobalLock(HGLOBAL block);
// Counts one lock less; TRUE while the block stays locked.
BOOL GlobalUnlock(HGLOBAL block);
// The block's size in bytes; 0 for a dead handle.
std::size_t GlobalSize(HGLOBAL block);
// Null when the block was freed; the handle itself when it was not a live block.
HGLOBAL GlobalFree(HGLOBAL block);

} // namespace Platform
