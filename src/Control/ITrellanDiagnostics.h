#pragma once
// The control's diagnostic interface, found by QueryInterface. Containers that test or
// automate the control read its state through it as JSON text, never through the
// control's insides, so they work with whichever module the registry names.

#include "Platform/Com/Bstr.h"
#include "Platform/Com/Unknown.h"

// {90282AEA-4C66-46B3-AEB3-C820A39BFFD6}
constexpr Platform::IID IID_ITrellanDiagnostics = {
    0x90282AEA, 0x4C66, 0x46B3, {0xAE, 0xB3, 0xC8, 0x20, 0xA3, 0x9B, 0xFF, 0xD6}};

class ITrellanDiagnostics : public Platform::IUnknown {
public:
    // what names the state: "list" (the upload list's tiles, scroll position and
    // whether an upload runs), "form" (the active file-add dialog), "config" (the
    // page's settings) or "build" (the module's file and build identifier). *json gets a
    // JSON text the caller frees with SysFreeString. E_INVALIDARG for another name,
    // E_FAIL (and a null *json) when there is nothing of that kind to describe.
    virtual Platform::HRESULT Describe(Platform::BSTR what, Platform::BSTR* json) = 0;

protected:
    ~ITrellanDiagnostics() = default;
};
