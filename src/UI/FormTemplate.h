#pragma once
// The one empty dialog template every dialog-based form is created from; each form
// sets its real size when it starts.

#include "Platform/Win/Dialog.h"

const Platform::DialogTemplate& FormTemplate();
