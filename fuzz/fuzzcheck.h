#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant is a finding: name it and abort, so that libFuzzer keeps
// the input that broke it.
#define FUZZ_CHECK(condition)                                                                              \
    ((condition) ? void() : (std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition), std::abort()))
