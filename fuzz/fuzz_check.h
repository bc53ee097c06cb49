#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// What every fuzz target checks beyond "no crash": a broken property aborts,
// so libFuzzer keeps the input and the corpus replay fails.
namespace fuzz {

inline void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz property broken: %s\n", property);
        std::abort();
    }
}

// Strict UTF-8: no overlong forms, surrogates or code points above U+10FFFF.
inline bool IsUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char32_t smallest = 0;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            smallest = 0x10000;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            smallest = 0x800;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            smallest = 0x80;
        } else if (lead >= 0x80) {
            return false;
        }
        if (text.size() - i < length)
            return false;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

}  // namespace fuzz
