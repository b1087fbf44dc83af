#pragma once
// Marks the raster image classes whose members the module exports by name, as the
// design's module does; everything else in the module is hidden.

#define TRELLAN_IMAGE_EXPORT __attribute__((visibility("default")))
