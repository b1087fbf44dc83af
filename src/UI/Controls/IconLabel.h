#pragma once
// An icon with a text beside it that acts as a link-like button; grey when disabled.

#include "UI/ControlBase.h"

#include "Platform/Signal.h"

#include <string>

namespace Zivoro::UI::Controls {

class IconLabel : public ControlBase {
public:
    void OnPaint(CPaintEventArgs* args) override;
    void OnMouseDown(CMouseEventArgs* args) override;
    void OnMouseUp(CMouseEventArgs* args) override;
    void OnMouseMove(CMouseEventArgs* args) override;
    // Hover changes nothing the icon label draws.
    void OnMouseLeave() override;
    virtual void Create(ControlBase* parentControl, const std::wstring& caption, const std::string& image);
    virtual void DrawIcon(CPaintEventArgs* args);

    // Stores the text and sizes the control to the icon, the gap and the text.
    void SetText(const std::wstring& caption);

    Platform::Signal<void(ControlBase*)> clicked;
    std::int32_t gap = 5;
    std::string imageName;
    std::wstring text;

private:
    // The icon's width, or -1 when the skin store has no image of that name.
    int IconWidth() const;
};

} // namespace Zivoro::UI::Controls
