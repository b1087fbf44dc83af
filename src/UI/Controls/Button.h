#pragma once
// A skinned push button: a face image per state, stretched to the bounds, and an
// optional centred text. Raises clicked when a press that began on it ends on it.

#include "UI/ControlBase.h"

#include "Platform/Signal.h"

#include <string>

namespace Zivoro::UI::Controls {

class Button : public ControlBase {
public:
    void OnPaint(CPaintEventArgs* args) override;
    void OnMouseDown(CMouseEventArgs* args) override;
    void OnMouseUp(CMouseEventArgs* args) override;
    void OnMouseMove(CMouseEventArgs* args) override;
    virtual void Create(ControlBase* parentControl, const std::wstring& caption);
    virtual void DrawBackground(CPaintEventArgs* args);

    // Image names in the order normal, hover, down, disabled; an empty name shows no face.
    void SetImages(const std::string& normal, const std::string& hover, const std::string& down,
                   const std::string& disabledImage);

    Platform::Signal<void()> clicked;
    std::wstring text;
    std::string imageNormal = "BtnNormal";
    std::string imageHover = "BtnHover";
    std::string imageDisabled = "BtnDisable";
    std::string imageDown = "BtnDown";
};

} // namespace Zivoro::UI::Controls
