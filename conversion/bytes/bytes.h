// The bytes layer's byte search and short copies, inline for the short texts of a line.

#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Byte search and copy for the short texts of a line, done inline: some C
// libraries search byte by byte and call out for every short copy.
namespace conversion {

// Counts the bytes behind a record's end that the line layer's PutRecord may
// overwrite, which the record writer keeps room for.
inline constexpr std::size_t kRecordOverrun = 15;

// Returns a mask of the bytes equal to c among the 16 at p: bit i for byte i.
inline unsigned Matches16(const char* p, char c) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
#else
  unsigned bits = 0;
  for (unsigned i = 0; i < 16; ++i) bits |= unsigned{p[i] == c} << i;
  return bits;
#endif
}

// Returns a mask with the high bit of each byte of bytes that equals c; bits
// above the first such byte may be set too.
template <typename Word>
Word BytesEqualTo(Word bytes, char c) {
  constexpr Word kOnes = ~Word{0} / 0xFF;  // 0x01 in every byte
  const Word x = bytes ^ (kOnes * static_cast<unsigned char>(c));
  return (x - kOnes) & ~x & (kOnes << 7);
}

// Returns the first c among the sizeof(Word) bytes at p, or nullptr.
template <typename Word>
const char* FindInWord(const char* p, char c) {
  Word bytes = 0;
  std::memcpy(&bytes, p, sizeof bytes);
  const Word hits = BytesEqualTo(bytes, c);
  return hits != 0 ? p + std::countr_zero(hits) / 8 : nullptr;
}

// Returns the first c in [begin, end), or end.
inline const char* FindByte(const char* begin, const char* end, char c) {
  const char* p = begin;
  if (end - p >= 16) {
    // Checks long texts a block of four compares at a time, one mask tested for all.
    for (; end - p > 64; p += 64) {
      if (Matches16(p, c) != 0 || Matches16(p + 16, c) != 0 || Matches16(p + 32, c) != 0 ||
          Matches16(p + 48, c) != 0) {
        break;
      }
    }
    for (; end - p > 16; p += 16) {
      if (const unsigned hits = Matches16(p, c); hits != 0) return p + std::countr_zero(hits);
    }
    // Reads the last 16 bytes, again from the start of the ones checked before.
    const auto checked = static_cast<unsigned>(16 - (end - p));
    const unsigned hits = Matches16(end - 16, c) >> checked;
    return hits != 0 ? p + std::countr_zero(hits) : end;
  }
  if constexpr (std::endian::native == std::endian::little) {
    // Reads two words, the second overlapping the first.
    if (end - p >= 8) {
      const char* hit = FindInWord<std::uint64_t>(p, c);
      if (hit == nullptr) hit = FindInWord<std::uint64_t>(end - 8, c);
      return hit != nullptr ? hit : end;
    }
    if (end - p >= 4) {
      const char* hit = FindInWord<std::uint32_t>(p, c);
      if (hit == nullptr) hit = FindInWord<std::uint32_t>(end - 4, c);
      return hit != nullptr ? hit : end;
    }
  }
  for (; p != end; ++p) {
    if (*p == c) return p;
  }
  return end;
}

// Copies n bytes from in to out, which do not overlap, and returns out + n.
// Sizes known only at run time become a few fixed-size moves.
inline char* CopyBytes(char* out, const char* in, std::size_t n) {
  if (n >= 16) {
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) std::memcpy(out + i, in + i, 64);
    for (; i + 16 <= n; i += 16) std::memcpy(out + i, in + i, 16);
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
