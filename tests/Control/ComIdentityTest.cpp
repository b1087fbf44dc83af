// The control as a component: made by the module's class factory, answering its
// interfaces with one identity, aggregated, safe for scripting as asked, describing
// its class, keeping its extent, activated in place by a container, drawing its
// picture for it and offering no data.

#include "Control/ITrellan.h"
#include "MemoryStorage.h"
#include "ModuleExports.h"
#include "Platform/Com/ClassInfo.h"
#include "Platform/Com/GuidText.h"
#include "Platform/Com/InPlaceObjectWindowless.h"
#include "Platform/Com/ObjectSafety.h"
#include "Platform/Com/OleObject.h"
#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/Drawing.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Ole/AdviseSink.h"
#include "Platform/Ole/DataObject.h"
#include "Platform/Ole/ViewObject.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Platform;

namespace {

const IID kTable[] = {IID_ITrellan,
                      IID_IDispatch,
                      IID_IOleInPlaceObject,
                      IID_IOleWindow,
                      IID_IOleInPlaceActiveObject,
                      IID_IOleControl,
                      IID_IOleObject,
                      IID_IPersistStreamInit,
                      IID_IPersist,
                      IID_ISupportErrorInfo,
                      IID_ISpecifyPropertyPages,
                      IID_IQuickActivate,
                      IID_IPersistStorage,
                      IID_IProvideClassInfo,
                      IID_IProvideClassInfo2,
                      IID_IObjectWithSite,
                      IID_IObjectSafety,
                      IID_IViewObjectEx,
                      IID_IViewObject2,
                      IID_IViewObject,
                      IID_IOleInPlaceObjectWindowless,
                      IID_IDataObject};

// Interfaces the control has no business answering: a file it does not persist to,
// events it does not offer, and its factory's.
const IID kRefused[] = {*ParseGuid(L"{0000010B-0000-0000-C000-000000000046}"),
                        *ParseGuid(L"{B196B284-BAB4-101A-B69C-00AA00341D07}"), IID_IClassFactory,
                        *ParseGuid(L"{12345678-1234-1234-1234-123456789ABC}")};

template <class T> ComPtr<T> Query(IUnknown* object, REFIID iid)
{
    ComPtr<T> result;
    EXPECT_EQ(object->QueryInterface(iid, reinterpret_cast<void**>(result.Put())), S_OK)
        << WideToUtf8(StringFromGuid(iid));
    return result;
}

// An object that aggregates the control: its own unknown, everything else from the
// control's inner unknown.
class Outer final : public IUnknown {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner->QueryInterface(iid, object);
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }

    IUnknown* inner = nullptr;
    ULONG references = 1;
};

// Counts the changes of the picture it hears of.
class ViewSink final : public IAdviseSink {
public:
    HRESULT QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    void OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    void OnViewChange(DWORD aspect, LONG) override { changes += aspect == DVASPECT_CONTENT; }
    void OnRename(IMoniker*) override {}
    void OnSave() override {}
    void OnClose() override {}

    ULONG references = 1;
    int changes = 0;
};

HWND CreateContainer()
{
    static const bool registered = [] {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.lpszClassName = L"IdentityContainer";
        return RegisterClassW(&windowClass) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowExW(0, L"IdentityContainer", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
}

class ComIdentity : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(exports.getClassObject(CLSID_Trellan, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())),
                  S_OK);
    }

    ComPtr<IUnknown> Create()
    {
        ComPtr<IUnknown> object;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object.Put())), S_OK);
        return object;
    }

    ModuleExports exports;
    ComPtr<IClassFactory> factory;
};

TEST_F(ComIdentity, TheClassFactoryIsThereForTheControlsClassOnly)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(exports.getClassObject(IID_ITrellan, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(exports.getClassObject(CLSID_Trellan, IID_IDispatch, &object), E_NOINTERFACE);
    ComPtr<ITrellan> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITrellan, reinterpret_cast<void**>(control.Put())), S_OK);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

