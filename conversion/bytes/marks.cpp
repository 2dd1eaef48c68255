// The bytes layer's marking of structural bytes over many words, with AVX2 where the processor
// has it.

#include "marks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace conversion {

namespace {

// Marks words first to last with Mark64.
void MarkEach(const char* data, std::size_t first, std::size_t last, WordMarks* marks,
              std::uint8_t* bars, char separator) {
  for (std::size_t word = first; word <= last; ++word) {
    bool bar = false;
    marks[word] = Mark64(data + word * kWord, bar, separator);
    bars[word] = bar ? 1 : 0;
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Returns the 64 bits of the matches in the low and the high 32 bytes of a word.
[[gnu::target("avx2")]] std::uint64_t Bits(__m256i low, __m256i high) {
  return std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(low))} |
         std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(high))} << 32;
}

// Marks words first to last 32 bytes at a time: Mark64's compares at twice
// their width, a deliberate variant for the instruction set.
[[gnu::target("avx2")]] void MarkEachAvx2(const char* data, std::size_t first, std::size_t last,
                                          WordMarks* marks, std::uint8_t* bars, char separator) {
  const __m256i comma = _mm256_set1_epi8(separator);
  const __m256i two = _mm256_set1_epi8(2);
  const __m256i quote = _mm256_set1_epi8('"');
  const __m256i carriage = _mm256_set1_epi8('\r');
  const __m256i lineFeed = _mm256_set1_epi8('\n');
  const __m256i bar = _mm256_set1_epi8('|');
  for (std::size_t word = first; word <= last; ++word) {
    const char* const p = data + word * kWord;
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    WordMarks& mark = marks[word];
    mark.commas = Bits(_mm256_cmpeq_epi8(low, comma), _mm256_cmpeq_epi8(high, comma));
    // Matches blanks and quotes at once: they differ in bit 1 alone.
    mark.blanksAndQuotes = Bits(_mm256_cmpeq_epi8(_mm256_or_si256(low, two), quote),
                                _mm256_cmpeq_epi8(_mm256_or_si256(high, two), quote));
    mark.lineEnds =
        Bits(_mm256_or_si256(_mm256_cmpeq_epi8(low, carriage), _mm256_cmpeq_epi8(low, lineFeed)),
             _mm256_or_si256(_mm256_cmpeq_epi8(high, carriage), _mm256_cmpeq_epi8(high, lineFeed)));
    const __m256i anyBar =
        _mm256_or_si256(_mm256_cmpeq_epi8(low, bar), _mm256_cmpeq_epi8(high, bar));
    bars[word] = _mm256_movemask_epi8(anyBar) != 0 ? 1 : 0;
  }
}

// Asks the processor first: this runs among the static constructors, which may come
// before the C runtime's own look.
const bool kHasAvx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);
#endif

}  // namespace

void MarkWords(const char* data, std::size_t from, std::size_t to, WordMarks* marks,
               std::uint8_t* bars, char separator) {
  if (from == to) return;
  const std::size_t first = from / kWord;
  const std::size_t last = (to - 1) / kWord;
#if defined(__x86_64__) || defined(__i386__)
  if (kHasAvx2) {
    MarkEachAvx2(data, first, last, marks, bars, separator);
  } else {
    MarkEach(data, first, last, marks, bars, separator);
  }
#else
  MarkEach(data, first, last, marks, bars, separator);
#endif
  const std::uint64_t kept = LowBits(to - last * kWord);
  WordMarks& end = marks[last];
  end.commas &= kept;
  end.blanksAndQuotes &= kept;
  end.lineEnds &= kept;
}

}  // namespace conversion
