#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The structural bytes of a text, marked once in bit masks of 64-byte words so
// that line ends and field bounds are found by popping bits, not by searching.
namespace conversion {

inline constexpr std::size_t kWord = 64;

// Holds the marks of one 64-byte word: bit i for byte i.
struct WordMarks {
  std::uint64_t commas = 0;
  std::uint64_t blanksAndQuotes = 0;  // bytes that make a field start or end need a closer look
  std::uint64_t lineEnds = 0;         // CR and LF
  std::uint64_t bars = 0;
};

// Returns a word with its n lowest bits set, n up to 64.
inline std::uint64_t LowBits(std::size_t n) {
  return n >= kWord ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
}

// Marks the structural bytes among the 64 at p.
inline WordMarks Mark64(const char* p) {
  WordMarks marks;
#if defined(__SSE2__)
  const __m128i comma = _mm_set1_epi8(',');
  const __m128i two = _mm_set1_epi8(2);
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i carriage = _mm_set1_epi8('\r');
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i bar = _mm_set1_epi8('|');
  __m128i bars = _mm_setzero_si128();
  // Stores the 16 bits of each compare where they belong in the word: the
  // machine is little-endian wherever SSE2 is.
  const auto put = [](std::uint64_t& mask, int k, __m128i matches) {
    const auto bits = static_cast<std::uint16_t>(_mm_movemask_epi8(matches));
    std::memcpy(reinterpret_cast<char*>(&mask) + 2 * k, &bits, sizeof bits);
  };
  for (int k = 0; k < 4; ++k) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    put(marks.commas, k, _mm_cmpeq_epi8(bytes, comma));
    // Matches blanks and quotes at once: they differ in bit 1 alone.
    put(marks.blanksAndQuotes, k, _mm_cmpeq_epi8(_mm_or_si128(bytes, two), quote));
    put(marks.lineEnds, k,
        _mm_or_si128(_mm_cmpeq_epi8(bytes, carriage), _mm_cmpeq_epi8(bytes, lineFeed)));
    bars = _mm_or_si128(bars, _mm_cmpeq_epi8(bytes, bar));
  }
  // Bars are rare: their exact places are found only in a word that holds one.
  if (_mm_movemask_epi8(bars) != 0) [[unlikely]] {
    for (unsigned i = 0; i < kWord; ++i) marks.bars |= std::uint64_t{p[i] == '|'} << i;
  }
#else
  for (unsigned i = 0; i < kWord; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (p[i] == ',') marks.commas |= bit;
    if (p[i] == ' ' || p[i] == '"') marks.blanksAndQuotes |= bit;
    if (p[i] == '\r' || p[i] == '\n') marks.lineEnds |= bit;
    if (p[i] == '|') marks.bars |= bit;
  }
#endif
  return marks;
}

// Marks the words of data that hold [from, to), reading whole words: data has
// room to a multiple of 64 bytes past to. Bits from to on are cleared. Uses
// AVX2 where the processor has it.
void MarkWords(const char* data, std::size_t from, std::size_t to, WordMarks* marks);

// Views a text and the marks of its words: marks[w] for data[64 w, 64 w + 64).
struct MarkedText {
  char* data = nullptr;
  const WordMarks* marks = nullptr;
};

}  // namespace conversion
