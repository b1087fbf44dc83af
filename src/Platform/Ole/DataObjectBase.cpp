#include "Platform/Ole/DataObjectBase.h"

namespace Platform {

HRESULT DataObjectBase::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT DataObjectBase::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*)
{
    return E_NOTIMPL;
}

HRESULT DataObjectBase::EnumFormatEtc(DWORD, IEnumFORMATETC**)
{
    return E_NOTIMPL;
}

HRESULT DataObjectBase::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return E_NOTIMPL;
}

HRESULT DataObjectBase::DUnadvise(DWORD)
{
    return E_NOTIMPL;
}

HRESULT DataObjectBase::EnumDAdvise(IEnumSTATDATA**)
{
    return E_NOTIMPL;
}

} // namespace Platform
