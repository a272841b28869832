#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef ZN_FUZZ_TARGET
#ifdef QT_CORE_LIB
#include <QtGlobal>
#endif

// The readers report every refused body on stdout (and the centre through Qt):
// millions of lines slow a run down and bury libFuzzer's own report. Only the
// fuzzing binaries are silenced; the product and the corpus replay keep them.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!std::freopen("/dev/null", "w", stdout))
        std::fclose(stdout);
#ifdef QT_CORE_LIB
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
#endif
    return 0;
}
#endif

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
