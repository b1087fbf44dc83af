// The module's registration entry points against a registry store of the test's
// own: the keys written per machine and per user, what unregistration takes away
// and leaves, and failures that leave the store as it was.

#include "Com/TemporaryRegistry.h"
#include "ModuleExports.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace Platform;

namespace {

const wchar_t* const kClassKey = L"CLSID\\{DF3775A4-90EF-4965-B751-D48698F3949F}";
const wchar_t* const kAppIdKey = L"AppID\\{257A45DC-F360-4450-A7E6-F469453AC639}";
const wchar_t* const kTypeLibKey = L"TypeLib\\{3EE6AAEE-77FC-4FFC-8AA0-E622B06FC687}";

std::wstring Text(const RegistryKey& classes, const std::wstring& path, const wchar_t* name = L"")
{
    const RegistryKey* key = classes.Find(path);
    const RegistryKey::Value* value = key ? key->GetValue(name) : nullptr;
    return value && std::holds_alternative<std::wstring>(*value) ? std::get<std::wstring>(*value) : L"<none>";
}

void ExpectRegistered(const RegistryKey& classes)
{
    const std::wstring clsid = L"{DF3775A4-90EF-4965-B751-D48698F3949F}";
    const std::wstring appId = L"{257A45DC-F360-4450-A7E6-F469453AC639}";
    const std::wstring classKey = kClassKey;
    EXPECT_EQ(Text(classes, kAppIdKey), L"Trellan64");
    EXPECT_EQ(Text(classes, L"AppID\\Trellan64.DLL", L"AppID"), appId);
    EXPECT_EQ(Text(classes, L"Zivoro.Trellan64.1"), L"Trellan Class");
    EXPECT_EQ(Text(classes, L"Zivoro.Trellan64.1\\CLSID"), clsid);
    EXPECT_EQ(Text(classes, L"Zivoro.Trellan64"), L"Trellan Class");
    EXPECT_EQ(Text(classes, L"Zivoro.Trellan64\\CLSID"), clsid);
    EXPECT_EQ(Text(classes, L"Zivoro.Trellan64\\CurVer"), L"Zivoro.Trellan64.1");
    EXPECT_EQ(Text(classes, classKey), L"Trellan Class");
    EXPECT_EQ(Text(classes, classKey, L"AppID"), appId);
    EXPECT_EQ(Text(classes, classKey + L"\\ProgID"), L"Zivoro.Trellan64.1");
    EXPECT_EQ(Text(classes, classKey + L"\\VersionIndependentProgID"), L"Zivoro.Trellan64");
    EXPECT_NE(classes.Find(classKey + L"\\Programmable"), nullptr);
    EXPECT_NE(classes.Find(classKey + L"\\Control"), nullptr);
    EXPECT_EQ(Text(classes, classKey + L"\\InprocServer32"), Utf8ToWide(TestPaths::ModulePath()));
    EXPECT_EQ(Text(classes, classKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Text(classes, classKey + L"\\ToolboxBitmap32"), Utf8ToWide(TestPaths::ModulePath()) + L", 102");
    EXPECT_EQ(Text(classes, classKey + L"\\MiscStatus"), L"0");
    EXPECT_EQ(Text(classes, classKey + L"\\MiscStatus\\1"), L"131473");
    EXPECT_EQ(Text(classes, classKey + L"\\TypeLib"), L"{3EE6AAEE-77FC-4FFC-8AA0-E622B06FC687}");
    EXPECT_EQ(Text(classes, classKey + L"\\Version"), L"1.0");
    EXPECT_EQ(Text(classes, std::wstring(kTypeLibKey) + L"\\1.0"), L"TrellanApp 1.0 类型库");
    EXPECT_EQ(Text(classes, std::wstring(kTypeLibKey) + L"\\1.0\\0\\linux64"), Utf8ToWide(TestPaths::ModulePath()));
    EXPECT_EQ(Text(classes, L"Interface\\{6C55F8EF-78B6-4260-B2FC-FE094890C1A3}"), L"ITrellan");
}

void ExpectUnregistered(const RegistryKey& classes)
{
    for (const wchar_t* gone :
         {L"Zivoro.Trellan64", L"Zivoro.Trellan64.1", kClassKey, kAppIdKey, L"AppID\\Trellan64.DLL", kTypeLibKey,
          L"Interface\\{6C55F8EF-78B6-4260-B2FC-FE094890C1A3}"})
        EXPECT_EQ(classes.Find(gone), nullptr) << WideToUtf8(gone);
    EXPECT_NE(classes.Find(L"AppID"), nullptr);
    EXPECT_NE(classes.Find(L"CLSID"), nullptr);
}

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class ModuleRegistration : public ::testing::Test {
protected:
    TemporaryRegistry registry;
    ModuleExports exports;
};

TEST_F(ModuleRegistration, RegisteringPerMachineWritesTheScriptsAndTheTypeLibraryAndUnregisteringTakesThemAway)
{
    ASSERT_EQ(exports.registerServer(), S_OK);
    ExpectRegistered(TemporaryRegistry::Classes(RegistryHive::Machine));
    EXPECT_TRUE(TemporaryRegistry::Hive(RegistryHive::User).Empty());
    // Registering again changes nothing.
    const std::string once = FileText(RegistryStore::HivePath(RegistryHive::Machine));
    ASSERT_EQ(exports.registerServer(), S_OK);
    EXPECT_EQ(FileText(RegistryStore::HivePath(RegistryHive::Machine)), once);

    // Keys of other classes and applications under the shared parents stay.
    ASSERT_EQ(RegistryStore::Update(RegistryHive::Machine,
                                    [](RegistryKey& root) {
                                        root.Create(
                                            L"Software\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}");
                                        return true;
                                    }),
              ERROR_SUCCESS);
    ASSERT_EQ(exports.unregisterServer(), S_OK);
    const RegistryKey classes = TemporaryRegistry::Classes(RegistryHive::Machine);
    ExpectUnregistered(classes);
    EXPECT_NE(classes.Find(L"CLSID\\{00000000-1111-2222-3333-444444444444}"), nullptr);
}

TEST_F(ModuleRegistration, DllInstallWithUserInAnyCaseRegistersInTheUsersClasses)
{
    for (const wchar_t* user : {L"user", L"USER", L"uSeR"}) {
        ASSERT_EQ(exports.install(1, user), S_OK);
        ExpectRegistered(TemporaryRegistry::Classes(RegistryHive::User));
        EXPECT_TRUE(TemporaryRegistry::Hive(RegistryHive::Machine).Empty());
        ASSERT_EQ(exports.install(0, user), S_OK);
        ExpectUnregistered(TemporaryRegistry::Classes(RegistryHive::User));
    }
    ASSERT_EQ(exports.install(1, L"users"), S_OK);
    ExpectRegistered(TemporaryRegistry::Classes(RegistryHive::Machine));
    ASSERT_EQ(exports.install(0, nullptr), S_OK);
    ExpectUnregistered(TemporaryRegistry::Classes(RegistryHive::Machine));
}

TEST_F(ModuleRegistration, ARegistrationThatCannotBeStoredFailsAndLeavesTheStoreAsItWas)
{
    ASSERT_EQ(exports.install(1, L"user"), S_OK);
    const std::filesystem::path hive = RegistryStore::HivePath(RegistryHive::User);
    const std::string before = FileText(hive);
    // The hive's lock cannot be taken: the lock file's place is held by a folder.
    const std::filesystem::path lock = hive.string() + ".lock";
    std::filesystem::remove(lock);
    std::filesystem::create_directory(lock);

    EXPECT_TRUE(FAILED(exports.install(1, L"user")));
    EXPECT_TRUE(FAILED(exports.install(0, L"user")));
    EXPECT_EQ(FileText(hive), before);
    ExpectRegistered(TemporaryRegistry::Classes(RegistryHive::User));

    // A machine store that cannot be made at all reports the failure too.
    std::ofstream(registry.Dir() / "machine") << "in the way";
    const HRESULT hr = exports.registerServer();
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(hr & 0xFFFF0000, 0x80070000);
}

// The module's dynamic symbol table as nm lists it, one symbol a line.
std::string DynamicSymbols(const std::string& options)
{
    const std::string command = "nm -D --defined-only " + options + " '" + TestPaths::ModulePath() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string symbols;
    char buffer[4096];
    while (std::size_t read = pipe ? std::fread(buffer, 1, sizeof buffer, pipe.get()) : 0)
        symbols.append(buffer, read);
    return symbols;
}

TEST(ModuleExportTable, TheFiveEntryPointsAreExportedUnmangled)
{
    const std::string symbols = DynamicSymbols("");
    for (const char* name :
         {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer", "DllInstall"})
        EXPECT_NE(symbols.find(std::string(" T ") + name + "\n"), std::string::npos) << name;
}

TEST(ModuleExportTable, TheRasterImageAndItsFileClassesAreExported)
{
    const std::string symbols = DynamicSymbols("--demangle");
    for (const char* name : {
             "RasterImage::RasterImage()",
             "RasterImage::RasterImage(RasterImage const&)",
             "RasterImage::~RasterImage()",
             "RasterImage::operator=(RasterImage const&)",
             "RasterImage::GetExifInfo(RasterFile&, RasterImage::ExifInfo&)",
             "RasterFile::~RasterFile()",
             "RasterFile::operator=(RasterFile const&)",
             "vtable for RasterFile",
             "RasterIOFile::RasterIOFile()",
             "RasterIOFile::~RasterIOFile()",
             "RasterIOFile::operator=(RasterIOFile&&)",
             "vtable for RasterIOFile",
             "RasterIOFile::Open(std::__cxx11::basic_string<wchar_t, std::char_traits<wchar_t>, "
             "std::allocator<wchar_t> > const&, char const*)",
             "RasterIOFile::Scanf(char const*, ...)",
             "RasterMemFile::RasterMemFile(void const*, unsigned long)",
             "RasterMemFile::operator=(RasterMemFile const&)",
             "vtable for RasterMemFile",
         })
        EXPECT_NE(symbols.find(std::string(name) + "\n"), std::string::npos) << name;
}

} // namespace
