#pragma once
// A check box: a 15 x 15 box image and a text beside it; a click toggles the mark.

#include "UI/ControlBase.h"

#include "Platform/Signal.h"

#include <string>

namespace Zivoro::UI::Controls {

class CheckBox : public ControlBase {
public:
    void OnPaint(CPaintEventArgs* args) override;
    void OnMouseDown(CMouseEventArgs* args) override;
    void OnMouseUp(CMouseEventArgs* args) override;
    void OnMouseMove(CMouseEventArgs* args) override;
    // The box and the text width wide, the box high; size stays the text's extent.
    void UpdateLayout() override;
    // Attaches and measures the text in the UI font.
    virtual void Create(ControlBase* parentControl, const std::wstring& caption);
    // A new text, measured as Create measures it.
    void SetText(const std::wstring& caption);
    // How far the text reaches right of bounds: it is drawn centred in a rectangle one
    // box width right of its own place.
    int TextOverhang() const { return (boxWidth + 1) / 2; }

    int IsChecked() const { return checked; }
    // Changes the mark without raising changed.
    void SetChecked(int value);

    Platform::Signal<void()> changed;
    std::wstring text;
    std::int32_t checked = 0;
    std::string imageNormal = "CheckBox-Normal";
    std::string imageHover = "CheckBox-Hover";
    std::string imageChecked = "CheckBox-Checked";
    std::string imageCheckedHover = "CheckBox-CkHover";
    std::int32_t boxWidth = 15;
    std::int32_t boxHeight = 15;

private:
    void DrawBox(CPaintEventArgs* args);
};

} // namespace Zivoro::UI::Controls
