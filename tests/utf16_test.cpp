#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "utf16.h"

namespace {

// Decodes bytes in pieces of the given size, then ends the text.
std::string Decode(const std::string& bytes, std::size_t piece, bool bigEndian = false) {
  conversion::Utf16Decoder decoder(bigEndian);
  std::string out;
  for (std::size_t pos = 0; pos < bytes.size(); pos += piece) {
    const std::size_t n = std::min(piece, bytes.size() - pos);
    std::vector<char> room(conversion::Utf16Decoder::MostOut(n));
    out.append(room.data(), decoder.Decode(bytes.data() + pos, n, room.data()));
  }
  std::vector<char> room(6);
  out.append(room.data(), decoder.Finish(room.data()));
  return out;
}

// Returns UTF-16LE bytes of the units.
std::string Units(std::initializer_list<char16_t> units) {
  return test::Utf16Bytes(std::u16string(units));
}

TEST(Utf16Decoder, DecodesInPiecesOfAnySize) {
  // A, e acute, euro sign, G clef (a surrogate pair), CR LF and NUL.
  const std::u16string units = {u'A', 0xE9, 0x20AC, 0xD834, 0xDD1E, u'\r', u'\n', 0};
  const std::string bytes = test::Utf16Bytes(units);
  const std::string text = std::string("A\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E\r\n", 12) + '\0';
  for (const std::size_t piece : {1U, 2U, 3U, 5U, 64U})
    EXPECT_EQ(Decode(bytes, piece), text) << piece;
  EXPECT_EQ(Decode(test::Utf16Bytes(units, true), 3, true), text);
}

TEST(Utf16Decoder, ReplacesUnpairedSurrogatesAndAHalfUnit) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(Decode(Units({0xD834, u'A'}), 1), replacement + "A");
  EXPECT_EQ(Decode(Units({0xDD1E, u'A'}), 2), replacement + "A");
  EXPECT_EQ(Decode(Units({u'A', 0xD834}), 2), "A" + replacement);
  EXPECT_EQ(Decode(Units({u'A'}) + "B", 1), "A" + replacement);
  EXPECT_EQ(Decode(Units({0xD834, 0xD834, 0xDD1E}), 4), replacement + "\xF0\x9D\x84\x9E");
}

}  // namespace
