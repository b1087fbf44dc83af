#include "RegistryListing.h"

#include "Platform/Text/TextConv.h"

#include <string>

using namespace Platform;

namespace {

void PrintKey(std::ostream& out, const std::wstring& path, const RegistryKey& key)
{
    if (!path.empty()) {
        out << WideToUtf8(path) << "\n";
        for (const auto& [name, value] : key.values()) {
            out << "    " << (name.empty() ? "@" : WideToUtf8(name)) << " = ";
            if (const auto* text = std::get_if<std::wstring>(&value))
                out << "\"" << WideToUtf8(*text) << "\"\n";
            else
                out << std::get<DWORD>(value) << "\n";
        }
    }
    for (const auto& [name, child] : key.subkeys())
        PrintKey(out, path.empty() ? name : path + L"\\" + name, child);
}

} // namespace

void PrintRegistryKeys(std::ostream& out, const RegistryKey& classes)
{
    PrintKey(out, L"", classes);
}
