// The bytes layer's UTF-16 decoder: turns a UTF-16 export into UTF-8 piece by piece as it is
// read.

#pragma once

#include <cstddef>
#include <cstdint>

namespace conversion {

// Turns UTF-16 into UTF-8 a piece at a time, as a file is read: a unit or a
// surrogate pair cut by the end of a piece waits for the next.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool bigEndian = false) : bigEndian_(bigEndian) {}

  // Returns the most bytes Decode writes for size bytes.
  static constexpr std::size_t MostOut(std::size_t size) { return (size / 2 + 2) * 3; }

  // Decodes size bytes at in to out, which has room for MostOut(size);
  // returns the bytes written. An unpaired surrogate becomes U+FFFD.
  std::size_t Decode(const char* in, std::size_t size, char* out);

  // Ends the text, writing U+FFFD for a surrogate or a byte left waiting into
  // out, which has room for 6 bytes; returns the bytes written.
  std::size_t Finish(char* out);

 private:
  // Writes code point c as UTF-8; returns the end.
  static char* Put(char32_t c, char* out);

  bool bigEndian_;
  bool oddByte_ = false;  // a unit's first byte waits in byte_
  std::uint8_t byte_ = 0;
  char16_t high_ = 0;  // a high surrogate waiting for its low half, or 0
};

}  // namespace conversion
