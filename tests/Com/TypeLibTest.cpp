// Type libraries in our text form: loading, names to DISPIDs, checked calls and
// registration.

#include "Platform/Com/GuidText.h"
#include "Platform/Com/RegistryKey.h"
#include "Platform/Com/TypeLib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;

namespace {

const char* const kLibrary = R"({
  "format": "trellan-typelib",
  "library": {"name": "TestLib", "helpstring": "测试 library", "guid": "{11111111-2222-3333-4444-555555555555}",
              "version": "2.3"},
  "types": [
    {"kind": "dispatch", "name": "ITest", "guid": "{AAAAAAAA-2222-3333-4444-555555555555}", "flags": ["dual"],
     "members": [
       {"name": "Say", "dispid": 7, "invoke": "method", "params": [{"name": "text", "type": "BSTR"},
                                                                  {"name": "count", "type": "long"}]},
       {"name": "Handler", "dispid": 9, "invoke": "propput", "params": [{"name": "value", "type": "IDispatch*"}]}
     ]},
    {"kind": "coclass", "name": "Test", "guid": "{BBBBBBBB-2222-3333-4444-555555555555}",
     "flags": ["creatable"], "implements": ["ITest"]}
  ]
})";

// Records the calls that reach the object.
struct Recorder final : IMemberCall {
    HRESULT CallMember(UINT slot, VARIANT* arguments) override
    {
        slots.push_back(slot);
        if (slot == 0)
            texts.push_back(WideFromBstr(arguments[0].bstrVal) + L"×" + std::to_wstring(arguments[1].lVal));
        else
            handlers.push_back(arguments[0].pdispVal);
        return S_FALSE;
    }
    std::vector<UINT> slots;
    std::vector<std::wstring> texts;
    std::vector<IDispatch*> handlers;
};

class TypeLibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ITypeLib* loaded = nullptr;
        ASSERT_EQ(LoadTypeLibFromText(kLibrary, &loaded), S_OK);
        library = ComPtr<ITypeLib>::Adopt(loaded);
        ASSERT_EQ(library->GetTypeInfoOfGuid(*ParseGuid(L"{AAAAAAAA-2222-3333-4444-555555555555}"), info.Put()), S_OK);
    }

    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> info;
};

