#pragma once
// A skin image at its own size.

#include "UI/ControlBase.h"

#include <string>

namespace Zivoro::UI::Controls {

class Icon : public ControlBase {
public:
    void OnPaint(CPaintEventArgs* args) override;
    virtual void Create(ControlBase* parentControl);

    std::string imageName;
};

} // namespace Zivoro::UI::Controls
