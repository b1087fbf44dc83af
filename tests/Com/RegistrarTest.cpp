// The registrar: scripts applied to a classes key and taken away again, with the
// replacements stored exactly as given.

#include "Platform/Com/Registrar.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

const wchar_t* const kScript = LR"(
HKCR
{
    NoRemove Shared
    {
        ForceRemove 'Whole Key' = s 'replaced whole'
        {
            Inner = d '0x20191'
        }
        Plain = s '%MODULE%'
        {
            val Path = s '%MODULE%, 102'
            val Percent = s '100%%'
            Child
        }
    }
}
)";

std::wstring Text(const RegistryKey& root, const wchar_t* path, const wchar_t* name = L"")
{
    const RegistryKey* key = root.Find(path);
    const RegistryKey::Value* value = key ? key->GetValue(name) : nullptr;
    return value && std::holds_alternative<std::wstring>(*value) ? std::get<std::wstring>(*value) : L"<none>";
}

Registrar WithModule(const std::wstring& module)
{
    Registrar registrar;
    registrar.AddReplacement(L"MODULE", module);
    return registrar;
}

TEST(Registrar, ReplacementsAreStoredExactlyWhateverTheyHold)
{
    for (const std::wstring module : {L"/opt/trellan/libTrellan64.so", L"/home/o'neil/it''s here/lib.so",
                                      L"/照片/上传 控件/lib.so", L"/a'}\n{ NoRemove x = s 'y'/%APPID%.so"}) {
        RegistryKey classes;
        ASSERT_EQ(WithModule(module).Register(kScript, classes), S_OK);
        EXPECT_EQ(Text(classes, L"Shared\\Plain"), module);
        EXPECT_EQ(Text(classes, L"Shared\\Plain", L"Path"), module + L", 102");
        EXPECT_EQ(Text(classes, L"Shared\\Plain", L"Percent"), L"100%");
        // Nothing of the value was read as script: the key holds what the script says.
        EXPECT_EQ(classes.Find(L"Shared\\Plain")->subkeys().size(), 1u);
        EXPECT_EQ(classes.Find(L"Shared")->subkeys().size(), 2u);
    }
}

TEST(Registrar, ForceRemoveReplacesAndRemovesWholeWhileNoRemoveKeysStay)
{
    RegistryKey classes;
    classes.Create(L"Shared\\Whole Key\\Stale");
    classes.Create(L"Shared\\Foreign")->SetValue(L"", std::wstring(L"someone else's"));
    classes.Create(L"Shared\\Plain")->SetValue(L"Theirs", std::wstring(L"kept"));
    const Registrar registrar = WithModule(L"/m.so");
    ASSERT_EQ(registrar.Register(kScript, classes), S_OK);
    EXPECT_EQ(classes.Find(L"Shared\\Whole Key\\Stale"), nullptr);
    EXPECT_EQ(*classes.Find(L"Shared\\Whole Key\\Inner")->GetValue(L""), RegistryKey::Value(DWORD(0x20191)));
    EXPECT_NE(classes.Find(L"Shared\\Plain\\Child"), nullptr);

    ASSERT_EQ(registrar.Unregister(kScript, classes), S_OK);
    EXPECT_EQ(classes.Find(L"Shared\\Whole Key"), nullptr);
    // A plain key loses what the script gave it and stays for what others put there.
    ASSERT_NE(classes.Find(L"Shared\\Plain"), nullptr);
    EXPECT_EQ(classes.Find(L"Shared\\Plain")->values().size(), 1u);
    EXPECT_EQ(Text(classes, L"Shared\\Plain", L"Theirs"), L"kept");
    EXPECT_EQ(classes.Find(L"Shared\\Plain\\Child"), nullptr);
    EXPECT_EQ(Text(classes, L"Shared\\Foreign"), L"someone else's");

    classes.Find(L"Shared\\Plain")->DeleteValue(L"Theirs");
    ASSERT_EQ(registrar.Register(kScript, classes), S_OK);
    ASSERT_EQ(registrar.Unregister(kScript, classes), S_OK);
    EXPECT_EQ(classes.Find(L"Shared\\Plain"), nullptr);
    EXPECT_NE(classes.Find(L"Shared"), nullptr);
}

TEST(Registrar, ScriptsThatCannotBeReadChangeNothing)
{
    const Registrar registrar = WithModule(L"/m.so");
    for (const wchar_t* script :
         {L"HKCR { Key = s 'unclosed }", L"HKCR { Key { }", L"HKLM { Key }", L"HKCR { val Name = s 'x' }",
          L"HKCR { Key = q 'x' }", L"HKCR { Key = d '12x' }", L"HKCR { Key = d '4294967296' }",
          L"HKCR { Key = s '%UNKNOWN%' }", L"HKCR { Key = s '100%' }", L"HKCR { 'a\\b' }", L"HKCR { Good } }"}) {
        RegistryKey classes;
        classes.Create(L"Before");
        EXPECT_EQ(registrar.Register(script, classes), DISP_E_EXCEPTION) << script;
        EXPECT_EQ(registrar.Unregister(script, classes), DISP_E_EXCEPTION) << script;
        EXPECT_EQ(classes.subkeys().size(), 1u) << script;
    }
    std::wstring deep = L"HKCR {";
    for (int i = 0; i < 100; ++i)
        deep += L" K {";
    deep += std::wstring(101, L'}');
    RegistryKey classes;
    EXPECT_EQ(registrar.Register(deep, classes), DISP_E_EXCEPTION);
    EXPECT_TRUE(classes.Empty());
}

} // namespace
