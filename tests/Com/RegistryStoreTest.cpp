// The registry store: hives as files, the classes view, the registry functions and
// changes that are stored whole or not at all.

#include "Platform/Com/Registry.h"
#include "TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

using namespace Platform;

namespace {

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

LSTATUS SetString(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text)
{
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status;
}

std::wstring GetString(HKEY root, const wchar_t* path, const wchar_t* name = nullptr)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"<no key>";
    DWORD type = 0, size = 0;
    std::wstring text;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        text.resize(size / sizeof(wchar_t));
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size);
        text.resize(text.size() - 1);
    } else {
        text = L"<no value>";
    }
    RegCloseKey(key);
    return text;
}

TEST(RegistryStore, KeysAndValuesSurviveTheFileWithTheirNamesAndTextsExact)
{
    TemporaryRegistry registry;
    const std::wstring awkward = L"C:\\路径 with 'quotes' and \"double\"\n%MODULE%";
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Zivoro.Test", nullptr, awkward), ERROR_SUCCESS);
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Zivoro.Test\\Sub", L"Name", L"值"), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\classes\\zivoro.test", 0, KEY_WRITE, &key), ERROR_SUCCESS);
    const DWORD number = 131473;
    ASSERT_EQ(RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number),
              ERROR_SUCCESS);
    RegCloseKey(key);

    EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, L"software\\CLASSES\\ZIVORO.TEST"), awkward);
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, L"Zivoro.Test\\sub", L"name"), L"值");
    const RegistryKey classes = TemporaryRegistry::Classes(RegistryHive::Machine);
    ASSERT_NE(classes.Find(L"Zivoro.Test"), nullptr);
    EXPECT_EQ(*classes.Find(L"Zivoro.Test")->GetValue(L"count"), RegistryKey::Value(DWORD(131473)));
    // The names keep the case they were created with.
    EXPECT_EQ(classes.subkeys().begin()->first, L"Zivoro.Test");
    EXPECT_TRUE(TemporaryRegistry::Hive(RegistryHive::User).Empty());
}

TEST(RegistryStore, QueriesReportSizesAndRefuseSmallBuffersAndMissingEntries)
{
    TemporaryRegistry registry;
    ASSERT_EQ(SetString(HKEY_CURRENT_USER, L"A\\B", nullptr, L"four"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(HKEY_CURRENT_USER, L"A\\C", nullptr, L""), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"A\\B", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD size = 0, type = REG_NONE;
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 5 * sizeof(wchar_t));
    wchar_t small[2];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5 * sizeof(wchar_t));
    EXPECT_EQ(RegQueryValueExW(key, L"Other", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"A\\Nowhere", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    for (const wchar_t* bad : {L"A\\\\B", L"A\\", L"\\A", L"A\tB"})
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, bad, 0, KEY_READ, &missing), ERROR_INVALID_PARAMETER) << bad;

    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"A", 0, KEY_READ, &key), ERROR_SUCCESS);
    std::vector<std::wstring> names;
    wchar_t name[8];
    for (DWORD index = 0;; ++index) {
        DWORD length = 8;
        const LSTATUS status = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) {
            EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
            break;
        }
        names.emplace_back(name, length);
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"B", L"C"}));
    RegCloseKey(key);
}

TEST(RegistryStore, TheClassesViewLaysTheUsersClassesOverTheMachines)
{
    TemporaryRegistry registry;
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Shared", nullptr, L"machine"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Shared", L"Only", L"machine only"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, L"Software\\Classes\\MachineKey", nullptr, L"m"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(HKEY_CURRENT_USER, L"Software\\Classes\\Shared", nullptr, L"user"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(HKEY_CURRENT_USER, L"Software\\Classes\\UserKey", nullptr, L"u"), ERROR_SUCCESS);

    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, L"Shared"), L"user");
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, L"Shared", L"Only"), L"machine only");
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, L"MachineKey"), L"m");
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, L"UserKey"), L"u");

    // A class key is written where it is: the user's key, else the machine's.
    ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, L"UserKey", L"Added", L"1"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, L"NewKey", nullptr, L"2"), ERROR_SUCCESS);
    EXPECT_NE(TemporaryRegistry::Classes(RegistryHive::User).Find(L"UserKey")->GetValue(L"Added"), nullptr);
    EXPECT_NE(TemporaryRegistry::Classes(RegistryHive::Machine).Find(L"NewKey"), nullptr);

    ASSERT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, L"UserKey"), ERROR_SUCCESS);
    EXPECT_EQ(GetString(HKEY_CLASSES_ROOT, L"UserKey"), L"<no key>");
    EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, L"UserKey"), ERROR_FILE_NOT_FOUND);
}

