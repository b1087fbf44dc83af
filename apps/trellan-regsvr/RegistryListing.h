#pragma once
// The registry store's classes view as text: every key's path on a line, then its
// values indented below it ("@" for the default value).

#include "Platform/Com/RegistryKey.h"

#include <ostream>

void PrintRegistryKeys(std::ostream& out, const Platform::RegistryKey& classes);
