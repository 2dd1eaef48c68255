#include "text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

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
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < s.size(); pos += CharLength(s, pos)) ++count;
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

std::string Utf8ToWindows1252(std::string_view utf8) {
  std::string out;
  iconv_t cd = iconv_open("WINDOWS-1252", "UTF-8");
  // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open reports failure as (iconv_t)-1.
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Without a converter only ASCII is certain to come through.
    for (char c : utf8) out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
    return out;
  }
  std::string in(utf8);
  char* src = in.data();
  std::size_t srcLeft = in.size();
  out.resize(in.size() + 4);
  std::size_t used = 0;
  while (srcLeft > 0) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (no such character or not UTF-8) or EINVAL (cut off at the end).
    if (used == out.size()) out.resize(out.size() * 2);
    out[used++] = '?';
    const auto pos = static_cast<std::size_t>(src - in.data());
    const std::size_t skip = CharLength(in, pos);
    src += skip;
    srcLeft -= skip;
  }
  iconv_close(cd);
  out.resize(used);
  return out;
}

}  // namespace conversion
