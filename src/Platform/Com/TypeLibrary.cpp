#include "Platform/Com/TypeLibrary.h"

#include "Platform/Com/GuidText.h"
#include "Platform/Com/RegistryKey.h"
#include "Platform/Text/TextConv.h"

#include <json/reader.h>

#include <cwchar>
#include <filesystem>
#include <map>

namespace Platform {

TypeLibrary::TypeLibrary(Attributes attributes, std::vector<TypeInfo::Description> descriptions)
    : library(std::move(attributes))
{
    for (TypeInfo::Description& description : descriptions)
        types.push_back(std::make_unique<TypeInfo>(*this, std::move(description)));
}

HRESULT TypeLibrary::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ITypeLib) {
        *object = static_cast<ITypeLib*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TypeLibrary::AddRef()
{
    return ++references;
}

ULONG TypeLibrary::Release()
{
    const ULONG left = --references;
    if (left == 0)
        delete this;
    return left;
}

UINT TypeLibrary::GetTypeInfoCount()
{
    return UINT(types.size());
}

HRESULT TypeLibrary::GetTypeInfo(UINT index, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index >= types.size())
        return TYPE_E_ELEMENTNOTFOUND;
    *info = types[index].get();
    AddRef();
    return S_OK;
}

HRESULT TypeLibrary::GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    for (const auto& type : types) {
        if (type->description().guid == guid) {
            *info = type.get();
            AddRef();
            return S_OK;
        }
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT TypeLibrary::GetLibAttr(TLIBATTR* attributes)
{
    if (!attributes)
        return E_POINTER;
    attributes->guid = library.guid;
    attributes->wMajorVerNum = library.major;
    attributes->wMinorVerNum = library.minor;
    return S_OK;
}

HRESULT TypeLibrary::GetDocumentation(int index, BSTR* name, BSTR* docString)
{
    if (index >= 0)
        return UINT(index) < types.size() ? types[UINT(index)]->GetDocumentation(MEMBERID_NIL, name, docString)
                                          : TYPE_E_ELEMENTNOTFOUND;
    if (index != -1)
        return E_INVALIDARG;
    if (name)
        *name = BstrFromWide(library.name);
    if (docString)
        *docString = BstrFromWide(library.helpString);
    return S_OK;
}

namespace {

std::wstring Text(const Json::Value& object, const char* member)
{
    const Json::Value& value = object[member];
    return value.isString() ? Utf8ToWide(value.asString()) : std::wstring();
}

bool ReadGuid(const Json::Value& object, GUID& guid)
{
    const std::optional<GUID> parsed = ParseGuid(Text(object, "guid"));
    if (parsed)
        guid = *parsed;
    return parsed.has_value();
}

bool ReadVersion(const std::wstring& text, WORD& major, WORD& minor)
{
    unsigned high = 0, low = 0;
    wchar_t extra = 0;
    if (std::swscanf(text.c_str(), L"%u.%u%lc", &high, &low, &extra) != 2 || high > 0xFFFF || low > 0xFFFF)
        return false;
    major = WORD(high);
    minor = WORD(low);
    return true;
}

bool ReadParam(const Json::Value& json, TypeInfo::Param& param)
{
    static const std::map<std::string, TypeInfo::ParamType> kTypes = {
        {"BSTR", TypeInfo::ParamType::Bstr},
        {"long", TypeInfo::ParamType::Int},
        {"IDispatch*", TypeInfo::ParamType::Dispatch},
        {"IDispatchEx*", TypeInfo::ParamType::DispatchEx}};
    const auto type = kTypes.find(json["type"].isString() ? json["type"].asString() : "");
    if (type == kTypes.end())
        return false;
    param.name = Text(json, "name");
    param.type = type->second;
    return true;
}

bool ReadMember(const Json::Value& json, TypeInfo::Member& member)
{
    static const std::map<std::string, WORD> kKinds = {
        {"method", DISPATCH_METHOD}, {"propget", DISPATCH_PROPERTYGET}, {"propput", DISPATCH_PROPERTYPUT}};
    const auto kind = kKinds.find(json["invoke"].isString() ? json["invoke"].asString() : "");
    if (!json.isObject() || kind == kKinds.end() || !json["dispid"].isInt() || !json["params"].isArray())
        return false;
    member.name = Text(json, "name");
    member.helpString = Text(json, "helpstring");
    member.id = json["dispid"].asInt();
    member.invokeKind = kind->second;
    for (const Json::Value& param : json["params"]) {
        if (!ReadParam(param, member.params.emplace_back()))
            return false;
    }
    return !member.name.empty();
}

bool ReadType(const Json::Value& json, TypeInfo::Description& type)
{
    static const std::map<std::string, TYPEKIND> kKinds = {
        {"interface", TKIND_INTERFACE}, {"dispatch", TKIND_DISPATCH}, {"coclass", TKIND_COCLASS}};
    static const std::map<std::string, WORD> kFlags = {{"creatable", TYPEFLAG_FCANCREATE},
                                                       {"control", TYPEFLAG_FCONTROL},
                                                       {"dual", TYPEFLAG_FDUAL},
                                                       {"nonextensible", TYPEFLAG_FNONEXTENSIBLE},
                                                       {"oleautomation", TYPEFLAG_FOLEAUTOMATION}};
    if (!json.isObject())
        return false;
    const auto kind = kKinds.find(json["kind"].isString() ? json["kind"].asString() : "");
    if (kind == kKinds.end() || !ReadGuid(json, type.guid))
        return false;
    type.kind = kind->second;
    type.name = Text(json, "name");
    type.helpString = Text(json, "helpstring");
    for (const Json::Value& flag : json["flags"]) {
        const auto found = kFlags.find(flag.isString() ? flag.asString() : "");
        if (found == kFlags.end())
            return false;
        type.flags |= found->second;
    }
    for (const Json::Value& member : json["members"]) {
        if (!ReadMember(member, type.members.emplace_back()))
            return false;
    }
    for (const Json::Value& implemented : json["implements"]) {
        if (!implemented.isString())
            return false;
        type.implemented.push_back(Utf8ToWide(implemented.asString()));
    }
    return !type.name.empty();
}

bool ArraysWhereGiven(const Json::Value& json, std::initializer_list<const char*> members)
{
    for (const char* member : members) {
        if (!json[member].isNull() && !json[member].isArray())
            return false;
    }
    return true;
}

} // namespace

HRESULT LoadTypeLibFromText(std::string_view text, ITypeLib** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    Json::CharReaderBuilder builder;
    builder["failIfExtra"] = true;
    builder["stackLimit"] = 32;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value json;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &json, &errors) || !json.isObject() ||
        json["format"] != "trellan-typelib" || !json["types"].isArray())
        return TYPE_E_CANTLOADLIBRARY;
    TypeLibrary::Attributes attributes;
    const Json::Value& library = json["library"];
    if (!library.isObject() || !ReadGuid(library, attributes.guid) ||
        !ReadVersion(Text(library, "version"), attributes.major, attributes.minor))
        return TYPE_E_CANTLOADLIBRARY;
    attributes.name = Text(library, "name");
    attributes.helpString = Text(library, "helpstring");
    std::vector<TypeInfo::Description> types;
    for (const Json::Value& type : json["types"]) {
        if (!ArraysWhereGiven(type, {"flags", "members", "implements"}) || !ReadType(type, types.emplace_back()))
            return TYPE_E_CANTLOADLIBRARY;
    }
    *result = new TypeLibrary(std::move(attributes), std::move(types));
    return S_OK;
}

