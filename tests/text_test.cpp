#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <utility>
#include <vector>

#include "text.h"

namespace {

using conversion::CharCount;
using conversion::FirstChars;
using conversion::FoldName;
using conversion::IsUtf8;

TEST(Text, CountsWellFormedSequencesAsOneCharacterAndOtherBytesAsOne) {
  EXPECT_EQ(CharCount(""), 0u);
  EXPECT_EQ(CharCount("ABC"), 3u);
  EXPECT_EQ(CharCount("\xC3\xBC"
                      "b"
                      "\xE2\x82\xAC"
                      "\xF0\x9F\x93\xBB"),
            4u);  // ü b € 📻
  EXPECT_EQ(CharCount("\xFC"
                      "ber"),
            4u);                                 // Windows-1252 ü
  EXPECT_EQ(CharCount("\xC3"), 1u);              // cut off
  EXPECT_EQ(CharCount("\xC0\xAF"), 2u);          // overlong
  EXPECT_EQ(CharCount("\xED\xA0\x80"), 3u);      // surrogate
  EXPECT_EQ(CharCount("\xF4\x90\x80\x80"), 4u);  // beyond U+10FFFF
  EXPECT_EQ(CharCount("\xE2\x82"
                      "A"),
            3u);  // sequence broken by an ASCII byte
}

TEST(Text, FirstCharsNeverCutsACharacter) {
  EXPECT_EQ(FirstChars("\xC3\x84\xC3\x96"
                       "47AB",
                       3),
            "\xC3\x84\xC3\x96"
            "4");
  EXPECT_EQ(FirstChars("AB", 4), "AB");
  EXPECT_EQ(FirstChars("\xFC\xFC\xFC\xFC\xFC", 4), "\xFC\xFC\xFC\xFC");
}

TEST(Text, TellsUtf8FromEightBitText) {
  EXPECT_TRUE(IsUtf8("plain ASCII", false));
  EXPECT_TRUE(IsUtf8("Z\xC3\xBCrich", false));
  EXPECT_FALSE(IsUtf8("Z\xFCrich", false));
  EXPECT_FALSE(IsUtf8("Z\xC3", false));
  EXPECT_TRUE(IsUtf8("Z\xC3", true));  // cut by the end of the probe
  EXPECT_TRUE(IsUtf8("Z\xF0\x9F\x93", true));
  EXPECT_FALSE(
      IsUtf8("Z\xC3"
             "A",
             true));  // broken before the end
  EXPECT_FALSE(IsUtf8("Z\xFF", true));
}

TEST(Text, FoldsLatinGreekAndCyrillicCapitalsInEveryLocale) {
  std::setlocale(LC_ALL, "C");  // towlower folds ASCII only here
  const std::vector<std::pair<std::string, std::string>> same = {
      {"LOG.CSV", "log.csv"},
      {"LOGB\xC3\x9C"
       "CH.CSV",
       "logb\xC3\xBC"
       "ch.csv"},                                                // Ü ü
      {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"},                // É é
      {"\xC5\x81\xC3\x93\xC5\xB9", "\xC5\x82\xC3\xB3\xC5\xBA"},  // Ł Ó Ź
      {"\xC5\xB8", "\xC3\xBF"},                                  // Ÿ ÿ
      {"\xCE\xA3\xCE\x8F", "\xCF\x83\xCF\x8E"},                  // Σ Ώ
      {"\xCF\x82", "\xCF\x83"},                                  // final sigma
      {"\xD0\x96\xD0\x81", "\xD0\xB6\xD1\x91"},                  // Ж Ё
  };
  for (const auto& [upper, lower] : same) EXPECT_EQ(FoldName(upper), FoldName(lower)) << upper;

  EXPECT_NE(FoldName("\xC3\x97"), FoldName("\xC3\xB7"));  // × and ÷ are no letters
  EXPECT_NE(FoldName("\xC3\x9F"), FoldName("SS"));        // ß stays one letter
  EXPECT_NE(FoldName("\xFC"), FoldName("\xC3\xBC"));      // a stray byte is no ü
  EXPECT_EQ(FoldName("\xFC"), FoldName("\xFC"));
}

}  // namespace
