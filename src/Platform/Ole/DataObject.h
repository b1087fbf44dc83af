#pragma once
// IDataObject: data offered in one or more formats, as a drag carries it.

#include "Platform/Com/Unknown.h"
#include "Platform/Ole/OleTypes.h"

namespace Platform {

inline constexpr IID IID_IDataObject = {0x0000010E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// GetCanonicalFormatEtc: the format is its own canonical form.
constexpr HRESULT DATA_S_SAMEFORMATETC = 0x00040130;
// The object takes no data advice.
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = MakeHresult(0x80040003u);

// Enumerators and advise sinks; nothing in this system offers or uses them.
class IEnumFORMATETC;
class IAdviseSink;
class IEnumSTATDATA;

class IDataObject : public IUnknown {
public:
    // The data in a new medium that the caller releases (ReleaseStgMedium).
    virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
    // S_OK when GetData would succeed for the format.
    virtual HRESULT QueryGetData(FORMATETC* format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) = 0;
    // With release set the object takes over the medium.
    virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
    virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) = 0;
    virtual HRESULT DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) = 0;
    virtual HRESULT DUnadvise(DWORD connection) = 0;
    virtual HRESULT EnumDAdvise(IEnumSTATDATA** advises) = 0;

protected:
    ~IDataObject() = default;
};

} // namespace Platform
