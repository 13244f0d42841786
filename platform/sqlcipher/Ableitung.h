#pragma once
// The key derivation (PBKDF2 in OpenSSL's SSE code, 64,000 rounds) runs at half its speed when
// code before it used the upper halves of the AVX registers without clearing them: on x86 every
// SSE instruction then carries the dirty upper state along. Widget code of the same process
// leaves it so, and each open of a keyed file paid about 28 ms for it. Cleared right before a
// derivation; nothing happens on processors without AVX.

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace xov::sqlcipher {

#if defined(__x86_64__)
[[gnu::target("avx"), gnu::noinline]] inline void obereRegisterhaelftenLeeren() { _mm256_zeroupper(); }
inline void vorSchluesselableitung() {
    if (__builtin_cpu_supports("avx")) obereRegisterhaelftenLeeren();
}
#else
inline void vorSchluesselableitung() {}
#endif

}  // namespace xov::sqlcipher
