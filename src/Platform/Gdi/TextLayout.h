#pragma once
// Text shaped by Pango for a font: measuring and drawing on Cairo. Faces that are not
// installed fall back through fontconfig to the installed CJK face.

#include "Platform/Gdi/GdiObjects.h"

#include <string>

struct _cairo;
struct _PangoLayout;

namespace Platform {

struct PangoLibrary;

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int averageWidth = 0;
};

class TextLayout {
public:
    enum class Align { Left, Center, Right };

    TextLayout(const FontInfo& font, const std::wstring& text);
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    // Lines longer than width wrap (wrap) or end in an ellipsis (ellipsize); alignment
    // applies within that width.
    void LimitWidth(int width, bool wrap, bool ellipsize, Align align);
    void SingleLine();
    // With an ellipsizing width: no more lines than fit in height pixels.
    void LimitHeight(int height);
    SIZE PixelSize() const;
    // Draws with the top-left corner of the layout box at (x, y) in the current source.
    void Draw(_cairo* cairo, double x, double y) const;

    static FontMetrics Metrics(const FontInfo& font);

private:
    const PangoLibrary* pango;
    _PangoLayout* layout;
    int limit = -1;
};

} // namespace Platform
