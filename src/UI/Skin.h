#pragma once
// The skin set-up a control window runs when it is created: the icon strip's cells
// and image, and every named skin image.

// Adds every skin image to the process-wide ImageLister.
void LoadSkin();
// The icon strip's cells and image, then LoadSkin.
void SetUpSkin();
