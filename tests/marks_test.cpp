#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "marks.h"

namespace {

using conversion::kWord;
using conversion::WordMarks;

// Marks the word at p one byte after the other.
WordMarks MarkPlainly(const char* p) {
  WordMarks marks;
  for (unsigned i = 0; i < kWord; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (p[i] == ',') marks.commas |= bit;
    if (p[i] == ' ' || p[i] == '"') marks.blanksAndQuotes |= bit;
    if (p[i] == '\r' || p[i] == '\n') marks.lineEnds |= bit;
    if (p[i] == '|') marks.bars |= bit;
  }
  return marks;
}

void ExpectSame(const WordMarks& a, const WordMarks& b, std::size_t word) {
  EXPECT_EQ(a.commas, b.commas) << "word " << word;
  EXPECT_EQ(a.blanksAndQuotes, b.blanksAndQuotes) << "word " << word;
  EXPECT_EQ(a.lineEnds, b.lineEnds) << "word " << word;
  EXPECT_EQ(a.bars, b.bars) << "word " << word;
}

TEST(Marks, MarkEveryByteValueAtEveryPlaceAsAPlainLookDoes) {
  // Puts each of the 256 byte values at each place of the words, among random
  // structural bytes, and marks them through MarkWords, whichever instructions
  // it takes here, and through Mark64.
  std::mt19937 random(64);
  const std::string structural = ", \"\r\n|a\x80";
  constexpr std::size_t kWords = 9;
  std::vector<char> text(kWords * kWord + kWord);
  std::vector<WordMarks> marks(kWords);
  for (int value = 0; value < 256; ++value) {
    for (char& c : text) c = structural[random() % structural.size()];
    for (std::size_t at = static_cast<std::size_t>(value) % 7; at < kWords * kWord; at += 7) {
      text[at] = static_cast<char>(value);
    }
    conversion::MarkWords(text.data(), 0, kWords * kWord, marks.data());
    for (std::size_t w = 0; w < kWords; ++w) {
      const WordMarks plain = MarkPlainly(text.data() + w * kWord);
      ExpectSame(marks[w], plain, w);
      ExpectSame(conversion::Mark64(text.data() + w * kWord), plain, w);
    }
  }
}

TEST(Marks, ClearTheBitsFromTheEndOnAndLeaveTheWordsBeforeTheStart) {
  std::vector<char> text(4 * kWord, ',');
  std::vector<WordMarks> marks(4);
  marks[0].commas = 7;
  conversion::MarkWords(text.data(), 70, 150, marks.data());
  EXPECT_EQ(marks[0].commas, 7u);
  EXPECT_EQ(marks[1].commas, ~std::uint64_t{0});
  EXPECT_EQ(marks[2].commas, (std::uint64_t{1} << 22) - 1);
  conversion::MarkWords(text.data(), 128, 192, marks.data());
  EXPECT_EQ(marks[2].commas, ~std::uint64_t{0});
}

}  // namespace
