#pragma once
// A check of a fuzz target: a failed one aborts, and the fuzzer keeps the input.

#include <cstdlib>

inline void require(bool condition) {
    if (!condition)
        std::abort();
}
