#pragma once
// The skin set-up a control window runs when it is created: the icon strip's cells
// and image, and every named skin image.

#include <string>

// The name of a skin image that carries a caption, in the configured language: the
// English faces are stored under the name with "-en".
std::string CaptionedSkin(const std::string& name);
// Adds every skin image to the process-wide ImageLister.
void LoadSkin();
// The icon strip's cells and image, then LoadSkin.
void SetUpSkin();
