#pragma once
// Button faces, check boxes, window buttons and the title bar of the skin.

#include "ArtCanvas.h"

enum class Face { Normal, Hover, Down, Disabled };
enum class Checked { No, Yes };
enum class Hovered { No, Yes };
enum class WindowButton { Maximise, Restore };

// The plain button face; the button draws its own caption over it.
void ButtonFace(ArtCanvas& canvas, Face face);
void AddButton(ArtCanvas& canvas, Face face);
void LargeAddButton(ArtCanvas& canvas, Face face);
void PostButton(ArtCanvas& canvas, Face face);
void PostCancelButton(ArtCanvas& canvas);
void OkButton(ArtCanvas& canvas);
void CancelButton(ArtCanvas& canvas);

void CheckBox(ArtCanvas& canvas, Checked checked, Hovered hovered);
void CloseButton(ArtCanvas& canvas, Hovered hovered);
void ViewCloseButton(ArtCanvas& canvas, Hovered hovered);
void SizeButton(ArtCanvas& canvas, WindowButton button, Hovered hovered);

// Opaque greys from 250 at the top through 244 in the middle to 216 at the bottom.
void TitleRamp(ArtCanvas& canvas);