TEST(RegistryStore, HivesLiveInTheMachineAndUserFoldersUnlessTheTestFolderReplacesBoth)
{
    unsetenv("TRELLAN_REGISTRY_DIR");
    const std::string savedData = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
    const std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(RegistryStore::HivePath(RegistryHive::Machine), "/etc/trellan/registry");
    EXPECT_EQ(RegistryStore::HivePath(RegistryHive::User), "/data/home/trellan/registry");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(RegistryStore::HivePath(RegistryHive::User), "/home/someone/.local/share/trellan/registry");
    setenv("TRELLAN_REGISTRY_DIR", "/tmp/reg", 1);
    EXPECT_EQ(RegistryStore::HivePath(RegistryHive::Machine), "/tmp/reg/machine/registry");
    EXPECT_EQ(RegistryStore::HivePath(RegistryHive::User), "/tmp/reg/user/registry");
    unsetenv("TRELLAN_REGISTRY_DIR");
    setenv("HOME", savedHome.c_str(), 1);
    if (!savedData.empty())
        setenv("XDG_DATA_HOME", savedData.c_str(), 1);
}

TEST(RegistryStore, AChangeThatFailsOrIsRefusedLeavesTheHiveAsItWas)
{
    TemporaryRegistry registry;
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, L"Kept", nullptr, L"before"), ERROR_SUCCESS);
    const std::filesystem::path hive = RegistryStore::HivePath(RegistryHive::Machine);
    const std::string before = FileText(hive);

    EXPECT_EQ(RegistryStore::Update(RegistryHive::Machine,
                                    [](RegistryKey& root) {
                                        root.Create(L"Half\\Written");
                                        root.DeleteTree(L"Kept");
                                        return false;
                                    }),
              ERROR_CANCELLED);
    EXPECT_EQ(FileText(hive), before);

    // A damaged hive is reported and never overwritten.
    std::ofstream(hive, std::ios::trunc) << "{ not a hive";
    RegistryKey root;
    EXPECT_EQ(RegistryStore::Read(RegistryHive::Machine, root), ERROR_BADDB);
    EXPECT_EQ(SetString(HKEY_LOCAL_MACHINE, L"Kept", nullptr, L"after"), ERROR_BADDB);
    EXPECT_EQ(FileText(hive), "{ not a hive");
    std::ofstream(hive, std::ios::trunc) << "{\"format\":\"trellan-registry\",\"version\":1,\"root\":{\"keys\":"
                                            "{\"A\":{},\"a\":{}}}}";
    EXPECT_EQ(RegistryStore::Read(RegistryHive::Machine, root), ERROR_BADDB);
}

TEST(RegistryStore, AStoreThatCannotBeWrittenSaysSoAndKeepsNothing)
{
    TemporaryRegistry registry;
    // The user's folder is taken by a file, so the hive cannot be made there.
    std::ofstream(registry.Dir() / "user") << "in the way";
    EXPECT_NE(SetString(HKEY_CURRENT_USER, L"Lost", nullptr, L"x"), ERROR_SUCCESS);
    // The machine's hive is a folder, so the new file cannot replace it.
    std::filesystem::create_directories(RegistryStore::HivePath(RegistryHive::Machine));
    EXPECT_NE(SetString(HKEY_LOCAL_MACHINE, L"Lost", nullptr, L"x"), ERROR_SUCCESS);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(registry.Dir()))
        EXPECT_EQ(entry.path().string().find(".new."), std::string::npos) << entry.path();
}

TEST(RegistryStore, ConcurrentChangesAreAllKept)
{
    TemporaryRegistry registry;
    constexpr int kWriters = 4;
    constexpr int kKeysEach = 20;
    std::vector<std::thread> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.emplace_back([writer] {
            for (int i = 0; i < kKeysEach; ++i)
                RegistryStore::Update(RegistryHive::Machine, [&](RegistryKey& root) {
                    return root.Create(L"W" + std::to_wstring(writer) + L"\\K" + std::to_wstring(i)) != nullptr;
                });
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    const RegistryKey root = TemporaryRegistry::Hive(RegistryHive::Machine);
    for (int writer = 0; writer < kWriters; ++writer) {
        const RegistryKey* keys = root.Find(L"W" + std::to_wstring(writer));
        ASSERT_NE(keys, nullptr);
        EXPECT_EQ(keys->subkeys().size(), std::size_t(kKeysEach));
    }
}

} // namespace
