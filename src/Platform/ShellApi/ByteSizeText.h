#pragma once
// The shell's short size text: "532 bytes", then three significant digits, cut (not
// rounded), in the largest unit that keeps the number under 1000: "1.50 KB",
// "15.0 MB", "150 GB", "0.97 MB" for 1000 KB.

#include "Platform/ShellApi/ShellTypes.h"

namespace Platform {

// Writes the text into buffer (cut to size characters) and returns buffer; null
// for a null buffer or size 0. A negative size is written as 0 bytes.
wchar_t* StrFormatByteSizeW(LONGLONG size, wchar_t* buffer, UINT bufferSize);

} // namespace Platform
