#pragma once
// IViewObject, IViewObject2 and IViewObjectEx: a container has an object draw its
// picture into a device context, measures it and asks where it is hit.

#include "Platform/Com/OleObject.h"
#include "Platform/Ole/OleTypes.h"

#include <cstdint>

namespace Platform {

// {0000010D-0000-0000-C000-000000000046}
inline constexpr IID IID_IViewObject = {0x0000010D, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00000127-0000-0000-C000-000000000046}
inline constexpr IID IID_IViewObject2 = {0x00000127, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {3AF24292-0C96-11CE-A0CF-00AA00600AB8}
inline constexpr IID IID_IViewObjectEx = {0x3AF24292, 0x0C96, 0x11CE, {0xA0, 0xCF, 0x00, 0xAA, 0x00, 0x60, 0x0A, 0xB8}};

constexpr HRESULT OLE_E_BLANK = MakeHresult(0x80040007u);

constexpr DWORD ADVF_ONLYONCE = 4;
constexpr DWORD VIEWSTATUS_OPAQUE = 1;
constexpr DWORD HITRESULT_OUTSIDE = 0;
constexpr DWORD HITRESULT_HIT = 3;
constexpr DWORD DVEXTENT_CONTENT = 0;

struct RECTL {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

// What a container proposes when it asks for an object's natural extent.
struct DVEXTENTINFO {
    ULONG cb = sizeof(DVEXTENTINFO);
    DWORD dwExtentMode = DVEXTENT_CONTENT;
    SIZEL sizelProposed;
};

struct LOGPALETTE;
class IAdviseSink;

class IViewObject : public IUnknown {
public:
    using ContinueCallback = BOOL (*)(std::uintptr_t);

    // Draws aspect into draw over bounds (device units).
    virtual HRESULT Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDevice, HDC draw,
                         const RECTL* bounds, const RECTL* metafileBounds, ContinueCallback keepDrawing,
                         std::uintptr_t keepDrawingArgument) = 0;
    virtual HRESULT GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDevice,
                                LOGPALETTE** colors) = 0;
    virtual HRESULT Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) = 0;
    virtual HRESULT Unfreeze(DWORD freeze) = 0;
    // One sink hears of changes to the picture; a null sink ends the advice.
    virtual HRESULT SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) = 0;
    virtual HRESULT GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) = 0;

protected:
    ~IViewObject() = default;
};

class IViewObject2 : public IViewObject {
public:
    // The extent in HIMETRIC units.
    virtual HRESULT GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, SIZEL* size) = 0;

protected:
    ~IViewObject2() = default;
};

class IViewObjectEx : public IViewObject2 {
public:
    virtual HRESULT GetRect(DWORD aspect, RECTL* rect) = 0;
    virtual HRESULT GetViewStatus(DWORD* status) = 0;
    // HITRESULT_HIT when location (or rect) lies within bounds, else HITRESULT_OUTSIDE.
    virtual HRESULT QueryHitPoint(DWORD aspect, const RECT* bounds, POINT location, LONG closeHint, DWORD* result) = 0;
    virtual HRESULT QueryHitRect(DWORD aspect, const RECT* bounds, const RECT* location, LONG closeHint,
                                 DWORD* result) = 0;
    virtual HRESULT GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, HDC targetDevice,
                                     DVEXTENTINFO* info, SIZEL* size) = 0;

protected:
    ~IViewObjectEx() = default;
};

} // namespace Platform