TEST_F(TypeLibTest, DescribesTheLibraryAndItsTypes)
{
    TLIBATTR attributes;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(StringFromGuid(attributes.guid), L"{11111111-2222-3333-4444-555555555555}");
    EXPECT_EQ(attributes.wMajorVerNum, 2);
    EXPECT_EQ(attributes.wMinorVerNum, 3);
    BSTR name = nullptr, help = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, &help), S_OK);
    EXPECT_EQ(WideFromBstr(name), L"TestLib");
    EXPECT_EQ(WideFromBstr(help), L"测试 library");
    SysFreeString(name);
    SysFreeString(help);

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(*ParseGuid(L"{BBBBBBBB-2222-3333-4444-555555555555}"), coclass.Put()), S_OK);
    TYPEATTR type;
    ASSERT_EQ(coclass->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type.typekind, TKIND_COCLASS);
    EXPECT_EQ(type.wTypeFlags, TYPEFLAG_FCANCREATE);
    ComPtr<ITypeInfo> implemented;
    ASSERT_EQ(coclass->GetImplTypeInfo(0, implemented.Put()), S_OK);
    EXPECT_EQ(implemented.Get(), info.Get());
    EXPECT_EQ(coclass->GetImplTypeInfo(1, implemented.Put()), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(library->GetTypeInfoOfGuid(GUID{}, implemented.Put()), TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(TypeLibTest, MapsMemberAndParameterNamesInAnyCase)
{
    const char16_t* names[] = {u"SAY", u"count", u"Text", u"missing"};
    DISPID ids[4];
    EXPECT_EQ(info->GetIDsOfNames(names, 4, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 7);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(ids[2], 0);
    EXPECT_EQ(ids[3], DISPID_UNKNOWN);
    const char16_t* unknown[] = {u"Shout"};
    EXPECT_EQ(info->GetIDsOfNames(unknown, 1, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
}

TEST_F(TypeLibTest, CallsReachTheMemberOnlyWithTheRightKindCountAndTypes)
{
    Recorder object;
    ScopedBstr text(std::wstring(L"hi"));
    VARIANT arguments[2]; // last argument first
    arguments[0].vt = VT_I4;
    arguments[0].lVal = 3;
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = text.Get();
    DISPPARAMS params;
    params.rgvarg = arguments;
    params.cArgs = 2;
    EXPECT_EQ(info->Invoke(&object, 7, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(object.texts, (std::vector<std::wstring>{L"hi×3"}));

    EXPECT_EQ(info->Invoke(&object, 7, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(info->Invoke(&object, 8, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
    params.cArgs = 1;
    EXPECT_EQ(info->Invoke(&object, 7, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), DISP_E_BADPARAMCOUNT);
    params.cArgs = 2;
    arguments[0].vt = VT_BSTR;
    arguments[0].bstrVal = text.Get();
    UINT argError = 99;
    EXPECT_EQ(info->Invoke(&object, 7, DISPATCH_METHOD, &params, nullptr, nullptr, &argError), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 0u);

    VARIANT handler;
    handler.vt = VT_EMPTY;
    params.rgvarg = &handler;
    params.cArgs = 1;
    EXPECT_EQ(info->Invoke(&object, 9, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), S_FALSE);
    handler.vt = VT_BSTR;
    handler.bstrVal = text.Get();
    EXPECT_EQ(info->Invoke(&object, 9, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(object.slots, (std::vector<UINT>{0, 1}));
    EXPECT_EQ(object.handlers, (std::vector<IDispatch*>{nullptr}));
}

TEST_F(TypeLibTest, RegistrationWritesTheLibraryAndItsInterfacesAndTakesThemAway)
{
    RegistryKey classes;
    classes.Create(L"TypeLib\\{11111111-2222-3333-4444-555555555555}\\1.0");
    ASSERT_EQ(RegisterTypeLib(library.Get(), L"/opt/it's/lib.so", classes), S_OK);
    const RegistryKey* version = classes.Find(L"TypeLib\\{11111111-2222-3333-4444-555555555555}\\2.3");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(*version->GetValue(L""), RegistryKey::Value(std::wstring(L"测试 library")));
    EXPECT_EQ(*version->Find(L"0\\linux64")->GetValue(L""), RegistryKey::Value(std::wstring(L"/opt/it's/lib.so")));
    EXPECT_EQ(*version->Find(L"HELPDIR")->GetValue(L""), RegistryKey::Value(std::wstring(L"/opt/it's")));
    const RegistryKey* interface = classes.Find(L"Interface\\{AAAAAAAA-2222-3333-4444-555555555555}");
    ASSERT_NE(interface, nullptr);
    EXPECT_EQ(*interface->GetValue(L""), RegistryKey::Value(std::wstring(L"ITest")));

    ASSERT_EQ(UnRegisterTypeLib(library.Get(), classes), S_OK);
    EXPECT_EQ(classes.Find(L"Interface\\{AAAAAAAA-2222-3333-4444-555555555555}"), nullptr);
    // Another version of the library stays, and with it the library's key.
    EXPECT_EQ(classes.Find(L"TypeLib\\{11111111-2222-3333-4444-555555555555}\\2.3"), nullptr);
    EXPECT_NE(classes.Find(L"TypeLib\\{11111111-2222-3333-4444-555555555555}\\1.0"), nullptr);
    classes.DeleteTree(L"TypeLib\\{11111111-2222-3333-4444-555555555555}\\1.0");
    ASSERT_EQ(RegisterTypeLib(library.Get(), L"/lib.so", classes), S_OK);
    ASSERT_EQ(UnRegisterTypeLib(library.Get(), classes), S_OK);
    EXPECT_EQ(classes.Find(L"TypeLib\\{11111111-2222-3333-4444-555555555555}"), nullptr);
}

TEST(TypeLibLoading, TextsThatAreNotALibraryAreRefused)
{
    for (const char* text :
         {"", "[]", R"({"format": "other", "library": {}, "types": []})",
          R"({"format": "trellan-typelib", "library": {"guid": "{bad}", "version": "1.0"}, "types": []})",
          R"({"format": "trellan-typelib", "library": {"guid": "{11111111-2222-3333-4444-555555555555}",
              "version": "1"}, "types": []})",
          R"({"format": "trellan-typelib", "library": {"guid": "{11111111-2222-3333-4444-555555555555}",
              "version": "1.0"}, "types": [{"kind": "dispatch", "name": "I", "guid":
              "{11111111-2222-3333-4444-555555555555}", "members": [{"name": "M", "dispid": 1,
              "invoke": "method", "params": [{"type": "float"}]}]}]})",
          R"({"format": "trellan-typelib", "library": {"guid": "{11111111-2222-3333-4444-555555555555}",
              "version": "1.0"}, "types": [{"kind": "dispatch", "name": "I", "guid":
              "{11111111-2222-3333-4444-555555555555}", "members": {"name": "M"}}]})"}) {
        ITypeLib* library = reinterpret_cast<ITypeLib*>(1);
        EXPECT_EQ(LoadTypeLibFromText(text, &library), TYPE_E_CANTLOADLIBRARY) << text;
        EXPECT_EQ(library, nullptr);
    }
}

} // namespace