TEST_F(ComIdentity, EveryInterfaceOfTheTableAnswersWithOneIdentityAndOthersAreRefused)
{
    ComPtr<IUnknown> object = Create();
    for (const IID& iid : kTable) {
        ComPtr<IUnknown> answered = Query<IUnknown>(object.Get(), iid);
        ASSERT_TRUE(answered);
        EXPECT_EQ(Query<IUnknown>(answered.Get(), IID_IUnknown).Get(), object.Get());
        // Every interface reaches every other.
        EXPECT_TRUE(Query<IUnknown>(answered.Get(), IID_IObjectSafety));
    }
    for (const IID& iid : kRefused) {
        void* refused = reinterpret_cast<void*>(1);
        EXPECT_EQ(object->QueryInterface(iid, &refused), E_NOINTERFACE);
        EXPECT_EQ(refused, nullptr);
    }
}

TEST_F(ComIdentity, AnAggregatedControlDelegatesItsUnknownToTheOuterObject)
{
    Outer outer;
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_ITrellan, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);

    ComPtr<IObjectSafety> safety = Query<IObjectSafety>(&outer, IID_IObjectSafety);
    ASSERT_TRUE(safety);
    EXPECT_EQ(outer.references, 2u);
    EXPECT_EQ(Query<IUnknown>(safety.Get(), IID_IUnknown).Get(), static_cast<IUnknown*>(&outer));
    EXPECT_EQ(Query<IUnknown>(safety.Get(), IID_ITrellan).Get(), Query<IUnknown>(&outer, IID_ITrellan).Get());
    for (const IID& iid : kTable)
        EXPECT_EQ(Query<IUnknown>(Query<IUnknown>(&outer, iid).Get(), IID_IUnknown).Get(),
                  static_cast<IUnknown*>(&outer))
            << WideToUtf8(StringFromGuid(iid));
    safety = ComPtr<IObjectSafety>();
    EXPECT_EQ(outer.references, 1u);
    EXPECT_EQ(exports.canUnloadNow(), S_FALSE);
    outer.inner->Release();
    factory = ComPtr<IClassFactory>();
    EXPECT_EQ(exports.canUnloadNow(), S_OK);
}

TEST_F(ComIdentity, TheModuleCanUnloadOnlyWhenNoObjectFactoryOrLockLives)
{
    factory = ComPtr<IClassFactory>();
    EXPECT_EQ(exports.canUnloadNow(), S_OK);
    ASSERT_EQ(exports.getClassObject(CLSID_Trellan, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
    EXPECT_EQ(exports.canUnloadNow(), S_FALSE);
    ComPtr<IUnknown> object = Create();
    factory->LockServer(TRUE);
    factory = ComPtr<IClassFactory>();
    EXPECT_EQ(exports.canUnloadNow(), S_FALSE);
    object = ComPtr<IUnknown>();
    EXPECT_EQ(exports.canUnloadNow(), S_FALSE);
    ASSERT_EQ(exports.getClassObject(CLSID_Trellan, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
    factory->LockServer(FALSE);
    factory = ComPtr<IClassFactory>();
    EXPECT_EQ(exports.canUnloadNow(), S_OK);
}

TEST_F(ComIdentity, SafetyForUntrustedCallersIsGivenAsAskedAndNothingElse)
{
    ComPtr<IObjectSafety> safety = Query<IObjectSafety>(Create().Get(), IID_IObjectSafety);
    DWORD supported = 9, enabled = 9;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, INTERFACESAFE_FOR_UNTRUSTED_CALLER);
    EXPECT_EQ(enabled, 0u);

    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 1, 1), S_OK);
    safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
    EXPECT_EQ(enabled, 1u);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 3, 3), E_FAIL);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IPersistStorage, INTERFACESAFE_FOR_UNTRUSTED_DATA, 0), E_FAIL);
    safety->GetInterfaceSafetyOptions(IID_ITrellan, &supported, &enabled);
    EXPECT_EQ(enabled, 1u);
    // Options outside the mask keep their value.
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 0, 0), S_OK);
    safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
    EXPECT_EQ(enabled, 1u);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 1, 0), S_OK);
    safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
    EXPECT_EQ(enabled, 0u);

    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IClassFactory, 1, 1), E_NOINTERFACE);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IClassFactory, &supported, &enabled), E_NOINTERFACE);
    EXPECT_EQ(supported, 0u);
    EXPECT_EQ(enabled, 0u);
}

