// The platform layer's text helpers: UTF-8 checks, character counts and case folding.

#include "text.h"

namespace conversion {

namespace {

// Returns how many bytes a sequence with this lead byte needs, with the allowed
// range of its second byte; 0 for a byte that cannot lead a sequence.
std::size_t SequenceShape(unsigned lead, unsigned& lo, unsigned& hi) {
  lo = 0x80;
  hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (lead == 0xE0) lo = 0xA0;  // overlong
    if (lead == 0xED) hi = 0x9F;  // surrogates
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (lead == 0xF0) lo = 0x90;  // overlong
    if (lead == 0xF4) hi = 0x8F;  // beyond U+10FFFF
    return 4;
  }
  return 0;
}

unsigned Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

// Returns how many bytes from pos form a valid start of a sequence (at most its length).
std::size_t ValidPrefix(std::string_view s, std::size_t pos, std::size_t& needed) {
  unsigned lo = 0;
  unsigned hi = 0;
  needed = SequenceShape(Byte(s, pos), lo, hi);
  if (needed == 0) return 0;
  std::size_t i = 1;
  for (; i < needed && pos + i < s.size(); ++i) {
    const unsigned b = Byte(s, pos + i);
    if (i == 1 ? (b < lo || b > hi) : (b & 0xC0U) != 0x80U) return i;
  }
  return i;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos) {
  if (Byte(s, pos) < 0x80) return 1;
  std::size_t needed = 0;
  return ValidPrefix(s, pos, needed) == needed ? needed : 0;
}

std::size_t CharCount(std::string_view s) {
  // Counts ASCII bytes without looking for sequences, the usual case.
  std::size_t pos = 0;
  while (pos < s.size() && Byte(s, pos) < 0x80) ++pos;
  std::size_t count = pos;
  for (; pos < s.size(); pos += CharLength(s, pos)) ++count;
  return count;
}

std::string_view FirstChars(std::string_view s, std::size_t n) {
  std::size_t pos = 0;
  for (; n > 0 && pos < s.size(); --n) pos += CharLength(s, pos);
  return s.substr(0, pos);
}

bool IsUtf8(std::string_view block, bool cutAtEnd) {
  std::size_t pos = 0;
  while (pos < block.size()) {
    if (Byte(block, pos) < 0x80) {
      ++pos;
      continue;
    }
    std::size_t needed = 0;
    const std::size_t valid = ValidPrefix(block, pos, needed);
    if (valid == needed && needed != 0) {
      pos += needed;
      continue;
    }
    return cutAtEnd && needed != 0 && pos + valid == block.size();
  }
  return true;
}

char32_t FoldChar(char32_t c) {
  // Pairs whose capital is the even code point and whose small letter follows it.
  const auto evenPair = [c](char32_t first, char32_t last) {
    return c >= first && c <= last && c % 2 == 0;
  };
  const auto oddPair = [c](char32_t first, char32_t last) {
    return c >= first && c <= last && c % 2 == 1;
  };
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;  // Latin-1 but the multiplication sign
  if (evenPair(0x100, 0x12F) || evenPair(0x132, 0x137) || oddPair(0x139, 0x148) ||
      evenPair(0x14A, 0x177) || oddPair(0x179, 0x17E)) {
    return c + 1;
  }
  if (c == 0x130) return 'i';
  if (c == 0x178) return 0xFF;
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return c + 0x25;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 0x3F;
  if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB)) return c + 0x20;
  if (c == 0x3C2) return 0x3C3;  // final sigma
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (evenPair(0x460, 0x481) || evenPair(0x48A, 0x4BF)) return c + 1;
  return c;
}

std::u32string FoldName(std::string_view name) {
  std::u32string folded;
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t n = CharLength(name, pos);
    char32_t c = Byte(name, pos);
    if (n == 1 && c >= 0x80) {
      folded.push_back(c | 0x110000);  // a stray byte never folds onto a character
    } else {
      if (n > 1) c &= 0x3FU >> (n - 1);
      for (std::size_t i = 1; i < n; ++i) c = (c << 6) | (Byte(name, pos + i) & 0x3FU);
      folded.push_back(FoldChar(c));
    }
    pos += n;
  }
  return folded;
}

}  // namespace conversion
