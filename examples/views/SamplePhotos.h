#pragma once
// Photo-like sample pictures for the view's pictures and the demo: a landscape under
// a sky whose light changes from picture to picture, written as JPEG files.

#include <string>

// Writes picture number index (any number; each looks different) of the given size.
bool WriteSamplePhoto(const std::string& path, int index, int width, int height);
