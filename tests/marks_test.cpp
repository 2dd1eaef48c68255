#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "marks.h"

namespace {

using conversion::kWord;
using conversion::WordMarks;

void ExpectSame(const WordMarks& a, const WordMarks& b, std::size_t word) {
  EXPECT_EQ(a.commas, b.commas) << "word " << word;
  EXPECT_EQ(a.blanksAndQuotes, b.blanksAndQuotes) << "word " << word;
  EXPECT_EQ(a.lineEnds, b.lineEnds) << "word " << word;
}

TEST(Marks, MarkEveryByteValueAtEveryPlaceAsAPlainLookDoes) {
  // Puts each of the 256 byte values at each place of the words, among random
  // structural bytes with a bar in some words, and marks them through
  // MarkWords, whichever instructions it takes here, and through Mark64.
  std::mt19937 random(64);
  const std::string structural = ", \"\r\na\x80";
  constexpr std::size_t kWords = 9;
  std::vector<char> text(kWords * kWord + kWord);
  std::vector<WordMarks> marks(kWords);
  std::vector<std::uint8_t> bars(kWords, 7);
  for (int value = 0; value < 256; ++value) {
    for (char& c : text) c = structural[random() % structural.size()];
    for (std::size_t at = static_cast<std::size_t>(value) % 7; at < kWords * kWord; at += 7) {
      text[at] = static_cast<char>(value);
    }
    for (std::size_t w = static_cast<std::size_t>(value) % 3; w < kWords; w += 5)
      text[w * kWord + random() % kWord] = '|';
    conversion::MarkWords(text.data(), 0, kWords * kWord, marks.data(), bars.data());
    for (std::size_t w = 0; w < kWords; ++w) {
      bool bar = false;
      const WordMarks plain = conversion::MarkPlainly(text.data() + w * kWord, bar);
      ExpectSame(marks[w], plain, w);
      bool bar64 = !bar;
      ExpectSame(conversion::Mark64(text.data() + w * kWord, bar64), plain, w);
      EXPECT_EQ(bar64, bar) << "word " << w;
      EXPECT_EQ(conversion::AnyBar(bars.data(), w, w), bar) << "word " << w;
    }
  }
}

TEST(Marks, ClearTheBitsFromTheEndOnAndLeaveTheWordsBeforeTheStart) {
  std::vector<char> text(4 * kWord, ',');
  std::vector<WordMarks> marks(4);
  std::array<std::uint8_t, 4> bars{};
  marks[0].commas = 7;
  conversion::MarkWords(text.data(), 70, 150, marks.data(), bars.data());
  EXPECT_EQ(marks[0].commas, 7u);
  EXPECT_EQ(marks[1].commas, ~std::uint64_t{0});
  EXPECT_EQ(marks[2].commas, (std::uint64_t{1} << 22) - 1);
  conversion::MarkWords(text.data(), 128, 192, marks.data(), bars.data());
  EXPECT_EQ(marks[2].commas, ~std::uint64_t{0});
}

}  // namespace
