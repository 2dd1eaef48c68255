// The platform layer's text helpers: UTF-8 sequences and characters, case folding of names, and
// ASCII digits and case.

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace conversion {

// Returns the length of the well-formed UTF-8 sequence starting at s[pos], or 0
// when none starts there (a stray, overlong, surrogate or cut-off sequence).
std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos);

// Returns the byte length of the character at s[pos]: a well-formed multibyte
// sequence is one character, any other byte is one character of its own.
inline std::size_t CharLength(std::string_view s, std::size_t pos) {
  if (static_cast<unsigned char>(s[pos]) < 0x80) return 1;
  const std::size_t n = Utf8SequenceLength(s, pos);
  return n == 0 ? 1 : n;
}

// Counts characters by the rule of CharLength.
std::size_t CharCount(std::string_view s);

// Returns the first n characters of s (all of s when it is shorter).
std::string_view FirstChars(std::string_view s, std::size_t n);

// Returns true when block is well-formed UTF-8. A sequence cut off by the end of
// the block counts as well-formed when cutAtEnd is set.
bool IsUtf8(std::string_view block, bool cutAtEnd);

// Returns the small letter of a capital of the Latin, Greek or Cyrillic
// alphabets, the same in every locale; any other character as it is.
char32_t FoldChar(char32_t c);

// Folds a name for comparison ignoring case by FoldChar; bytes that are not
// UTF-8 stay apart from every character.
std::u32string FoldName(std::string_view name);

// Returns true when c is 0 to 9.
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Returns true when c is a to z.
constexpr bool IsLowerAscii(char c) { return c >= 'a' && c <= 'z'; }

// Upper-cases a to z and leaves every other byte as it is.
constexpr char UpperAscii(char c) { return IsLowerAscii(c) ? static_cast<char>(c - 'a' + 'A') : c; }

// Returns s without the spaces (0x20) before and after it; tabs and other blanks stay.
constexpr std::string_view TrimSpaces(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return s.substr(s.size());
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Returns true when a and b differ at most in the case of a to z.
constexpr bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

}  // namespace conversion
