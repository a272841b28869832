#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A broken invariant is a crash, so that libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                              \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

// The libFuzzer entry point, handing the input bytes on as text to the body that
// follows: FUZZ_TARGET(input) { ... }
#define FUZZ_TARGET(input)                                                                                             \
    static void fuzzOne(const std::string& input);                                                                     \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                                            \
    {                                                                                                                  \
        fuzzOne(std::string(reinterpret_cast<const char*>(data), size));                                               \
        return 0;                                                                                                      \
    }                                                                                                                  \
    static void fuzzOne(const std::string& input)
