#pragma once
// Media types of sent file names, looked up by extension.

#include <string>

// The extension of a sent file name: from the last dot that is followed by neither a
// backslash nor a space, the dot included; empty when there is no such dot.
std::string FindNameExtension(const std::string& name);

// The media type for an extension (with its dot, case-sensitive), or
// "application/octet-stream" when the table has none.
std::string LookupMimeType(const std::string& extension);
