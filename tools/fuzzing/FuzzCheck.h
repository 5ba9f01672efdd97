#pragma once
// Property checks inside fuzz harnesses. A broken property is a finding like
// a crash: print what broke and abort, so libFuzzer keeps the input and the
// replay test fails on it.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                          \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "fuzz property broken at %s:%d: %s\n", __FILE__, __LINE__, \
                         what);                                                              \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)
