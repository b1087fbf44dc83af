#pragma once
// Digests of encoded pictures for generated file names, in lowercase hexadecimal.

#include <cstddef>
#include <cstdint>
#include <string>

// The standard reflected CRC-32, its four bytes written least significant first.
std::string Crc32Hex(const std::uint8_t* bytes, std::size_t length);
std::string Md5Hex(const std::uint8_t* bytes, std::size_t length);
// A new random version 4 UUID in its 36-character form (8-4-4-4-12, lowercase).
std::string NewUuidText();
