#include "Platform/Com/Registry.h"

#include <cstring>
#include <optional>
#include <string>

namespace Platform {

enum class RegistryRoot { Classes, User, Machine };

struct HKEY__ {
    RegistryRoot root;
    std::wstring path;
};

namespace {

std::wstring JoinPath(const std::wstring& base, std::wstring_view sub)
{
    if (base.empty())
        return std::wstring(sub);
    if (sub.empty())
        return base;
    return base + L'\\' + std::wstring(sub);
}

// The root and path key and subKey name together; nothing for a bad handle or path.
std::optional<HKEY__> Resolve(HKEY key, const wchar_t* subKey)
{
    const std::wstring_view sub = subKey ? subKey : L"";
    if (!RegistryKey::ValidPath(sub))
        return std::nullopt;
    if (key == HKEY_CLASSES_ROOT)
        return HKEY__{RegistryRoot::Classes, std::wstring(sub)};
    if (key == HKEY_CURRENT_USER)
        return HKEY__{RegistryRoot::User, std::wstring(sub)};
    if (key == HKEY_LOCAL_MACHINE)
        return HKEY__{RegistryRoot::Machine, std::wstring(sub)};
    if (!key)
        return std::nullopt;
    return HKEY__{key->root, JoinPath(key->path, sub)};
}

LSTATUS ReadRoot(RegistryRoot root, RegistryKey& tree)
{
    switch (root) {
    case RegistryRoot::Classes:
        return RegistryStore::ReadClasses(tree);
    case RegistryRoot::User:
        return RegistryStore::Read(RegistryHive::User, tree);
    case RegistryRoot::Machine:
        break;
    }
    return RegistryStore::Read(RegistryHive::Machine, tree);
}

// Where a change of place goes: a hive and the path inside it. A class key is
// changed in the user's classes when it is there, else in the machine's.
LSTATUS WritePlace(const HKEY__& place, RegistryHive& hive, std::wstring& path)
{
    if (place.root != RegistryRoot::Classes) {
        hive = place.root == RegistryRoot::User ? RegistryHive::User : RegistryHive::Machine;
        path = place.path;
        return ERROR_SUCCESS;
    }
    path = JoinPath(RegistryStore::ClassesPath, place.path);
    RegistryKey user;
    const LSTATUS status = RegistryStore::Read(RegistryHive::User, user);
    hive = status == ERROR_SUCCESS && user.Find(path) ? RegistryHive::User : RegistryHive::Machine;
    return status;
}

LSTATUS Change(const HKEY__& place, const std::function<LSTATUS(RegistryKey& root, const std::wstring& path)>& change)
{
    RegistryHive hive;
    std::wstring path;
    if (const LSTATUS status = WritePlace(place, hive, path); status != ERROR_SUCCESS)
        return status;
    LSTATUS result = ERROR_SUCCESS;
    const LSTATUS stored = RegistryStore::Update(hive, [&](RegistryKey& root) {
        result = change(root, path);
        return result == ERROR_SUCCESS;
    });
    return result != ERROR_SUCCESS ? result : stored;
}

// Reads the tree of place's root and finds place in it.
LSTATUS Lookup(const HKEY__& place, RegistryKey& tree, const RegistryKey*& key)
{
    if (const LSTATUS status = ReadRoot(place.root, tree); status != ERROR_SUCCESS)
        return status;
    key = tree.Find(place.path);
    return key ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

} // namespace

LSTATUS RegOpenKeyExW(HKEY key, const wchar_t* subKey, DWORD, REGSAM, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const std::optional<HKEY__> place = Resolve(key, subKey);
    if (!place)
        return ERROR_INVALID_PARAMETER;
    RegistryKey tree;
    const RegistryKey* found = nullptr;
    if (const LSTATUS status = Lookup(*place, tree, found); status != ERROR_SUCCESS)
        return status;
    *result = new HKEY__(*place);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY key, const wchar_t* subKey, DWORD, wchar_t*, DWORD, REGSAM, void*, HKEY* result,
                        DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const std::optional<HKEY__> place = Resolve(key, subKey);
    if (!place)
        return ERROR_INVALID_PARAMETER;
    bool existed = false;
    const LSTATUS status = Change(*place, [&](RegistryKey& root, const std::wstring& path) {
        existed = root.Find(path) != nullptr;
        return root.Create(path) ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    });
    if (status != ERROR_SUCCESS)
        return status;
    if (disposition)
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = new HKEY__(*place);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key)
{
    if (!key)
        return ERROR_INVALID_PARAMETER;
    if (key != HKEY_CLASSES_ROOT && key != HKEY_CURRENT_USER && key != HKEY_LOCAL_MACHINE)
        delete key;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, const wchar_t* name, DWORD*, DWORD* type, BYTE* data, DWORD* size)
{
    const std::optional<HKEY__> place = Resolve(key, nullptr);
    if (!place || (data && !size))
        return ERROR_INVALID_PARAMETER;
    RegistryKey tree;
    const RegistryKey* found = nullptr;
    if (const LSTATUS status = Lookup(*place, tree, found); status != ERROR_SUCCESS)
        return status;
    const RegistryKey::Value* value = found->GetValue(name ? name : L"");
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    const auto* text = std::get_if<std::wstring>(value);
    const DWORD number = text ? 0 : std::get<DWORD>(*value);
    const void* bytes = text ? static_cast<const void*>(text->c_str()) : &number;
    const DWORD needed = text ? DWORD((text->size() + 1) * sizeof(wchar_t)) : DWORD(sizeof number);
    if (type)
        *type = text ? REG_SZ : REG_DWORD;
    if (!size)
        return ERROR_SUCCESS;
    const DWORD room = *size;
    *size = needed;
    if (!data)
        return ERROR_SUCCESS;
    if (room < needed)
        return ERROR_MORE_DATA;
    std::memcpy(data, bytes, needed);
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY key, const wchar_t* name, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    const std::optional<HKEY__> place = Resolve(key, nullptr);
    if (!place || (!data && size))
        return ERROR_INVALID_PARAMETER;
    RegistryKey::Value value;
    if (type == REG_SZ) {
        std::wstring text(size / sizeof(wchar_t), L'\0');
        if (size)
            std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
        text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
        value = std::move(text);
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number;
        std::memcpy(&number, data, sizeof number);
        value = number;
    } else {
        return ERROR_INVALID_PARAMETER;
    }
    return Change(*place, [&](RegistryKey& root, const std::wstring& path) {
        RegistryKey* target = root.Find(path);
        if (!target)
            return ERROR_FILE_NOT_FOUND;
        target->SetValue(name ? name : L"", value);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteTreeW(HKEY key, const wchar_t* subKey)
{
    const std::optional<HKEY__> place = Resolve(key, subKey);
    if (!place)
        return ERROR_INVALID_PARAMETER;
    const bool ownContents = !subKey || !*subKey;
    return Change(*place, [&](RegistryKey& root, const std::wstring& path) {
        RegistryKey* target = root.Find(path);
        if (!target)
            return ERROR_FILE_NOT_FOUND;
        if (ownContents)
            *target = RegistryKey();
        else
            root.DeleteTree(path);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, wchar_t* name, DWORD* length, DWORD*, wchar_t*, DWORD*, void*)
{
    const std::optional<HKEY__> place = Resolve(key, nullptr);
    if (!place || !name || !length)
        return ERROR_INVALID_PARAMETER;
    RegistryKey tree;
    const RegistryKey* found = nullptr;
    if (const LSTATUS status = Lookup(*place, tree, found); status != ERROR_SUCCESS)
        return status;
    if (index >= found->subkeys().size())
        return ERROR_NO_MORE_ITEMS;
    const std::wstring& subkey = std::next(found->subkeys().begin(), index)->first;
    if (*length <= subkey.size()) {
        *length = DWORD(subkey.size());
        return ERROR_MORE_DATA;
    }
    std::wcscpy(name, subkey.c_str());
    *length = DWORD(subkey.size());
    return ERROR_SUCCESS;
}

} // namespace Platform