TEST_F(ComIdentity, TheExtentIsSavedAndLoadedThroughStreamsAndTheContentsStreamOfAStorage)
{
    ComPtr<IUnknown> object = Create();
    ComPtr<IOleObject> ole = Query<IOleObject>(object.Get(), IID_IOleObject);
    ComPtr<IPersistStreamInit> persist = Query<IPersistStreamInit>(object.Get(), IID_IPersistStreamInit);
    SIZEL extent;
    ASSERT_EQ(ole->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 5080);
    EXPECT_EQ(extent.cy, 5080);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    const SIZEL wanted{2000, 1000};
    ASSERT_EQ(ole->SetExtent(DVASPECT_CONTENT, &wanted), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    const SIZEL empty{0, 10};
    EXPECT_EQ(ole->SetExtent(DVASPECT_CONTENT, &empty), E_INVALIDARG);
    SIZEL content;
    ASSERT_EQ(Query<IQuickActivate>(object.Get(), IID_IQuickActivate)->GetContentExtent(&content), S_OK);
    EXPECT_EQ(content.cx, 2000);
    EXPECT_EQ(content.cy, 1000);

    MemoryStream stream;
    ASSERT_EQ(persist->Save(&stream, TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    MemoryStorage storage;
    ASSERT_EQ(Query<IPersistStorage>(object.Get(), IID_IPersistStorage)->Save(&storage, FALSE), S_OK);
    ASSERT_EQ(storage.streams.count(L"Contents"), 1u);
    EXPECT_EQ(storage.streams[L"Contents"].bytes, stream.bytes);

    ComPtr<IUnknown> other = Create();
    ComPtr<IPersistStreamInit> otherPersist = Query<IPersistStreamInit>(other.Get(), IID_IPersistStreamInit);
    stream.Rewind();
    ASSERT_EQ(otherPersist->Load(&stream), S_OK);
    Query<IOleObject>(other.Get(), IID_IOleObject)->GetExtent(DVASPECT_CONTENT, &extent);
    EXPECT_EQ(extent.cx, 2000);
    EXPECT_EQ(extent.cy, 1000);
    otherPersist->InitNew();
    ComPtr<IPersistStorage> otherStorage = Query<IPersistStorage>(other.Get(), IID_IPersistStorage);
    ASSERT_EQ(otherStorage->Load(&storage), S_OK);
    Query<IOleObject>(other.Get(), IID_IOleObject)->GetExtent(DVASPECT_CONTENT, &extent);
    EXPECT_EQ(extent.cx, 2000);

    // A short or foreign record and a storage without the stream leave the extent.
    MemoryStream truncated;
    truncated.bytes.assign(stream.bytes.begin(), stream.bytes.end() - 1);
    otherPersist->InitNew();
    EXPECT_EQ(otherPersist->Load(&truncated), E_FAIL);
    MemoryStream foreign;
    foreign.bytes = stream.bytes;
    foreign.bytes[0] ^= 0xFF;
    EXPECT_EQ(otherPersist->Load(&foreign), E_FAIL);
    MemoryStorage bare;
    EXPECT_EQ(otherStorage->Load(&bare), STG_E_FILENOTFOUND);
    Query<IOleObject>(other.Get(), IID_IOleObject)->GetExtent(DVASPECT_CONTENT, &extent);
    EXPECT_EQ(extent.cx, 5080);
    EXPECT_EQ(extent.cy, 5080);
}

TEST_F(ComIdentity, TheClassDescribesItselfThroughItsTypeLibrary)
{
    ComPtr<IUnknown> object = Create();
    ComPtr<IProvideClassInfo2> classInfo = Query<IProvideClassInfo2>(object.Get(), IID_IProvideClassInfo2);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(classInfo->GetClassInfo(info.Put()), S_OK);
    TYPEATTR attributes;
    info->GetTypeAttr(&attributes);
    EXPECT_EQ(attributes.guid, CLSID_Trellan);
    EXPECT_EQ(attributes.typekind, TKIND_COCLASS);
    EXPECT_EQ(attributes.wTypeFlags, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
    ComPtr<ITypeInfo> dispatch;
    ASSERT_EQ(info->GetImplTypeInfo(0, dispatch.Put()), S_OK);
    dispatch->GetTypeAttr(&attributes);
    EXPECT_EQ(attributes.guid, IID_ITrellan);
    EXPECT_EQ(attributes.wTypeFlags, TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FNONEXTENSIBLE);
    BSTR help = nullptr;
    dispatch->GetDocumentation(MEMBERID_NIL, nullptr, &help);
    EXPECT_EQ(WideFromBstr(help), L"ITrellan 接口");
    SysFreeString(help);

    GUID source = IID_ITrellan;
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), E_FAIL);
    EXPECT_EQ(source, GUID{});
    ComPtr<ISupportErrorInfo> errors = Query<ISupportErrorInfo>(object.Get(), IID_ISupportErrorInfo);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_ITrellan), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);

    CAUUID pages{1, reinterpret_cast<GUID*>(1)};
    ASSERT_EQ(Query<ISpecifyPropertyPages>(object.Get(), IID_ISpecifyPropertyPages)->GetPages(&pages), S_OK);
    EXPECT_EQ(pages.cElems, 0u);
    EXPECT_EQ(pages.pElems, nullptr);
    CONTROLINFO controlInfo;
    controlInfo.cAccel = 5;
    ASSERT_EQ(Query<IOleControl>(object.Get(), IID_IOleControl)->GetControlInfo(&controlInfo), S_OK);
    EXPECT_EQ(controlInfo.cAccel, 0);
    EXPECT_EQ(controlInfo.hAccel, nullptr);
    MSG key{};
    EXPECT_EQ(Query<IOleInPlaceActiveObject>(object.Get(), IID_IOleInPlaceActiveObject)->TranslateAccelerator(&key),
              S_FALSE);

    DWORD status = 0;
    ComPtr<IOleObject> ole = Query<IOleObject>(object.Get(), IID_IOleObject);
    ASSERT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
    CLSID clsid{};
    ole->GetUserClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_Trellan);

    ComPtr<IDispatch> late = Query<IDispatch>(object.Get(), IID_IDispatch);
    for (const auto& [name, id] : {std::pair{u"postMessage", 1}, {u"FireRecvMessage", 2}, {u"recvMessage", 3}}) {
        const char16_t* names[] = {name};
        DISPID found = 0;
        EXPECT_EQ(late->GetIDsOfNames(names, 1, LOCALE_USER_DEFAULT, &found), S_OK);
        EXPECT_EQ(found, id);
    }
}

