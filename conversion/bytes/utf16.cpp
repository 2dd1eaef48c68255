// The bytes layer's UTF-16 decoder: either byte order, surrogate pairs, and U+FFFD for a broken
// unit.

#include "utf16.h"

namespace conversion {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHigh(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

char* Utf16Decoder::Put(char32_t c, char* out) {
  const auto byte = [](char32_t bits) {
    return static_cast<char>(static_cast<unsigned char>(bits));
  };
  if (c < 0x80) {
    *out++ = byte(c);
  } else if (c < 0x800) {
    *out++ = byte(0xC0 | (c >> 6));
    *out++ = byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = byte(0xE0 | (c >> 12));
    *out++ = byte(0x80 | ((c >> 6) & 0x3F));
    *out++ = byte(0x80 | (c & 0x3F));
  } else {
    *out++ = byte(0xF0 | (c >> 18));
    *out++ = byte(0x80 | ((c >> 12) & 0x3F));
    *out++ = byte(0x80 | ((c >> 6) & 0x3F));
    *out++ = byte(0x80 | (c & 0x3F));
  }
  return out;
}

std::size_t Utf16Decoder::Decode(const char* in, std::size_t size, char* out) {
  char* const start = out;
  const auto* bytes = reinterpret_cast<const unsigned char*>(in);
  for (std::size_t i = 0; i < size; ++i) {
    if (!oddByte_) {
      byte_ = bytes[i];
      oddByte_ = true;
      continue;
    }
    oddByte_ = false;
    const char32_t unit =
        bigEndian_ ? (char32_t{byte_} << 8) | bytes[i] : (char32_t{bytes[i]} << 8) | byte_;
    if (high_ != 0) {
      if (IsLow(unit)) {
        out = Put(0x10000 + ((char32_t{high_} - 0xD800) << 10) + (unit - 0xDC00), out);
        high_ = 0;
        continue;
      }
      out = Put(kReplacement, out);
      high_ = 0;
    }
    if (IsHigh(unit)) {
      high_ = static_cast<char16_t>(unit);
    } else {
      out = Put(IsLow(unit) ? kReplacement : unit, out);
    }
  }
  return static_cast<std::size_t>(out - start);
}

std::size_t Utf16Decoder::Finish(char* out) {
  char* const start = out;
  if (high_ != 0) out = Put(kReplacement, out);
  if (oddByte_) out = Put(kReplacement, out);
  high_ = 0;
  oddByte_ = false;
  return static_cast<std::size_t>(out - start);
}

}  // namespace conversion
