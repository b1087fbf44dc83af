#pragma once
// A form with the skinned frame: white body, title bar, grey bottom band, one-pixel
// border, a small icon and the title.

#include "UI/FormBase.h"

#include <string>

class ExtForm : public FormBase {
public:
    // The frame, the icon and the title; children are painted by derived forms.
    void OnPaint(Zivoro::UI::CPaintEventArgs* args) override;
    virtual void DrawFrame(Zivoro::UI::CPaintEventArgs* args);
    virtual void DrawTitle(Zivoro::UI::CPaintEventArgs* args);

    void SetTitle(const std::wstring& text) { title = text; }

    std::wstring title;
    std::string iconName;
};
