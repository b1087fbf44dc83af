#pragma once
// The vocabulary of data transfer and drag and drop: clipboard formats, format
// descriptors, storage mediums, drop effects and the status codes of the calls.

#include "Platform/Com/ComTypes.h"
#include "Platform/Com/DrawContent.h"
#include "Platform/Ole/GlobalMemory.h"
#include "Platform/Win/WinTypes.h"

namespace Platform {

class IUnknown;

using CLIPFORMAT = WORD;
constexpr CLIPFORMAT CF_BITMAP = 2;
constexpr CLIPFORMAT CF_HDROP = 15;

// A target device description; this system never names one.
struct DVTARGETDEVICE;

constexpr DWORD TYMED_NULL = 0;
constexpr DWORD TYMED_HGLOBAL = 1;
constexpr DWORD TYMED_GDI = 16;

struct FORMATETC {
    CLIPFORMAT cfFormat = 0;
    DVTARGETDEVICE* ptd = nullptr;
    DWORD dwAspect = DVASPECT_CONTENT;
    LONG lindex = -1;
    DWORD tymed = TYMED_NULL;
};

struct STGMEDIUM {
    DWORD tymed = TYMED_NULL;
    union {
        HGLOBAL hGlobal = nullptr;
        HBITMAP hBitmap;
    };
    // When set, releasing the medium releases this object instead of freeing the handle.
    IUnknown* pUnkForRelease = nullptr;
};

struct POINTL {
    LONG x = 0;
    LONG y = 0;
};

constexpr DWORD DROPEFFECT_NONE = 0;
constexpr DWORD DROPEFFECT_COPY = 1;
constexpr DWORD DROPEFFECT_MOVE = 2;
constexpr DWORD DROPEFFECT_LINK = 4;

constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = MakeHresult(0x80040100u);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = MakeHresult(0x80040101u);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = MakeHresult(0x80040102u);
constexpr HRESULT DV_E_FORMATETC = MakeHresult(0x80040064u);

} // namespace Platform
