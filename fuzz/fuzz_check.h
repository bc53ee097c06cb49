#pragma once

#include <cstdio>
#include <cstdlib>

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

}  // namespace fuzz
