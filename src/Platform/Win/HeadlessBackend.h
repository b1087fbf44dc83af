#pragma once
// The backend without a screen: loops wait on a condition, message boxes are written
// to standard error and answered with OK, since nobody could press a button.

#include "Platform/Win/Backend.h"

namespace Platform {

class HeadlessBackend : public Backend {
public:
    std::unique_ptr<Waiter> CreateWaiter() override;
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) override;
};

} // namespace Platform
