#pragma once

#include <string>
#include <string_view>

// Windows-1251 only at the file boundary: all 256 bytes round-trip; a
// character with no Windows-1251 byte (or broken UTF-8) becomes '?'.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view cp1251);
// Cp1251ToUtf8 of the bytes each XOR-ed with the key, in one pass without a copy.
std::string Cp1251ToUtf8(std::string_view masked, unsigned char xorKey);
// The same decoding with every byte outside plain ASCII words looked up in a
// table: what processors without SSSE3 get. Cp1251ToUtf8 equals it; kept
// callable so tests and the bench compare the two.
std::string TableCp1251ToUtf8(std::string_view masked, unsigned char xorKey);
