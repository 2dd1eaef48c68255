#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Byte search and copy for the short texts of a line, done inline: some C
// libraries search byte by byte and call out for every short copy.
namespace conversion {

// Returns the first c in [begin, end), or end.
inline const char* FindByte(const char* begin, const char* end, char c) {
  const char* p = begin;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(c);
  for (; end - p >= 16; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted));
    if (hits != 0) return p + __builtin_ctz(static_cast<unsigned>(hits));
  }
#endif
  for (; p != end; ++p) {
    if (*p == c) return p;
  }
  return end;
}

// Copies n bytes from in to out, which do not overlap, and returns out + n.
// Sizes known only at run time become a few fixed-size moves.
inline char* CopyBytes(char* out, const char* in, std::size_t n) {
  if (n >= 16) {
    for (std::size_t i = 0; i + 16 <= n; i += 16) std::memcpy(out + i, in + i, 16);
    std::memcpy(out + n - 16, in + n - 16, 16);  // the tail, overlapping what came before
  } else if (n >= 8) {
    std::memcpy(out, in, 8);
    std::memcpy(out + n - 8, in + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(out, in, 4);
    std::memcpy(out + n - 4, in + n - 4, 4);
  } else {
    for (std::size_t i = 0; i < n; ++i) out[i] = in[i];
  }
  return out + n;
}

}  // namespace conversion
