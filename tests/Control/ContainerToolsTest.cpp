// The registration tool and the headless container as a person runs them: the
// module registered into a store, listed, found by its ProgID, and removed again.

#include "Com/TemporaryRegistry.h"
#include "TestPaths.h"
#include "Platform/Text/TextConv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
    int status = -1;
    std::string output;
};

// Runs a command line through the shell with standard error joined to the output.
Result RunCommand(const std::string& command)
{
    Result result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    while (std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe))
        result.output.append(buffer, read);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

const std::string kBin = TestPaths::BinDir();
const std::string kScript = "printf '%s\\n' '{\"post\": {\"name\": \"init\", \"config\": {\"a\": 1}}}' "
                            "'{\"wait\": \"load_complete\", \"timeout_ms\": 5000}' | ";

class ContainerTools : public ::testing::Test {
protected:
    TemporaryRegistry registry;
    const std::string module = TestPaths::ModulePath();
    const std::string regsvr = kBin + "/trellan-regsvr";
    const std::string run = kBin + "/trellan-run";
};

TEST_F(ContainerTools, TheControlIsCreatedByItsProgIdOnlyWhileItsModuleIsRegistered)
{
    Result unregistered = RunCommand(kScript + run + " -");
    EXPECT_EQ(unregistered.status, 1);
    EXPECT_NE(unregistered.output.find("Zivoro.Trellan64 is not registered"), std::string::npos) << unregistered.output;

    Result registered = RunCommand(regsvr + " '" + module + "'");
    EXPECT_EQ(registered.status, 0);
    EXPECT_EQ(registered.output, "DllRegisterServer in " + module + " succeeded.\n");
    Result listed = RunCommand(regsvr + " --list");
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.output.find("Zivoro.Trellan64\\CLSID\n    @ = \"{DF3775A4-90EF-4965-B751-D48698F3949F}\"\n"),
              std::string::npos)
        << listed.output;

    Result ran = RunCommand(kScript + run + " -");
    EXPECT_EQ(ran.status, 0) << ran.output;
    EXPECT_NE(ran.output.find("\"name\":\"load_complete\""), std::string::npos) << ran.output;

    Result removed = RunCommand(regsvr + " -u '" + module + "'");
    EXPECT_EQ(removed.status, 0);
    EXPECT_EQ(removed.output, "DllUnregisterServer in " + module + " succeeded.\n");
    EXPECT_EQ(RunCommand(regsvr + " --list").output.find("Zivoro.Trellan64"), std::string::npos);

    // A module given by path needs no registration.
    Result direct = RunCommand(kScript + run + " --module '" + module + "' -");
    EXPECT_EQ(direct.status, 0) << direct.output;
    EXPECT_NE(direct.output.find("\"name\":\"load_complete\""), std::string::npos) << direct.output;
}

TEST_F(ContainerTools, DllInstallRegistersForTheUserAndFailuresAreReportedWithTheirCode)
{
    EXPECT_EQ(RunCommand(regsvr + " -i:user '" + module + "'").output, "DllInstall in " + module + " succeeded.\n");
    EXPECT_NE(TemporaryRegistry::Classes(Platform::RegistryHive::User).Find(L"Zivoro.Trellan64"), nullptr);
    EXPECT_TRUE(TemporaryRegistry::Hive(Platform::RegistryHive::Machine).Empty());

    std::ofstream(registry.Dir() / "machine") << "in the way";
    Result failed = RunCommand(regsvr + " '" + module + "'");
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.output.find("DllRegisterServer in " + module + " failed: 0x8007"), std::string::npos)
        << failed.output;

    Result missing = RunCommand(regsvr + " /nonexistent/libNothing.so");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("cannot load /nonexistent/libNothing.so"), std::string::npos);
    Result noEntry = RunCommand(regsvr + " libc.so.6");
    EXPECT_EQ(noEntry.status, 1);
    Result usage = RunCommand(regsvr + " -x '" + module + "'");
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.output.find("usage: trellan-regsvr"), std::string::npos);
    EXPECT_EQ(RunCommand(regsvr).status, 2);
    EXPECT_EQ(RunCommand(regsvr + " --list '" + module + "'").status, 2);
}

} // namespace
