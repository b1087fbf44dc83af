#include "Control/TrellanObject.h"

#include "Control/TrellanModule.h"
#include "Control/TrellanTypeLib.h"
#include "Platform/Com/DocumentSite.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Gdi/Drawing.h"
#include "Platform/Ole/AdviseSink.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowGeometry.h"

#include <algorithm>
#include <cstring>

using namespace Platform;

namespace {

// The saved form of the extent: a version, then the width and height.
constexpr std::uint32_t kPersistVersion = 0x0100;
constexpr ULONG kPersistSize = 3 * sizeof(std::uint32_t);
const wchar_t* const kContentsStream = L"Contents";

void PutWord(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = std::uint8_t(value >> (8 * i));
}

std::uint32_t GetWord(const std::uint8_t* in)
{
    return std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 | std::uint32_t(in[2]) << 16 | std::uint32_t(in[3]) << 24;
}

} // namespace

TrellanObject::TrellanObject()
{
    TrellanModule::Lock();
}

TrellanObject::~TrellanObject()
{
    TrellanModule::Unlock();
}

void TrellanObject::Aggregate(IUnknown* outerUnknown)
{
    outer = outerUnknown;
}

HRESULT TrellanObject::InnerUnknown::QueryInterface(REFIID iid, void** object)
{
    if (object && iid == IID_IUnknown) {
        *object = this;
        AddRef();
        return S_OK;
    }
    return owner.OwnInterface(iid, object);
}

ULONG TrellanObject::InnerUnknown::AddRef()
{
    return owner.TrellanDispatch::AddRef();
}

ULONG TrellanObject::InnerUnknown::Release()
{
    return owner.TrellanDispatch::Release();
}

HRESULT TrellanObject::QueryInterface(REFIID iid, void** object)
{
    return outer ? outer->QueryInterface(iid, object) : inner.QueryInterface(iid, object);
}

ULONG TrellanObject::AddRef()
{
    return outer ? outer->AddRef() : inner.AddRef();
}

ULONG TrellanObject::Release()
{
    return outer ? outer->Release() : inner.Release();
}

HRESULT TrellanObject::OwnInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    void* found = nullptr;
    if (iid == IID_ITrellan || iid == IID_IDispatch)
        found = static_cast<ITrellan*>(this);
    else if (iid == IID_IOleInPlaceObjectWindowless || iid == IID_IOleInPlaceObject || iid == IID_IOleWindow)
        found = static_cast<IOleInPlaceObjectWindowless*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        found = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IOleControl)
        found = static_cast<IOleControl*>(this);
    else if (iid == IID_IOleObject)
        found = static_cast<IOleObject*>(this);
    else if (iid == IID_IPersistStreamInit || iid == IID_IPersist)
        found = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_ISupportErrorInfo)
        found = static_cast<ISupportErrorInfo*>(this);
    else if (iid == IID_ISpecifyPropertyPages)
        found = static_cast<ISpecifyPropertyPages*>(this);
    else if (iid == IID_IQuickActivate)
        found = static_cast<IQuickActivate*>(this);
    else if (iid == IID_IPersistStorage)
        found = static_cast<IPersistStorage*>(this);
    else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        found = static_cast<IProvideClassInfo2*>(this);
    else if (iid == IID_IObjectWithSite)
        found = static_cast<IObjectWithSite*>(this);
    else if (iid == IID_IObjectSafety)
        found = static_cast<IObjectSafety*>(this);
    else if (iid == IID_IViewObjectEx || iid == IID_IViewObject2 || iid == IID_IViewObject)
        found = static_cast<IViewObjectEx*>(this);
    else if (iid == IID_IDataObject)
        found = static_cast<IDataObject*>(this);
    else if (iid == IID_ITrellanDiagnostics)
        found = static_cast<ITrellanDiagnostics*>(this);
    *object = found;
    if (!found)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT TrellanObject::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = Window();
    return *window ? S_OK : OLE_E_NOT_INPLACEACTIVE;
}

HRESULT TrellanObject::SetObjectRects(const RECT* position, const RECT*)
{
    if (!position)
        return E_POINTER;
    if (!Window())
        return OLE_E_NOT_INPLACEACTIVE;
    return InPlaceActivate(nullptr, *position);
}

HRESULT TrellanObject::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result)
{
    if (result)
        *result = 0;
    return S_FALSE;
}

HRESULT TrellanObject::GetDropTarget(IDropTarget** target)
{
    if (!target)
        return E_POINTER;
    *target = nullptr;
    return E_NOTIMPL;
}

HRESULT TrellanObject::TranslateAccelerator(MSG*)
{
    return S_FALSE;
}

