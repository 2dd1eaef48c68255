#include <gtest/gtest.h>

#include <string>

#include "text.h"

namespace {

using conversion::CharCount;
using conversion::FirstChars;
using conversion::IsUtf8;
using conversion::Utf8ToWindows1252;

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

TEST(Text, ConvertsToWindows1252WithQuestionMarksForTheRest) {
  EXPECT_EQ(Utf8ToWindows1252("M\xC3\xBCller"), "M\xFCller");
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC 5"), "\x80 5");
  EXPECT_EQ(Utf8ToWindows1252("\xCE\xA9mega \xF0\x9F\x93\xBB!"), "?mega ?!");
  EXPECT_EQ(Utf8ToWindows1252("a\xFF"
                              "b\xC3"),
            "a?b?");
  EXPECT_EQ(Utf8ToWindows1252(""), "");
}

}  // namespace
