#pragma once
// Points the registry store at a fresh folder for one test and removes it after.

#include "Platform/Com/RegistryStore.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

class TemporaryRegistry {
public:
    TemporaryRegistry()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trellan-registry-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        setenv("TRELLAN_REGISTRY_DIR", dir.c_str(), 1);
    }
    TemporaryRegistry(const TemporaryRegistry&) = delete;
    TemporaryRegistry& operator=(const TemporaryRegistry&) = delete;
    ~TemporaryRegistry()
    {
        unsetenv("TRELLAN_REGISTRY_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    const std::filesystem::path& Dir() const { return dir; }

    static Platform::RegistryKey Hive(Platform::RegistryHive hive)
    {
        Platform::RegistryKey root;
        Platform::RegistryStore::Read(hive, root);
        return root;
    }

    static Platform::RegistryKey Classes(Platform::RegistryHive hive)
    {
        const Platform::RegistryKey root = Hive(hive);
        const Platform::RegistryKey* classes = root.Find(Platform::RegistryStore::ClassesPath);
        return classes ? *classes : Platform::RegistryKey();
    }

private:
    std::filesystem::path dir;
};
