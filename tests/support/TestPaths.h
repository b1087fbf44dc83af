#pragma once
// Where the tests find the checkout and the built programs. Kept out of the compile
// flags so that test sources build the same in every checkout and share the cache.

#include <string>

namespace TestPaths {

// The checkout's top folder.
const std::string& SourceDir();
// The folder holding the built programs (build/bin).
const std::string& BinDir();
// The build tree's top folder.
const std::string& BuildDir();
// The built module (build/lib/libTrellan64.so), which tests load as containers do.
const std::string& ModulePath();

} // namespace TestPaths
