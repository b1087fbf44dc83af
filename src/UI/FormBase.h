#pragma once
// A top-level form: the root control of its tree bound to a real window. It routes
// mouse, paint and size messages to the tree, paints through a back buffer kept
// between paints, lets the user drag the window by any spot no control takes, and
// toggles between normal and maximised size.

#include "UI/ControlBase.h"
#include "UI/FormDrager.h"
#include "UI/FormHost.h"

class FormBase : public ControlBase, private Zivoro::UI::FormHost::DragHook {
public:
    FormBase();
    ~FormBase() override;

    // The form's share of a window message: true, with the result, when it handled it.
    // A derived form handles its own messages first and passes the rest here.
    virtual bool ProcessWindowMessage(Platform::HWND window, Platform::UINT message, Platform::WPARAM wParam,
                                      Platform::LPARAM lParam, Platform::LRESULT& result);
    // ProcessWindowMessage answered as a dialog procedure answers: TRUE with the
    // result stored in DWLP_MSGRESULT when handled, FALSE otherwise.
    Platform::INT_PTR DialogMessage(Platform::HWND dialog, Platform::UINT message, Platform::WPARAM wParam,
                                    Platform::LPARAM lParam);
    virtual void AttachWindow(Platform::HWND window, int x, int y, int width, int height);

    // The host forgets a control that leaves the tree.
    void OnControlRemoved(ControlBase* control) override;

    void ToggleMaximize();

    std::int32_t dragEnabled = 1;
    std::int32_t maximized = 0;
    Platform::HBITMAP backBuffer = nullptr;
    FormDrager drager;

private:
    void Resize(int width, int height);
    void FillMinMaxInfo(Platform::LPARAM lParam) const;

    bool BeginDrag(Platform::POINT pt) override;
    bool IsDragging() const override;
    void DragTo(Platform::POINT pt) override;
    void EndDrag() override;

    Zivoro::UI::FormHost host;
};
