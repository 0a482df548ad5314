#pragma once
// A failed check in a fuzz target: says what differed and aborts, so that
// libFuzzer keeps the input as a crash.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                                                    \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s (%s)\n", __FILE__, __LINE__, #condition, what);              \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
