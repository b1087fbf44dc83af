#pragma once
// Button faces, check boxes, window buttons and the title bar of the skin.

#include "ArtCanvas.h"

#include <string>

enum class Face { Normal, Hover, Down, Disabled };
enum class Checked { No, Yes };
enum class Hovered { No, Yes };
enum class WindowButton { Maximise, Restore };

// The plain button face; the button draws its own caption over it.
void ButtonFace(ArtCanvas& canvas, Face face);
// Faces that carry their caption, drawn once per language.
void AddButton(ArtCanvas& canvas, Face face, const std::string& caption);
void LargeAddButton(ArtCanvas& canvas, Face face, const std::string& caption);
void PostButton(ArtCanvas& canvas, Face face, const std::string& caption);
void PostCancelButton(ArtCanvas& canvas, const std::string& caption);
void OkButton(ArtCanvas& canvas, const std::string& caption);
void CancelButton(ArtCanvas& canvas, const std::string& caption);

void CheckBox(ArtCanvas& canvas, Checked checked, Hovered hovered);
void CloseButton(ArtCanvas& canvas, Hovered hovered);
void ViewCloseButton(ArtCanvas& canvas, Hovered hovered);
void SizeButton(ArtCanvas& canvas, WindowButton button, Hovered hovered);

// Opaque greys from 250 at the top through 244 in the middle to 216 at the bottom.
void TitleRamp(ArtCanvas& canvas);