HRESULT TrellanObject::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT TrellanObject::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

HRESULT TrellanObject::ResizeBorder(const RECT*, IUnknown*, BOOL)
{
    return S_OK;
}

HRESULT TrellanObject::EnableModeless(BOOL)
{
    return S_OK;
}

HRESULT TrellanObject::GetControlInfo(CONTROLINFO* info)
{
    if (!info)
        return E_POINTER;
    *info = CONTROLINFO();
    return S_OK;
}

HRESULT TrellanObject::OnMnemonic(MSG*)
{
    return S_OK;
}

HRESULT TrellanObject::OnAmbientPropertyChange(DISPID)
{
    return S_OK;
}

HRESULT TrellanObject::FreezeEvents(BOOL)
{
    return S_OK;
}

HRESULT TrellanObject::SetClientSite(IUnknown* newSite)
{
    clientSite = ComPtr<IUnknown>(newSite);
    return S_OK;
}

HRESULT TrellanObject::GetClientSite(IUnknown** result)
{
    if (!result)
        return E_POINTER;
    *result = clientSite.Get();
    if (*result)
        (*result)->AddRef();
    return S_OK;
}

HRESULT TrellanObject::Close(DWORD)
{
    InPlaceDeactivate();
    clientSite = ComPtr<IUnknown>();
    return S_OK;
}

HRESULT TrellanObject::DoVerb(LONG verb, IUnknown* verbSite, HWND parent, const RECT* position)
{
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_INPLACEACTIVATE:
        break;
    case OLEIVERB_HIDE:
        if (Window())
            ShowWindow(Window(), SW_HIDE);
        return S_OK;
    default:
        return OLEOBJ_E_INVALIDVERB;
    }
    if (verbSite && !clientSite)
        SetClientSite(verbSite);
    if (!position || (!parent && !Window()))
        return E_INVALIDARG;
    const HRESULT hr = InPlaceActivate(parent, *position);
    if (SUCCEEDED(hr))
        ShowWindow(Window(), SW_SHOW);
    return hr;
}

HRESULT TrellanObject::GetUserClassID(CLSID* clsid)
{
    return GetClassID(clsid);
}

HRESULT TrellanObject::SetExtent(DWORD aspect, const SIZEL* size)
{
    if (!size)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (size->cx <= 0 || size->cy <= 0)
        return E_INVALIDARG;
    const bool changed = size->cx != extent.cx || size->cy != extent.cy;
    dirty = dirty || changed;
    extent = *size;
    if (changed)
        NotifyViewChange();
    return S_OK;
}

HRESULT TrellanObject::GetExtent(DWORD aspect, SIZEL* size)
{
    if (!size)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    *size = extent;
    return S_OK;
}

HRESULT TrellanObject::GetMiscStatus(DWORD aspect, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? MiscStatus : 0;
    return S_OK;
}

HRESULT TrellanObject::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = CLSID_Trellan;
    return S_OK;
}

HRESULT TrellanObject::IsDirty()
{
    return dirty ? S_OK : S_FALSE;
}

HRESULT TrellanObject::Load(IStream* stream)
{
    if (!stream)
        return E_POINTER;
    std::uint8_t bytes[kPersistSize];
    ULONG read = 0;
    const HRESULT hr = stream->Read(bytes, kPersistSize, &read);
    if (FAILED(hr))
        return hr;
    const LONG cx = LONG(GetWord(bytes + 4));
    const LONG cy = LONG(GetWord(bytes + 8));
    // A short, foreign or nonsensical record leaves the extent as it was.
    if (read != kPersistSize || GetWord(bytes) != kPersistVersion || cx <= 0 || cy <= 0)
        return E_FAIL;
    extent = SIZEL{cx, cy};
    dirty = false;
    return S_OK;
}

HRESULT TrellanObject::Save(IStream* stream, int clearDirty)
{
    if (!stream)
        return E_POINTER;
    std::uint8_t bytes[kPersistSize];
    PutWord(bytes, kPersistVersion);
    PutWord(bytes + 4, std::uint32_t(extent.cx));
    PutWord(bytes + 8, std::uint32_t(extent.cy));
    ULONG written = 0;
    const HRESULT hr = stream->Write(bytes, kPersistSize, &written);
    if (FAILED(hr))
        return hr;
    if (written != kPersistSize)
        return STG_E_WRITEFAULT;
    if (clearDirty)
        dirty = false;
    return S_OK;
}

HRESULT TrellanObject::GetSizeMax(std::uint64_t* size)
{
    if (!size)
        return E_POINTER;
    *size = kPersistSize;
    return S_OK;
}