namespace {

std::wstring VersionKey(const TypeLibrary& library)
{
    return std::to_wstring(library.attributes().major) + L"." + std::to_wstring(library.attributes().minor);
}

// The library's object, which registration reads; null for a library of another kind.
TypeLibrary* Loaded(ITypeLib* library)
{
    return dynamic_cast<TypeLibrary*>(library);
}

} // namespace

HRESULT RegisterTypeLib(ITypeLib* library, const std::wstring& modulePath, RegistryKey& classes)
{
    TypeLibrary* loaded = Loaded(library);
    if (!loaded)
        return E_INVALIDARG;
    const std::wstring libraryId = StringFromGuid(loaded->attributes().guid);
    RegistryKey& version = *classes.Create(L"TypeLib\\" + libraryId + L"\\" + VersionKey(*loaded));
    version.SetValue(L"", loaded->attributes().helpString);
    version.Create(L"0\\linux64")->SetValue(L"", modulePath);
    version.Create(L"FLAGS")->SetValue(L"", std::wstring(L"0"));
    // The folder is cut from the wide path itself: a std::filesystem::path made from a
    // wide string converts through the C library's locale, which fails (and threw out
    // of registration) for a path with Chinese characters in the default "C" locale.
    version.Create(L"HELPDIR")
        ->SetValue(L"", PathToWide(std::filesystem::path(WideToPath(modulePath)).parent_path().string()));
    for (UINT i = 0; i < loaded->GetTypeInfoCount(); ++i) {
        const TypeInfo::Description& type = loaded->Type(i).description();
        if (type.kind != TKIND_DISPATCH)
            continue;
        RegistryKey& interface = *classes.Create(L"Interface\\" + StringFromGuid(type.guid));
        interface.SetValue(L"", type.name);
        RegistryKey& typeLib = *interface.Create(L"TypeLib");
        typeLib.SetValue(L"", libraryId);
        typeLib.SetValue(L"Version", VersionKey(*loaded));
    }
    return S_OK;
}

HRESULT UnRegisterTypeLib(ITypeLib* library, RegistryKey& classes)
{
    TypeLibrary* loaded = Loaded(library);
    if (!loaded)
        return E_INVALIDARG;
    const std::wstring libraryKey = L"TypeLib\\" + StringFromGuid(loaded->attributes().guid);
    classes.DeleteTree(libraryKey + L"\\" + VersionKey(*loaded));
    if (const RegistryKey* remaining = classes.Find(libraryKey); remaining && remaining->Empty())
        classes.DeleteTree(libraryKey);
    for (UINT i = 0; i < loaded->GetTypeInfoCount(); ++i) {
        const TypeInfo::Description& type = loaded->Type(i).description();
        if (type.kind == TKIND_DISPATCH)
            classes.DeleteTree(L"Interface\\" + StringFromGuid(type.guid));
    }
    return S_OK;
}

} // namespace Platform
