#include "core/vectorstate.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

#include <immintrin.h>

namespace vectorstate {
namespace {

// Compiled for AVX alone (the rest of the program is not), called only where it is available.
__attribute__((target("avx"))) void zeroUpper() noexcept {
    _mm256_zeroupper();
}

// Whether the processor has AVX and the system saves the YMM registers: libgcc checks both.
bool avxUsable() noexcept {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

} // namespace

void clearUpper() noexcept {
    static const bool avx = avxUsable();
    if (avx)
        zeroUpper();
}

} // namespace vectorstate

#else

namespace vectorstate {

void clearUpper() noexcept {}

} // namespace vectorstate

#endif
