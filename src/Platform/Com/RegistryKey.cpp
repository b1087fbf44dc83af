#include "Platform/Com/RegistryKey.h"

#include <algorithm>
#include <utility>

namespace Platform {

namespace {

wchar_t FoldCase(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Splits off the first component of path; the rest follows the backslash.
std::wstring_view FirstName(std::wstring_view path, std::wstring_view& rest)
{
    const std::size_t slash = path.find(L'\\');
    rest = slash == std::wstring_view::npos ? std::wstring_view() : path.substr(slash + 1);
    return path.substr(0, slash);
}

} // namespace

bool NoCaseLess::operator()(std::wstring_view a, std::wstring_view b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return FoldCase(x) < FoldCase(y); });
}

bool RegistryKey::ValidName(std::wstring_view name)
{
    return !name.empty() && name.size() <= 255 &&
           std::none_of(name.begin(), name.end(), [](wchar_t c) { return c == L'\\' || c < 0x20 || c == 0x7F; });
}

bool RegistryKey::ValidPath(std::wstring_view path)
{
    while (!path.empty()) {
        std::wstring_view rest;
        if (!ValidName(FirstName(path, rest)))
            return false;
        if (rest.empty() && path.back() == L'\\')
            return false;
        path = rest;
    }
    return true;
}

RegistryKey* RegistryKey::Find(std::wstring_view path)
{
    return const_cast<RegistryKey*>(std::as_const(*this).Find(path));
}

const RegistryKey* RegistryKey::Find(std::wstring_view path) const
{
    if (!ValidPath(path))
        return nullptr;
    const RegistryKey* key = this;
    while (key && !path.empty()) {
        std::wstring_view rest;
        auto child = key->children.find(FirstName(path, rest));
        key = child == key->children.end() ? nullptr : &child->second;
        path = rest;
    }
    return key;
}

RegistryKey* RegistryKey::Create(std::wstring_view path)
{
    if (!ValidPath(path))
        return nullptr;
    RegistryKey* key = this;
    while (!path.empty()) {
        std::wstring_view rest;
        const std::wstring_view name = FirstName(path, rest);
        auto child = key->children.find(name);
        if (child == key->children.end())
            child = key->children.emplace(std::wstring(name), RegistryKey()).first;
        key = &child->second;
        path = rest;
    }
    return key;
}

bool RegistryKey::DeleteTree(std::wstring_view path)
{
    if (path.empty() || !ValidPath(path))
        return false;
    const std::size_t slash = path.rfind(L'\\');
    RegistryKey* parent = slash == std::wstring_view::npos ? this : Find(path.substr(0, slash));
    if (!parent)
        return false;
    auto child = parent->children.find(path.substr(slash + 1));
    if (child == parent->children.end())
        return false;
    parent->children.erase(child);
    return true;
}

void RegistryKey::SetValue(std::wstring_view name, Value value)
{
    auto existing = data.find(name);
    if (existing == data.end())
        data.emplace(std::wstring(name), std::move(value));
    else
        existing->second = std::move(value);
}

const RegistryKey::Value* RegistryKey::GetValue(std::wstring_view name) const
{
    auto found = data.find(name);
    return found == data.end() ? nullptr : &found->second;
}

bool RegistryKey::DeleteValue(std::wstring_view name)
{
    auto found = data.find(name);
    if (found == data.end())
        return false;
    data.erase(found);
    return true;
}

void RegistryKey::MergeFrom(const RegistryKey& other)
{
    for (const auto& [name, value] : other.data)
        SetValue(name, value);
    for (const auto& [name, child] : other.children)
        Create(name)->MergeFrom(child);
}

} // namespace Platform