HRESULT TrellanObject::InitNew()
{
    extent = SIZEL{NaturalExtent, NaturalExtent};
    dirty = false;
    return S_OK;
}

HRESULT TrellanObject::InitNew(IStorage* storage)
{
    return storage ? InitNew() : E_POINTER;
}

HRESULT TrellanObject::Load(IStorage* storage)
{
    if (!storage)
        return E_POINTER;
    ComPtr<IStream> stream;
    const HRESULT hr = storage->OpenStream(kContentsStream, STGM_READ | STGM_SHARE_EXCLUSIVE, stream.Put());
    return FAILED(hr) ? hr : Load(stream.Get());
}

HRESULT TrellanObject::Save(IStorage* storage, int)
{
    if (!storage)
        return E_POINTER;
    ComPtr<IStream> stream;
    const HRESULT hr =
        storage->CreateStream(kContentsStream, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, stream.Put());
    return FAILED(hr) ? hr : Save(stream.Get(), TRUE);
}

HRESULT TrellanObject::SaveCompleted(IStorage*)
{
    return S_OK;
}

HRESULT TrellanObject::HandsOffStorage()
{
    return S_OK;
}

HRESULT TrellanObject::GetClassInfo(ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    ITypeLib* library = TrellanTypeLib();
    return library ? library->GetTypeInfoOfGuid(CLSID_Trellan, info) : TYPE_E_CANTLOADLIBRARY;
}

HRESULT TrellanObject::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid)
        return E_POINTER;
    *guid = GUID{};
    // The class has no event interface, so there is no default source to name.
    return kind == GUIDKIND_DEFAULT_SOURCE_DISP_IID ? E_FAIL : E_INVALIDARG;
}

HRESULT TrellanObject::InterfaceSupportsErrorInfo(REFIID iid)
{
    return iid == IID_ITrellan ? S_OK : S_FALSE;
}

HRESULT TrellanObject::GetPages(CAUUID* pages)
{
    if (!pages)
        return E_POINTER;
    *pages = CAUUID();
    return S_OK;
}

HRESULT TrellanObject::QuickActivate(QACONTAINER* container, QACONTROL* control)
{
    if (!container || !control)
        return E_POINTER;
    if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL))
        return E_INVALIDARG;
    SetClientSite(container->pClientSite);
    *control = QACONTROL();
    control->dwMiscStatus = MiscStatus;
    return S_OK;
}

HRESULT TrellanObject::SetContentExtent(const SIZEL* size)
{
    return SetExtent(DVASPECT_CONTENT, size);
}

HRESULT TrellanObject::GetContentExtent(SIZEL* size)
{
    return GetExtent(DVASPECT_CONTENT, size);
}

HRESULT TrellanObject::SetSite(IUnknown* newSite)
{
    site = ComPtr<IUnknown>(newSite);
    OnCallerChanged();
    return S_OK;
}

std::string TrellanObject::SiteAddress() const
{
    ComPtr<IDocumentAddress> document;
    if (!site || FAILED(site->QueryInterface(IID_IDocumentAddress, reinterpret_cast<void**>(document.Put()))))
        return {};
    BSTR address = nullptr;
    if (FAILED(document->GetAddress(&address)))
        return {};
    const std::string text = WideToUtf8(WideFromBstr(address));
    SysFreeString(address);
    return text;
}

HRESULT TrellanObject::GetSite(REFIID iid, void** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return site ? site->QueryInterface(iid, result) : E_FAIL;
}

HRESULT TrellanObject::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled)
{
    if (!supported || !enabled)
        return E_POINTER;
    *supported = 0;
    *enabled = 0;
    ComPtr<IUnknown> answered;
    const HRESULT hr = QueryInterface(iid, reinterpret_cast<void**>(answered.Put()));
    if (FAILED(hr))
        return hr;
    *supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER;
    *enabled = safetyOptions;
    return S_OK;
}

HRESULT TrellanObject::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled)
{
    ComPtr<IUnknown> answered;
    if (FAILED(QueryInterface(iid, reinterpret_cast<void**>(answered.Put()))))
        return E_NOINTERFACE;
    if (mask & ~INTERFACESAFE_FOR_UNTRUSTED_CALLER)
        return E_FAIL;
    safetyOptions = (enabled & mask) | (safetyOptions & ~mask);
    OnCallerChanged();
    return S_OK;
}