TEST_F(ComIdentity, AContainerActivatesTheControlInPlaceAndClosesIt)
{
    const HWND container = CreateContainer();
    ComPtr<IUnknown> object = Create();
    ComPtr<IOleObject> ole = Query<IOleObject>(object.Get(), IID_IOleObject);
    ComPtr<IOleInPlaceObject> inPlace = Query<IOleInPlaceObject>(object.Get(), IID_IOleInPlaceObject);
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(inPlace->GetWindow(&window), OLE_E_NOT_INPLACEACTIVE);
    EXPECT_EQ(window, nullptr);
    const RECT rect{10, 20, 210, 120};
    EXPECT_EQ(ole->DoVerb(7, nullptr, container, &rect), OLEOBJ_E_INVALIDVERB);
    EXPECT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, &rect), E_INVALIDARG);
    ASSERT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, object.Get(), container, &rect), S_OK);
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(GetParent(window), container);
    ComPtr<IUnknown> site;
    ole->GetClientSite(site.Put());
    EXPECT_EQ(site.Get(), object.Get());

    // Quick activation hands the site over in one call and answers the misc status.
    ComPtr<IUnknown> quickSite = Create();
    QACONTAINER quick;
    quick.pClientSite = quickSite.Get();
    QACONTROL answer;
    answer.dwEventCookie = 7;
    ASSERT_EQ(Query<IQuickActivate>(object.Get(), IID_IQuickActivate)->QuickActivate(&quick, &answer), S_OK);
    EXPECT_EQ(answer.dwMiscStatus, 131473u);
    EXPECT_EQ(answer.dwEventCookie, 0u);
    ole->GetClientSite(site.Put());
    EXPECT_EQ(site.Get(), quick.pClientSite);
    answer.cbSize = 4;
    EXPECT_EQ(Query<IQuickActivate>(object.Get(), IID_IQuickActivate)->QuickActivate(&quick, &answer), E_INVALIDARG);

    const RECT moved{0, 0, 300, 200};
    ASSERT_EQ(inPlace->SetObjectRects(&moved, &moved), S_OK);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);

    ComPtr<IObjectWithSite> withSite = Query<IObjectWithSite>(object.Get(), IID_IObjectWithSite);
    void* found = reinterpret_cast<void*>(1);
    EXPECT_EQ(withSite->GetSite(IID_IUnknown, &found), E_FAIL);
    EXPECT_EQ(found, nullptr);

    ASSERT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(inPlace->GetWindow(&window), OLE_E_NOT_INPLACEACTIVE);
    ole->GetClientSite(site.Put());
    EXPECT_FALSE(site);
    DestroyWindow(container);
}

