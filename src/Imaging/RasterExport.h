#pragma once
// The raster image and its file classes are exports of the module, as its other
// entry points are: their members stay visible whatever the build hides.

#define RASTER_EXPORT __attribute__((visibility("default")))
