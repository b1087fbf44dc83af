#pragma once
// The module as a component server: its lock count (live objects, held factories
// and LockServer calls), its path, and its registration in the registry store.

#include "Platform/Com/RegistryStore.h"

#include <string>

class TrellanModule {
public:
    static void Lock();
    static void Unlock();
    static long LockCount();

    // The module file's absolute path.
    static std::wstring Path();

    // Runs the module and class scripts and registers the type library, in the
    // machine's classes or the user's; all of it is stored or none.
    static Platform::HRESULT Register(Platform::RegistryHive hive);
    // Removes what Register wrote, leaving shared parent keys in place.
    static Platform::HRESULT Unregister(Platform::RegistryHive hive);
};