HRESULT TrellanObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw, const RECTL* bounds,
                            const RECTL*, ContinueCallback, std::uintptr_t)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!draw || !bounds)
        return E_INVALIDARG;
    // Without a window there is no picture yet.
    const HWND view = Window();
    if (!view)
        return OLE_E_BLANK;
    UpdateWindow(view);
    RECT client{};
    GetClientRect(view, &client);
    const int width = std::min<LONG>(bounds->right - bounds->left, client.right);
    const int height = std::min<LONG>(bounds->bottom - bounds->top, client.bottom);
    if (width <= 0 || height <= 0)
        return S_OK;
    const HDC source = GetDC(view);
    const BOOL copied = BitBlt(draw, bounds->left, bounds->top, width, height, source, 0, 0, SRCCOPY);
    ReleaseDC(view, source);
    return copied ? S_OK : E_FAIL;
}

HRESULT TrellanObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors)
{
    if (colors)
        *colors = nullptr;
    return E_NOTIMPL;
}

HRESULT TrellanObject::Freeze(DWORD, LONG, void*, DWORD*)
{
    return E_NOTIMPL;
}

HRESULT TrellanObject::Unfreeze(DWORD)
{
    return E_NOTIMPL;
}

HRESULT TrellanObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    viewSink = ComPtr<IAdviseSink>(sink);
    viewSinkAspects = sink ? aspects : 0;
    viewSinkFlags = sink ? flags : 0;
    return S_OK;
}

HRESULT TrellanObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    if (aspects)
        *aspects = viewSinkAspects;
    if (flags)
        *flags = viewSinkFlags;
    if (sink) {
        *sink = viewSink.Get();
        if (*sink)
            (*sink)->AddRef();
    }
    return S_OK;
}

void TrellanObject::NotifyViewChange()
{
    if (!viewSink || !(viewSinkAspects & DVASPECT_CONTENT))
        return;
    // The sink may advise again from the call: hold it until the call returns.
    const ComPtr<IAdviseSink> sink = viewSink;
    if (viewSinkFlags & ADVF_ONLYONCE)
        SetAdvise(0, 0, nullptr);
    sink->OnViewChange(DVASPECT_CONTENT, -1);
}

HRESULT TrellanObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, SIZEL* size)
{
    return GetExtent(aspect, size);
}

HRESULT TrellanObject::GetRect(DWORD aspect, RECTL* rect)
{
    if (!rect)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    *rect = RECTL{0, 0, extent.cx, extent.cy};
    return S_OK;
}

HRESULT TrellanObject::GetViewStatus(DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = VIEWSTATUS_OPAQUE;
    return S_OK;
}

HRESULT TrellanObject::QueryHitPoint(DWORD aspect, const RECT* bounds, POINT location, LONG, DWORD* result)
{
    if (!bounds || !result)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    const bool inside = location.x >= bounds->left && location.x < bounds->right && location.y >= bounds->top &&
                        location.y < bounds->bottom;
    *result = inside ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT TrellanObject::QueryHitRect(DWORD aspect, const RECT* bounds, const RECT* location, LONG, DWORD* result)
{
    if (!bounds || !location || !result)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    const bool overlaps = location->left < bounds->right && bounds->left < location->right &&
                          location->top < bounds->bottom && bounds->top < location->bottom;
    *result = overlaps ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT TrellanObject::GetNaturalExtent(DWORD aspect, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO* info, SIZEL* size)
{
    if (!info || !size)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (info->cb < sizeof(DVEXTENTINFO) || info->dwExtentMode != DVEXTENT_CONTENT)
        return E_NOTIMPL;
    *size = SIZEL{NaturalExtent, NaturalExtent};
    return S_OK;
}

HRESULT TrellanObject::GetData(FORMATETC*, STGMEDIUM*)
{
    return DV_E_FORMATETC;
}

HRESULT TrellanObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return DV_E_FORMATETC;
}

HRESULT TrellanObject::QueryGetData(FORMATETC*)
{
    return DV_E_FORMATETC;
}

HRESULT TrellanObject::GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical)
{
    if (!format || !canonical)
        return E_POINTER;
    // No format depends on a device: every format is its own canonical form.
    *canonical = *format;
    canonical->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TrellanObject::SetData(FORMATETC*, STGMEDIUM*, BOOL)
{
    return E_NOTIMPL;
}

HRESULT TrellanObject::EnumFormatEtc(DWORD, IEnumFORMATETC** formats)
{
    if (formats)
        *formats = nullptr;
    return E_NOTIMPL;
}

HRESULT TrellanObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* connection)
{
    if (connection)
        *connection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TrellanObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TrellanObject::EnumDAdvise(IEnumSTATDATA** advises)
{
    if (advises)
        *advises = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}
