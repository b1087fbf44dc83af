#pragma once
// The module's exported entry points, bound by name from the built module file as a
// container binds them.

#include "TestPaths.h"

#include "Platform/Com/ClassFactory.h"
#include "Platform/Module/SharedLibrary.h"
#include "Platform/Text/TextConv.h"

#include <gtest/gtest.h>

struct ModuleExports {
    ModuleExports()
    {
        const std::string path = TestPaths::ModulePath();
        EXPECT_TRUE(module.Open(path.c_str())) << path;
        EXPECT_TRUE(module.Bind("DllGetClassObject", getClassObject));
        EXPECT_TRUE(module.Bind("DllCanUnloadNow", canUnloadNow));
        EXPECT_TRUE(module.Bind("DllRegisterServer", registerServer));
        EXPECT_TRUE(module.Bind("DllUnregisterServer", unregisterServer));
        EXPECT_TRUE(module.Bind("DllInstall", install));
    }

    Platform::SharedLibrary module;
    Platform::DllGetClassObjectFunction getClassObject = nullptr;
    Platform::DllCanUnloadNowFunction canUnloadNow = nullptr;
    Platform::DllRegisterServerFunction registerServer = nullptr;
    Platform::DllUnregisterServerFunction unregisterServer = nullptr;
    Platform::DllInstallFunction install = nullptr;
};
