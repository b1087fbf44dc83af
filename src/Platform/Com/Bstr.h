#pragma once
// BSTR: length-prefixed UTF-16 strings as the component model passes them. A null
// BSTR reads as the empty string everywhere.

#include "Platform/Com/ComTypes.h"

#include <string>

namespace Platform {

using OLECHAR = char16_t;
using BSTR = OLECHAR*;

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

BSTR BstrFromWide(const std::wstring& text);
std::wstring WideFromBstr(BSTR text);

// Owns one BSTR and frees it when it goes.
class ScopedBstr {
public:
    explicit ScopedBstr(BSTR text) : text(text) {}
    explicit ScopedBstr(const std::wstring& wide) : text(BstrFromWide(wide)) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ~ScopedBstr() { SysFreeString(text); }

    BSTR Get() const { return text; }

private:
    BSTR text;
};

} // namespace Platform
