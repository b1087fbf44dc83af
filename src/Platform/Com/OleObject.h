#pragma once
// The interfaces by which a container embeds a control and activates it in place,
// with the members a container of this system calls.

#include "Platform/Com/DrawContent.h"
#include "Platform/Com/Unknown.h"
#include "Platform/Win/WinTypes.h"

namespace Platform {

// {00000114-0000-0000-C000-000000000046}
constexpr IID IID_IOleWindow = {0x00000114, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00000113-0000-0000-C000-000000000046}
constexpr IID IID_IOleInPlaceObject = {0x00000113, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00000112-0000-0000-C000-000000000046}
constexpr IID IID_IOleObject = {0x00000112, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00000117-0000-0000-C000-000000000046}
constexpr IID IID_IOleInPlaceActiveObject = {0x00000117, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {B196B288-BAB4-101A-B69C-00AA00341D07}
constexpr IID IID_IOleControl = {0xB196B288, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
// {CF51ED10-62FE-11CF-BF86-00A0C9034836}
constexpr IID IID_IQuickActivate = {0xCF51ED10, 0x62FE, 0x11CF, {0xBF, 0x86, 0x00, 0xA0, 0xC9, 0x03, 0x48, 0x36}};
// {FC4801A3-2BA9-11CF-A229-00AA003D7352}
constexpr IID IID_IObjectWithSite = {0xFC4801A3, 0x2BA9, 0x11CF, {0xA2, 0x29, 0x00, 0xAA, 0x00, 0x3D, 0x73, 0x52}};

constexpr LONG OLEIVERB_PRIMARY = 0;
constexpr LONG OLEIVERB_SHOW = -1;
constexpr LONG OLEIVERB_HIDE = -3;
constexpr LONG OLEIVERB_UIACTIVATE = -4;
constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;

constexpr DWORD OLECLOSE_SAVEIFDIRTY = 0;
constexpr DWORD OLECLOSE_NOSAVE = 1;

constexpr DWORD OLEMISC_RECOMPOSEONRESIZE = 0x1;
constexpr DWORD OLEMISC_CANTLINKINSIDE = 0x10;
constexpr DWORD OLEMISC_INSIDEOUT = 0x80;
constexpr DWORD OLEMISC_ACTIVATEWHENVISIBLE = 0x100;
constexpr DWORD OLEMISC_SETCLIENTSITEFIRST = 0x20000;

constexpr HRESULT OLEOBJ_E_INVALIDVERB = MakeHresult(0x80040181u);
constexpr HRESULT OLE_E_NOT_INPLACEACTIVE = MakeHresult(0x80040010u);
constexpr HRESULT DV_E_DVASPECT = MakeHresult(0x8004006Bu);

// An extent in HIMETRIC units (hundredths of a millimetre).
struct SIZEL {
    LONG cx = 0;
    LONG cy = 0;
};

class IOleWindow : public IUnknown {
public:
    // OLE_E_NOT_INPLACEACTIVE (window null) while the object has no window.
    virtual HRESULT GetWindow(HWND* window) = 0;

protected:
    ~IOleWindow() = default;
};

class IOleInPlaceObject : public IOleWindow {
public:
    // Destroys the object's window; the object stays loaded.
    virtual HRESULT InPlaceDeactivate() = 0;
    // Moves the active object's window to position within its container.
    virtual HRESULT SetObjectRects(const RECT* position, const RECT* clip) = 0;

protected:
    ~IOleInPlaceObject() = default;
};

// The active object as its container's frame sees it.
class IOleInPlaceActiveObject : public IOleWindow {
public:
    // S_FALSE when the object translates no accelerator from the message.
    virtual HRESULT TranslateAccelerator(MSG* message) = 0;
    virtual HRESULT OnFrameWindowActivate(BOOL active) = 0;
    virtual HRESULT OnDocWindowActivate(BOOL active) = 0;
    virtual HRESULT ResizeBorder(const RECT* border, IUnknown* frame, BOOL frameWindow) = 0;
    virtual HRESULT EnableModeless(BOOL enable) = 0;

protected:
    ~IOleInPlaceActiveObject() = default;
};

// The keyboard mnemonics a control offers its container.
struct CONTROLINFO {
    ULONG cb = sizeof(CONTROLINFO);
    void* hAccel = nullptr;
    WORD cAccel = 0;
    DWORD dwFlags = 0;
};

class IOleControl : public IUnknown {
public:
    virtual HRESULT GetControlInfo(CONTROLINFO* info) = 0;
    virtual HRESULT OnMnemonic(MSG* message) = 0;
    virtual HRESULT OnAmbientPropertyChange(DISPID id) = 0;
    // Events are held back while frozen.
    virtual HRESULT FreezeEvents(BOOL freeze) = 0;

protected:
    ~IOleControl() = default;
};

class IOleObject : public IUnknown {
public:
    virtual HRESULT SetClientSite(IUnknown* site) = 0;
    virtual HRESULT GetClientSite(IUnknown** site) = 0;
    // Deactivates the object and lets go of its site.
    virtual HRESULT Close(DWORD saveOption) = 0;
    // OLEIVERB_INPLACEACTIVATE, OLEIVERB_UIACTIVATE, OLEIVERB_SHOW and
    // OLEIVERB_PRIMARY create the object's window as a child of parent over position
    // (or move it there); OLEIVERB_HIDE hides it.
    virtual HRESULT DoVerb(LONG verb, IUnknown* site, HWND parent, const RECT* position) = 0;
    virtual HRESULT GetUserClassID(CLSID* clsid) = 0;
    virtual HRESULT SetExtent(DWORD aspect, const SIZEL* size) = 0;
    virtual HRESULT GetExtent(DWORD aspect, SIZEL* size) = 0;
    virtual HRESULT GetMiscStatus(DWORD aspect, DWORD* status) = 0;

protected:
    ~IOleObject() = default;
};

// What a container hands a control in one call instead of several.
struct QACONTAINER {
    ULONG cbSize = sizeof(QACONTAINER);
    IUnknown* pClientSite = nullptr;
    IUnknown* pAdviseSink = nullptr;
    IUnknown* pPropertyNotifySink = nullptr;
    IUnknown* pUnkEventSink = nullptr;
    DWORD dwAmbientFlags = 0;
};

// What the control answers: its misc status and the cookies of the sinks it took.
struct QACONTROL {
    ULONG cbSize = sizeof(QACONTROL);
    DWORD dwMiscStatus = 0;
    DWORD dwViewStatus = 0;
    DWORD dwEventCookie = 0;
    DWORD dwPropNotifyCookie = 0;
    DWORD dwPointerActivationPolicy = 0;
};

class IQuickActivate : public IUnknown {
public:
    virtual HRESULT QuickActivate(QACONTAINER* container, QACONTROL* control) = 0;
    virtual HRESULT SetContentExtent(const SIZEL* size) = 0;
    virtual HRESULT GetContentExtent(SIZEL* size) = 0;

protected:
    ~IQuickActivate() = default;
};

class IObjectWithSite : public IUnknown {
public:
    virtual HRESULT SetSite(IUnknown* site) = 0;
    // E_FAIL while there is no site.
    virtual HRESULT GetSite(REFIID iid, void** site) = 0;

protected:
    ~IObjectWithSite() = default;
};

} // namespace Platform
