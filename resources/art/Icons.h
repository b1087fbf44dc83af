#pragma once
// Small icons of the skin, the icon strip of the list tiles and the arrows of the
// image view.

#include "ArtCanvas.h"
#include "Glyphs.h"

void AddIcon(ArtCanvas& canvas);
// The control's 16 x 16 picture in development tools' toolboxes.
void ToolboxIcon(ArtCanvas& canvas);
void EditIcon(ArtCanvas& canvas);
void InfoIcon(ArtCanvas& canvas);
void RotateIcon(ArtCanvas& canvas, Turn turn);
void DeleteIcon(ArtCanvas& canvas);

// Six 16 × 16 cells: left turn, right turn, cross, magnifier, check mark, pencil.
void IconStrip(ArtCanvas& canvas);

void ViewArrow(ArtCanvas& canvas, Turn side);