TEST_F(ComIdentity, TheViewIsMeasuredHitAndAdvisedOfChanges)
{
    ComPtr<IUnknown> object = Create();
    ComPtr<IViewObjectEx> view = Query<IViewObjectEx>(object.Get(), IID_IViewObjectEx);
    SIZEL size{};
    ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &size), S_OK);
    EXPECT_EQ(size.cx, 5080);
    EXPECT_EQ(size.cy, 5080);
    EXPECT_EQ(view->GetExtent(4, -1, nullptr, &size), DV_E_DVASPECT);

    ViewSink sink;
    ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, &sink), S_OK);
    const SIZEL wide{3000, 2000};
    ComPtr<IOleObject> ole = Query<IOleObject>(object.Get(), IID_IOleObject);
    ASSERT_EQ(ole->SetExtent(DVASPECT_CONTENT, &wide), S_OK);
    ASSERT_EQ(ole->SetExtent(DVASPECT_CONTENT, &wide), S_OK);
    EXPECT_EQ(sink.changes, 1);
    ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &size), S_OK);
    EXPECT_EQ(size.cx, 3000);
    EXPECT_EQ(size.cy, 2000);
    RECTL rect{};
    ASSERT_EQ(view->GetRect(DVASPECT_CONTENT, &rect), S_OK);
    EXPECT_EQ(rect.right, 3000);
    EXPECT_EQ(rect.bottom, 2000);
    DVEXTENTINFO proposal;
    ASSERT_EQ(view->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &proposal, &size), S_OK);
    EXPECT_EQ(size.cx, 5080);
    EXPECT_EQ(size.cy, 5080);

    DWORD aspects = 0, flags = 7;
    ComPtr<IAdviseSink> advised;
    ASSERT_EQ(view->GetAdvise(&aspects, &flags, advised.Put()), S_OK);
    EXPECT_EQ(advised.Get(), &sink);
    EXPECT_EQ(aspects, DVASPECT_CONTENT);
    EXPECT_EQ(flags, 0u);
    advised = ComPtr<IAdviseSink>();
    // A sink advised once hears of one change only.
    ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, ADVF_ONLYONCE, &sink), S_OK);
    const SIZEL tall{1000, 4000};
    ole->SetExtent(DVASPECT_CONTENT, &tall);
    ole->SetExtent(DVASPECT_CONTENT, &wide);
    EXPECT_EQ(sink.changes, 2);
    EXPECT_EQ(sink.references, 1u);
    view->GetAdvise(nullptr, nullptr, advised.Put());
    EXPECT_FALSE(advised);

    DWORD status = 0;
    ASSERT_EQ(view->GetViewStatus(&status), S_OK);
    EXPECT_EQ(status, VIEWSTATUS_OPAQUE);
    const RECT bounds{10, 20, 110, 70};
    DWORD hit = 9;
    ASSERT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{10, 20}, 0, &hit), S_OK);
    EXPECT_EQ(hit, HITRESULT_HIT);
    view->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{110, 40}, 0, &hit);
    EXPECT_EQ(hit, HITRESULT_OUTSIDE);
    view->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{50, 5}, 0, &hit);
    EXPECT_EQ(hit, HITRESULT_OUTSIDE);
    const RECT straddling{100, 60, 200, 200};
    view->QueryHitRect(DVASPECT_CONTENT, &bounds, &straddling, 0, &hit);
    EXPECT_EQ(hit, HITRESULT_HIT);
    const RECT beside{110, 20, 200, 70};
    view->QueryHitRect(DVASPECT_CONTENT, &bounds, &beside, 0, &hit);
    EXPECT_EQ(hit, HITRESULT_OUTSIDE);

    DWORD frozen = 0;
    EXPECT_EQ(view->Freeze(DVASPECT_CONTENT, -1, nullptr, &frozen), E_NOTIMPL);
    EXPECT_EQ(view->Unfreeze(frozen), E_NOTIMPL);
}

