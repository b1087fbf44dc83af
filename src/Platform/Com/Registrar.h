#pragma once
// The registrar: runs a module's registration script on a hive's classes key.
//
// A script names keys under HKCR (HKEY_CLASSES_ROOT) in nested braces:
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove '{...}' = s 'Trellan Class'
//           {
//               val AppID = s '%APPID%'
//               MiscStatus = d '0'
//           }
//       }
//   }
//
// A key may have a default value (= s 'text' or = d 'number') and named values
// (val Name = s|d '...'). Names and texts are words or quoted with ' (a quote inside
// doubled). NoRemove keys stay on unregistration; ForceRemove keys are replaced
// whole on registration and removed whole on unregistration; other keys lose the
// values the script gives them and go when nothing else is left in them.
//
// %NAME% in a word or quoted text is replaced by the value given for NAME (%% by %).
// Replacement happens after the script is read, so a value's quotes, braces or
// spaces are stored as they are and never read as script.

#include "Platform/Com/RegistryKey.h"

#include <map>
#include <string>
#include <string_view>

namespace Platform {

constexpr HRESULT DISP_E_EXCEPTION = MakeHresult(0x80020009u);

class Registrar {
public:
    void AddReplacement(std::wstring name, std::wstring value);

    // Apply script to classes. DISP_E_EXCEPTION for a script that cannot be read or
    // names an unknown replacement; classes is unchanged then.
    HRESULT Register(std::wstring_view script, RegistryKey& classes) const;
    HRESULT Unregister(std::wstring_view script, RegistryKey& classes) const;

private:
    std::map<std::wstring, std::wstring> replacements;
};

} // namespace Platform
