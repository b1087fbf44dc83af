#pragma once
// The registry store: two hives kept as files, one per machine
// (/etc/trellan/registry) and one per user ($XDG_DATA_HOME/trellan/registry, or
// ~/.local/share/trellan/registry). TRELLAN_REGISTRY_DIR, when set, holds both
// instead, as machine/registry and user/registry, for tests and demos.
//
// A hive is read whole and written whole: a change is made under an exclusive lock
// on the hive's lock file, on the hive read afresh, and stored by writing a new file
// and renaming it over the old one. Two writers never lose each other's keys, and a
// reader sees the hive before or after a change, never in between.

#include "Platform/Com/RegistryKey.h"

#include <filesystem>
#include <functional>
#include <string>

namespace Platform {

using LSTATUS = std::int32_t;

constexpr LSTATUS ERROR_SUCCESS = 0;
constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
constexpr LSTATUS ERROR_WRITE_FAULT = 29;
constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
constexpr LSTATUS ERROR_MORE_DATA = 234;
constexpr LSTATUS ERROR_NO_MORE_ITEMS = 259;
constexpr LSTATUS ERROR_BADDB = 1009;
constexpr LSTATUS ERROR_CANCELLED = 1223;

constexpr HRESULT HRESULT_FROM_WIN32(LSTATUS error)
{
    return error <= 0 ? error : MakeHresult((static_cast<std::uint32_t>(error) & 0xFFFFu) | 0x80070000u);
}

enum class RegistryHive { Machine, User };

class RegistryStore {
public:
    // The subkey of each hive that holds its classes.
    static constexpr const wchar_t* ClassesPath = L"Software\\Classes";

    static std::filesystem::path HivePath(RegistryHive hive);

    // Reads the hive into root (empty when it has no file yet). ERROR_BADDB for a
    // file that is not a hive, ERROR_ACCESS_DENIED for one that cannot be read.
    static LSTATUS Read(RegistryHive hive, RegistryKey& root);

    // Applies change to the hive and stores the result when change returns true;
    // ERROR_CANCELLED when it returns false. On any failure the hive's file is as it
    // was. A damaged hive is never overwritten.
    static LSTATUS Update(RegistryHive hive, const std::function<bool(RegistryKey& root)>& change);

    // The classes view: the user's classes laid over the machine's.
    static LSTATUS ReadClasses(RegistryKey& classes);
};

} // namespace Platform
