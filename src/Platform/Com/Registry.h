#pragma once
// The registry functions over the registry store. HKEY_CLASSES_ROOT reads the
// classes view (the user's classes over the machine's) and writes where the key
// already is, else to the machine's classes; HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE are the two hives. Every write is one atomic change of a hive.

#include "Platform/Com/RegistryStore.h"

#include <cstdint>

namespace Platform {

struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = DWORD;
using BYTE = std::uint8_t;

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t(0x80000000));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t(0x80000002));

constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// The opened key in result; ERROR_FILE_NOT_FOUND when it does not exist.
LSTATUS RegOpenKeyExW(HKEY key, const wchar_t* subKey, DWORD options, REGSAM access, HKEY* result);
// Opens the key, creating it and the keys on the way when missing.
LSTATUS RegCreateKeyExW(HKEY key, const wchar_t* subKey, DWORD reserved, wchar_t* keyClass, DWORD options,
                        REGSAM access, void* security, HKEY* result, DWORD* disposition);
LSTATUS RegCloseKey(HKEY key);

// REG_SZ data is wide characters with a terminating null; size is in bytes. With
// data null, size receives the size needed; a buffer too small gives ERROR_MORE_DATA.
LSTATUS RegQueryValueExW(HKEY key, const wchar_t* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LSTATUS RegSetValueExW(HKEY key, const wchar_t* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
// Removes the subkey and everything below it (the key's own contents when subKey
// is null or empty).
LSTATUS RegDeleteTreeW(HKEY key, const wchar_t* subKey);
// The name of the subkey at index in name (length in characters, without the null,
// on both sides); ERROR_NO_MORE_ITEMS past the last.
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, wchar_t* name, DWORD* length, DWORD* reserved, wchar_t* keyClass,
                      DWORD* classLength, void* lastWriteTime);

} // namespace Platform
