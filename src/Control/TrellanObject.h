#pragma once
// The control's identity as a component: the interfaces it answers with one
// identity, aggregation, safety for scripting, class information, the persistence
// of its extent, its site and the in-place activation calls of its containers, and
// the diagnostic interface that test containers read its state through.
// CTrellan supplies the window that activation creates.

#include "Control/ITrellan.h"
#include "Control/ITrellanDiagnostics.h"
#include "Platform/Com/ClassInfo.h"
#include "Platform/Com/InPlaceObjectWindowless.h"
#include "Platform/Com/ObjectSafety.h"
#include "Platform/Com/OleObject.h"
#include "Platform/Com/Persist.h"
#include "Platform/Ole/DataObject.h"
#include "Platform/Ole/ViewObject.h"

#include <string>

class TrellanObject : public TrellanDispatch,
                      public Platform::IOleInPlaceObjectWindowless,
                      public Platform::IOleInPlaceActiveObject,
                      public Platform::IOleControl,
                      public Platform::IOleObject,
                      public Platform::IPersistStreamInit,
                      public Platform::IPersistStorage,
                      public Platform::IProvideClassInfo2,
                      public Platform::ISupportErrorInfo,
                      public Platform::ISpecifyPropertyPages,
                      public Platform::IQuickActivate,
                      public Platform::IObjectWithSite,
                      public Platform::IObjectSafety,
                      public Platform::IViewObjectEx,
                      public Platform::IDataObject,
                      public ITrellanDiagnostics {
public:
    // What the miscellaneous status of the class says to its containers.
    static constexpr Platform::DWORD MiscStatus =
        Platform::OLEMISC_RECOMPOSEONRESIZE | Platform::OLEMISC_CANTLINKINSIDE | Platform::OLEMISC_INSIDEOUT |
        Platform::OLEMISC_ACTIVATEWHENVISIBLE | Platform::OLEMISC_SETCLIENTSITEFIRST;
    // Two inches square in HIMETRIC units.
    static constexpr Platform::LONG NaturalExtent = 5080;

    // The container's in-place activation: creates the control window as a child of
    // container over rect (or moves it there); deactivation destroys it.
    virtual Platform::HRESULT InPlaceActivate(Platform::HWND container, const Platform::RECT& rect) = 0;
    Platform::HRESULT InPlaceDeactivate() override = 0;
    virtual Platform::HWND Window() const = 0;

    // IUnknown of every interface: the outer object's when aggregated.
    Platform::HRESULT QueryInterface(Platform::REFIID iid, void** object) override;
    Platform::ULONG AddRef() override;
    Platform::ULONG Release() override;

    // IOleWindow, IOleInPlaceObject
    Platform::HRESULT GetWindow(Platform::HWND* window) override;
    Platform::HRESULT SetObjectRects(const Platform::RECT* position, const Platform::RECT* clip) override;

    // IOleInPlaceObjectWindowless: the control always has its own window, which takes
    // its messages and holds its drop target.
    Platform::HRESULT OnWindowMessage(Platform::UINT message, Platform::WPARAM wParam, Platform::LPARAM lParam,
                                      Platform::LRESULT* result) override;
    Platform::HRESULT GetDropTarget(Platform::IDropTarget** target) override;

    // IOleInPlaceActiveObject: the control has no accelerators or frame tools and
    // takes its keys through its own window.
    Platform::HRESULT TranslateAccelerator(Platform::MSG* message) override;
    Platform::HRESULT OnFrameWindowActivate(Platform::BOOL active) override;
    Platform::HRESULT OnDocWindowActivate(Platform::BOOL active) override;
    Platform::HRESULT ResizeBorder(const Platform::RECT* border, Platform::IUnknown* frame,
                                   Platform::BOOL frameWindow) override;
    Platform::HRESULT EnableModeless(Platform::BOOL enable) override;

    // IOleControl: no mnemonics, no ambient properties read, no events to freeze.
    Platform::HRESULT GetControlInfo(Platform::CONTROLINFO* info) override;
    Platform::HRESULT OnMnemonic(Platform::MSG* message) override;
    Platform::HRESULT OnAmbientPropertyChange(Platform::DISPID id) override;
    Platform::HRESULT FreezeEvents(Platform::BOOL freeze) override;

    // IOleObject
    Platform::HRESULT SetClientSite(Platform::IUnknown* site) override;
    Platform::HRESULT GetClientSite(Platform::IUnknown** site) override;
    Platform::HRESULT Close(Platform::DWORD saveOption) override;
    Platform::HRESULT DoVerb(Platform::LONG verb, Platform::IUnknown* site, Platform::HWND parent,
                             const Platform::RECT* position) override;
    Platform::HRESULT GetUserClassID(Platform::CLSID* clsid) override;
    Platform::HRESULT SetExtent(Platform::DWORD aspect, const Platform::SIZEL* size) override;
    Platform::HRESULT GetExtent(Platform::DWORD aspect, Platform::SIZEL* size) override;
    Platform::HRESULT GetMiscStatus(Platform::DWORD aspect, Platform::DWORD* status) override;

    // IPersist, IPersistStreamInit, IPersistStorage: the extent is the only state.
    Platform::HRESULT GetClassID(Platform::CLSID* clsid) override;
    Platform::HRESULT IsDirty() override;
    Platform::HRESULT Load(Platform::IStream* stream) override;
    Platform::HRESULT Save(Platform::IStream* stream, int clearDirty) override;
    Platform::HRESULT GetSizeMax(std::uint64_t* size) override;
    Platform::HRESULT InitNew() override;
    Platform::HRESULT InitNew(Platform::IStorage* storage) override;
    Platform::HRESULT Load(Platform::IStorage* storage) override;
    Platform::HRESULT Save(Platform::IStorage* storage, int sameAsLoad) override;
    Platform::HRESULT SaveCompleted(Platform::IStorage* storage) override;
    Platform::HRESULT HandsOffStorage() override;

    // IProvideClassInfo2, ISupportErrorInfo
    Platform::HRESULT GetClassInfo(Platform::ITypeInfo** info) override;
    Platform::HRESULT GetGUID(Platform::DWORD kind, Platform::GUID* guid) override;
    Platform::HRESULT InterfaceSupportsErrorInfo(Platform::REFIID iid) override;
    // ISpecifyPropertyPages: the control has none.
    Platform::HRESULT GetPages(Platform::CAUUID* pages) override;

    // IQuickActivate: takes the client site (the control offers no events or
    // property notifications, so it takes no sinks) and answers the misc status.
    Platform::HRESULT QuickActivate(Platform::QACONTAINER* container, Platform::QACONTROL* control) override;
    Platform::HRESULT SetContentExtent(const Platform::SIZEL* size) override;
    Platform::HRESULT GetContentExtent(Platform::SIZEL* size) override;

    // IObjectWithSite
    Platform::HRESULT SetSite(Platform::IUnknown* site) override;
    Platform::HRESULT GetSite(Platform::REFIID iid, void** site) override;

    // IObjectSafety: one set of options for every interface the object answers.
    Platform::HRESULT GetInterfaceSafetyOptions(Platform::REFIID iid, Platform::DWORD* supported,
                                                Platform::DWORD* enabled) override;
    Platform::HRESULT SetInterfaceSafetyOptions(Platform::REFIID iid, Platform::DWORD mask,
                                                Platform::DWORD enabled) override;

    // IViewObject, IViewObject2, IViewObjectEx: the picture is what the control's
    // window shows; an opaque rectangle of the extent.
    Platform::HRESULT Draw(Platform::DWORD aspect, Platform::LONG index, void* aspectInfo,
                           Platform::DVTARGETDEVICE* device, Platform::HDC targetDevice, Platform::HDC draw,
                           const Platform::RECTL* bounds, const Platform::RECTL* metafileBounds,
                           ContinueCallback keepDrawing, std::uintptr_t keepDrawingArgument) override;
    Platform::HRESULT GetColorSet(Platform::DWORD aspect, Platform::LONG index, void* aspectInfo,
                                  Platform::DVTARGETDEVICE* device, Platform::HDC targetDevice,
                                  Platform::LOGPALETTE** colors) override;
    Platform::HRESULT Freeze(Platform::DWORD aspect, Platform::LONG index, void* aspectInfo,
                             Platform::DWORD* freeze) override;
    Platform::HRESULT Unfreeze(Platform::DWORD freeze) override;
    Platform::HRESULT SetAdvise(Platform::DWORD aspects, Platform::DWORD flags, Platform::IAdviseSink* sink) override;
    Platform::HRESULT GetAdvise(Platform::DWORD* aspects, Platform::DWORD* flags,
                                Platform::IAdviseSink** sink) override;
    Platform::HRESULT GetExtent(Platform::DWORD aspect, Platform::LONG index, Platform::DVTARGETDEVICE* device,
                                Platform::SIZEL* size) override;
    Platform::HRESULT GetRect(Platform::DWORD aspect, Platform::RECTL* rect) override;
    Platform::HRESULT GetViewStatus(Platform::DWORD* status) override;
    Platform::HRESULT QueryHitPoint(Platform::DWORD aspect, const Platform::RECT* bounds, Platform::POINT location,
                                    Platform::LONG closeHint, Platform::DWORD* result) override;
    Platform::HRESULT QueryHitRect(Platform::DWORD aspect, const Platform::RECT* bounds, const Platform::RECT* location,
                                   Platform::LONG closeHint, Platform::DWORD* result) override;
    Platform::HRESULT GetNaturalExtent(Platform::DWORD aspect, Platform::LONG index, Platform::DVTARGETDEVICE* device,
                                       Platform::HDC targetDevice, Platform::DVEXTENTINFO* info,
                                       Platform::SIZEL* size) override;

    // IDataObject: the control offers its data in no format and takes no advice.
    Platform::HRESULT GetData(Platform::FORMATETC* format, Platform::STGMEDIUM* medium) override;
    Platform::HRESULT GetDataHere(Platform::FORMATETC* format, Platform::STGMEDIUM* medium) override;
    Platform::HRESULT QueryGetData(Platform::FORMATETC* format) override;
    Platform::HRESULT GetCanonicalFormatEtc(Platform::FORMATETC* format, Platform::FORMATETC* canonical) override;
    Platform::HRESULT SetData(Platform::FORMATETC* format, Platform::STGMEDIUM* medium,
                              Platform::BOOL release) override;
    Platform::HRESULT EnumFormatEtc(Platform::DWORD direction, Platform::IEnumFORMATETC** formats) override;
    Platform::HRESULT DAdvise(Platform::FORMATETC* format, Platform::DWORD flags, Platform::IAdviseSink* sink,
                              Platform::DWORD* connection) override;
    Platform::HRESULT DUnadvise(Platform::DWORD connection) override;
    Platform::HRESULT EnumDAdvise(Platform::IEnumSTATDATA** advises) override;

protected:
    // Holds a module lock for the object's life.
    TrellanObject();
    ~TrellanObject() override;

    // Makes the object part of outer: its IUnknown calls go there, and the object's
    // own unknown (which the factory hands to outer) is Inner().
    void Aggregate(Platform::IUnknown* outer);
    Platform::IUnknown* Inner() { return &inner; }

    // Whether the container has marked the caller as untrusted (a page's script).
    bool UntrustedCaller() const { return (safetyOptions & Platform::INTERFACESAFE_FOR_UNTRUSTED_CALLER) != 0; }
    // The address of the document the site gives (a page's origin); empty without one.
    std::string SiteAddress() const;
    // Called after the container changed the safety options or the site.
    virtual void OnCallerChanged() {}

private:
    // The object's own unknown: counts its references and answers its interfaces.
    class InnerUnknown final : public Platform::IUnknown {
    public:
        explicit InnerUnknown(TrellanObject& owner) : owner(owner) {}
        Platform::HRESULT QueryInterface(Platform::REFIID iid, void** object) override;
        Platform::ULONG AddRef() override;
        Platform::ULONG Release() override;

    private:
        TrellanObject& owner;
    };

    Platform::HRESULT OwnInterface(Platform::REFIID iid, void** object);
    // Tells the view sink that the picture of the content changed.
    void NotifyViewChange();

    InnerUnknown inner{*this};
    Platform::IUnknown* outer = nullptr; // not held: the outer object holds this one
    Platform::ComPtr<Platform::IUnknown> clientSite;
    Platform::ComPtr<Platform::IUnknown> site;
    Platform::SIZEL extent{NaturalExtent, NaturalExtent};
    // The one sink that hears when the picture changes, with what it asked for.
    Platform::ComPtr<Platform::IAdviseSink> viewSink;
    Platform::DWORD viewSinkAspects = 0;
    Platform::DWORD viewSinkFlags = 0;
    bool dirty = false;
    Platform::DWORD safetyOptions = 0;
};
