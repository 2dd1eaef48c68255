// The bytes layer's marking of structural bytes: separators, blanks, quotes and line ends as bit
// masks of 64-byte words.

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
  std::uint64_t commas = 0;  // the field separator, a comma unless the export says otherwise
  std::uint64_t blanksAndQuotes = 0;  // bytes that make a field start or end need a closer look
  std::uint64_t lineEnds = 0;         // CR and LF
};

// Returns a word with its n lowest bits set, n up to 64.
inline std::uint64_t LowBits(std::size_t n) {
  return n >= kWord ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
}

// Marks the structural bytes among the 64 at p one after the other, with
// separator in place of the comma; bar tells whether one is a bar.
inline WordMarks MarkPlainly(const char* p, bool& bar, char separator = ',') {
  WordMarks marks;
  bar = false;
  for (unsigned i = 0; i < kWord; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (p[i] == separator) marks.commas |= bit;
    if (p[i] == ' ' || p[i] == '"') marks.blanksAndQuotes |= bit;
    if (p[i] == '\r' || p[i] == '\n') marks.lineEnds |= bit;
    bar = bar || p[i] == '|';
  }
  return marks;
}

// Marks the structural bytes among the 64 at p as MarkPlainly does, 16 at a time.
inline WordMarks Mark64(const char* p, bool& bar, char separator = ',') {
#if defined(__SSE2__)
  WordMarks marks;
  const __m128i comma = _mm_set1_epi8(separator);
  const __m128i two = _mm_set1_epi8(2);
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i carriage = _mm_set1_epi8('\r');
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i bars = _mm_set1_epi8('|');
  __m128i anyBar = _mm_setzero_si128();
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
    anyBar = _mm_or_si128(anyBar, _mm_cmpeq_epi8(bytes, bars));
  }
  bar = _mm_movemask_epi8(anyBar) != 0;
  return marks;
#else
  return MarkPlainly(p, bar, separator);
#endif
}

// Marks the words of data that hold [from, to), reading whole words: data has
// room to a multiple of 64 bytes past to. Bits from to on are cleared. Sets
// bars[w] to 1 for each word w marked that holds a bar, even past to, and to
// 0 for the others. Marks separator as a comma. Uses AVX2 where the processor has it.
void MarkWords(const char* data, std::size_t from, std::size_t to, WordMarks* marks,
               std::uint8_t* bars, char separator = ',');

// Returns true when a word from first to last holds a bar.
inline bool AnyBar(const std::uint8_t* bars, std::size_t first, std::size_t last) {
  unsigned any = 0;
  for (std::size_t w = first; w <= last; ++w) any |= bars[w];
  return any != 0;
}

// Views a text, the marks of its words, marks[w] for data[64 w, 64 w + 64),
// and the words that hold a bar, as MarkWords leaves them for separator.
struct MarkedText {
  const char* data = nullptr;
  const WordMarks* marks = nullptr;
  const std::uint8_t* bars = nullptr;
  char separator = ',';
};

}  // namespace conversion
