#pragma once
// The VARIANT subset the system passes through dispatch calls.

#include "Platform/Com/Bstr.h"

namespace Platform {

class IDispatch;

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_BOOL = 11;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    union {
        std::int32_t lVal;
        BSTR bstrVal;
        IDispatch* pdispVal;
        VARIANT_BOOL boolVal;
    };
};

struct DISPPARAMS {
    VARIANT* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    UINT cArgs = 0;
    UINT cNamedArgs = 0;
};

void VariantInit(VARIANT* value);
// Frees a BSTR or releases a dispatch pointer held by the value, then empties it.
HRESULT VariantClear(VARIANT* value);

} // namespace Platform
