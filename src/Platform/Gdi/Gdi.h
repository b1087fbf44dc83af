#pragma once
// The drawing layer: device contexts, objects, shapes and text.

#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/Drawing.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Gdi/GdiTypes.h"
#include "Platform/Gdi/Text.h"
