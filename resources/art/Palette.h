#pragma once
// The skin's colours: light blue borders and fills, dark grey text, one blue accent.

#include "ArtCanvas.h"

namespace Palette {

inline const Colour border = Colour::Rgb(0xA6C5E1);
inline const Colour lightFill = Colour::Rgb(0xE6F2FD);
inline const Colour paleFill = Colour::Rgb(0xF0F6FE);
inline const Colour white = Colour::Rgb(0xFFFFFF);
inline const Colour text = Colour::Rgb(0x333333);
inline const Colour disabledText = Colour::Rgb(0xC1C1C1);
inline const Colour disabledBorder = Colour::Rgb(0xD5D5D5);
inline const Colour accent = Colour::Rgb(0x3D8BD9);
inline const Colour accentHover = Colour::Rgb(0x5AA2E8);
inline const Colour accentDown = Colour::Rgb(0x2C72BA);
inline const Colour accentBorder = Colour::Rgb(0x2F7BC8);
inline const Colour icon = Colour::Rgb(0x3A78B8);
inline const Colour danger = Colour::Rgb(0xE0544B);
inline const Colour dangerText = Colour::Rgb(0xCC3B31);
inline const Colour glyphGrey = Colour::Rgb(0x6E6E6E);

} // namespace Palette
