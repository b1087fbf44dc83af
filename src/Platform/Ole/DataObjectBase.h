#pragma once
// What every data object of this platform shares: reference counting, and E_NOTIMPL
// for rendering into a caller's medium, canonical formats, enumerating formats and
// advise connections, which none of them offers. A data object adds GetData,
// QueryGetData and SetData.

#include "Platform/Com/ComObject.h"
#include "Platform/Ole/DataObject.h"

namespace Platform {

class DataObjectBase : public ComObject<IDataObject, IID_IDataObject> {
public:
    HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
    HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT DUnadvise(DWORD connection) override;
    HRESULT EnumDAdvise(IEnumSTATDATA** advises) override;
};

} // namespace Platform
