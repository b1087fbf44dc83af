#include "Platform/Com/Variant.h"

#include "Platform/Com/Unknown.h"

namespace Platform {

void VariantInit(VARIANT* value)
{
    value->vt = VT_EMPTY;
    value->lVal = 0;
}

HRESULT VariantClear(VARIANT* value)
{
    if (!value)
        return E_POINTER;
    if (value->vt == VT_BSTR)
        SysFreeString(value->bstrVal);
    else if (value->vt == VT_DISPATCH && value->pdispVal)
        value->pdispVal->Release();
    VariantInit(value);
    return S_OK;
}

} // namespace Platform
