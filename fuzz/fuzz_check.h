#pragma once
// What a fuzz target asserts: a broken promise aborts, so that libFuzzer
// reports it and keeps the input that broke it.

#include <cstdlib>

inline void check(bool ok)
{
    if (!ok)
        std::abort();
}
