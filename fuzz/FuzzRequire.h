// The fuzz targets' check: a broken rule is a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

// Say which rule broke, then stop like any other crash so libFuzzer keeps the input.
#define require(condition)                                                                         \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "broken: %s\n", #condition);                                      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