TEST_F(ComIdentity, DrawCopiesTheControlsWindowIntoTheGivenBounds)
{
    ComPtr<IUnknown> object = Create();
    ComPtr<IViewObject> view = Query<IViewObject>(object.Get(), IID_IViewObject);
    const HDC memory = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(memory, 60, 50);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    const RECT whole{0, 0, 60, 50};
    FillRect(memory, &whole, white);
    const RECTL bounds{5, 5, 45, 35};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0),
              OLE_E_BLANK);

    const HWND container = CreateContainer();
    const RECT rect{0, 0, 200, 100};
    ComPtr<IOleObject> ole = Query<IOleObject>(object.Get(), IID_IOleObject);
    ASSERT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, container, &rect), S_OK);
    HWND window = nullptr;
    Query<IOleWindow>(object.Get(), IID_IOleWindow)->GetWindow(&window);
    UpdateWindow(container);
    UpdateWindow(window);
    const HDC windowDc = GetDC(window);
    const HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
    FillRect(windowDc, &rect, red);
    ReleaseDC(window, windowDc);

    EXPECT_EQ(view->Draw(2, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0), DV_E_DVASPECT);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, nullptr, nullptr, nullptr, 0),
              E_INVALIDARG);
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(GetPixel(memory, 5, 5), RGB(200, 0, 0));
    EXPECT_EQ(GetPixel(memory, 44, 34), RGB(200, 0, 0));
    EXPECT_EQ(GetPixel(memory, 4, 4), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 45, 35), RGB(255, 255, 255));

    ole->Close(OLECLOSE_NOSAVE);
    DestroyWindow(container);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteObject(white);
    DeleteObject(red);
    DeleteDC(memory);
}

TEST_F(ComIdentity, TheWindowedControlLeavesMessagesToItsWindowAndOffersNoData)
{
    ComPtr<IUnknown> object = Create();
    ComPtr<IOleInPlaceObjectWindowless> windowless =
        Query<IOleInPlaceObjectWindowless>(object.Get(), IID_IOleInPlaceObjectWindowless);
    LRESULT result = 5;
    EXPECT_EQ(windowless->OnWindowMessage(WM_LBUTTONDOWN, 0, 0, &result), S_FALSE);
    IDropTarget* target = reinterpret_cast<IDropTarget*>(1);
    EXPECT_EQ(windowless->GetDropTarget(&target), E_NOTIMPL);
    EXPECT_EQ(target, nullptr);

    ComPtr<IDataObject> data = Query<IDataObject>(object.Get(), IID_IDataObject);
    FORMATETC format;
    format.cfFormat = CF_BITMAP;
    format.tymed = TYMED_GDI;
    STGMEDIUM medium;
    EXPECT_EQ(data->QueryGetData(&format), DV_E_FORMATETC);
    EXPECT_EQ(data->GetData(&format, &medium), DV_E_FORMATETC);
    EXPECT_EQ(data->GetDataHere(&format, &medium), DV_E_FORMATETC);
    EXPECT_EQ(medium.tymed, TYMED_NULL);
    EXPECT_EQ(data->SetData(&format, &medium, FALSE), E_NOTIMPL);
    IEnumFORMATETC* formats = reinterpret_cast<IEnumFORMATETC*>(1);
    EXPECT_EQ(data->EnumFormatEtc(1, &formats), E_NOTIMPL);
    EXPECT_EQ(formats, nullptr);
    FORMATETC canonical;
    canonical.cfFormat = CF_HDROP;
    EXPECT_EQ(data->GetCanonicalFormatEtc(&format, &canonical), DATA_S_SAMEFORMATETC);
    EXPECT_EQ(canonical.cfFormat, CF_BITMAP);
    EXPECT_EQ(canonical.ptd, nullptr);
    DWORD connection = 3;
    ViewSink sink;
    EXPECT_EQ(data->DAdvise(&format, 0, &sink, &connection), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(connection, 0u);
    EXPECT_EQ(sink.references, 1u);
    EXPECT_EQ(data->DUnadvise(1), OLE_E_ADVISENOTSUPPORTED);
}

} // namespace
