#pragma once
// A line of text. Its rectangle has the measured size of the text; layout places
// it by its anchors and margins.

#include "UI/ControlBase.h"

#include <string>

class Label : public ControlBase {
public:
    void OnPaint(Zivoro::UI::CPaintEventArgs* args) override;
    // Takes the place from the layout rule and keeps the measured size.
    void UpdateLayout() override;

    void Create(ControlBase* parentControl, const std::wstring& caption);
    // Stores the text and sizes the rectangle to it, repainting old and new areas.
    void SetText(const std::wstring& caption);
    void SetFormat(int value) { format = value; }

    std::wstring text;
    Platform::COLORREF color = 0x333333;
    std::int32_t format = 37;
};
