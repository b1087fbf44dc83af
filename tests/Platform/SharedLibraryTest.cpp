#include "Platform/Module/SharedLibrary.h"

#include <gtest/gtest.h>

#include <cstddef>

using Platform::SharedLibrary;

TEST(SharedLibraryTest, BindsExportsOfALoadedLibraryAndRefusesMissingOnes)
{
    SharedLibrary library;
    ASSERT_TRUE(library.Open("libc.so.6"));
    std::size_t (*length)(const char*) = nullptr;
    ASSERT_TRUE(library.Bind("strlen", length));
    EXPECT_EQ(length("seven!!"), 7u);

    int (*missing)() = nullptr;
    EXPECT_FALSE(library.Bind("no_such_function_in_libc", missing));
    EXPECT_EQ(missing, nullptr);
}

TEST(SharedLibraryTest, ALibraryThatCannotBeLoadedBindsNothing)
{
    SharedLibrary library;
    EXPECT_FALSE(library.Open("libtrellan-no-such-library.so.9"));
    std::size_t (*length)(const char*) = [](const char*) -> std::size_t { return 1; };
    EXPECT_FALSE(library.Bind("strlen", length));
    EXPECT_EQ(length, nullptr);
}
