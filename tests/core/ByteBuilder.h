#pragma once

// Builds expected file bytes by hand, field by field, so tests compare the
// writer with the record layout rather than with itself.
#include <cstdint>
#include <cstring>
#include <string>

struct ByteBuilder {
    std::string bytes;

    ByteBuilder &byte(uint8_t v)
    {
        bytes += static_cast<char>(v);
        return *this;
    }
    ByteBuilder &int32(int32_t v)
    {
        const auto u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            byte(static_cast<uint8_t>(u >> (8 * i)));
        return *this;
    }
    ByteBuilder &float64(double v)
    {
        uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            byte(static_cast<uint8_t>(u >> (8 * i)));
        return *this;
    }
    // Raw single-byte text, scrambled with 0x6E.
    ByteBuilder &scrambled(const std::string &cp1251)
    {
        for (unsigned char c : cp1251)
            byte(static_cast<uint8_t>(c ^ 0x6E));
        return *this;
    }
    ByteBuilder &shortText(const std::string &cp1251)
    {
        byte(static_cast<uint8_t>(cp1251.size()));
        return scrambled(cp1251);
    }
    ByteBuilder &longText(const std::string &cp1251)
    {
        int32(static_cast<int32_t>(cp1251.size()));
        return scrambled(cp1251);
    }
};
