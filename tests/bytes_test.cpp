#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "bytes.h"

namespace {

using conversion::CopyBytes;
using conversion::FindByte;

TEST(FindByte, FindsTheFirstMatchOfEveryLengthAndNoneBeyondTheEnd) {
  // Surrounds the searched bytes with matches, so that a read outside shows.
  for (std::size_t size = 0; size <= 70; ++size) {
    for (std::size_t at = 0; at <= size; ++at) {
      std::string bytes(size + 32, '/');
      std::fill_n(bytes.begin() + 16, size, 'a');
      const char* const begin = bytes.data() + 16;
      const char* const end = begin + size;
      if (at < size) bytes[16 + at] = '/';
      if (at + 3 < size) bytes[16 + at + 3] = '/';  // a later match
      ASSERT_EQ(FindByte(begin, end, '/') - begin, static_cast<std::ptrdiff_t>(at))
          << size << " bytes, the match at " << at;
    }
  }
}

TEST(FindByte, FindsBytesOfEveryValue) {
  std::string bytes(40, '\0');
  for (int c = 0; c < 256; ++c) {
    for (const std::size_t at : std::to_array<std::size_t>({0, 3, 7, 8, 15, 16, 31, 39})) {
      std::fill(bytes.begin(), bytes.end(), static_cast<char>(c ^ 0x80));
      bytes[at] = static_cast<char>(c);
      const char* const begin = bytes.data();
      for (const std::size_t size : std::to_array<std::size_t>({4, 8, 12, 16, 20, 40})) {
        const auto expected = static_cast<std::ptrdiff_t>(std::min(at, size));
        ASSERT_EQ(FindByte(begin, begin + size, static_cast<char>(c)) - begin, expected)
            << c << " at " << at << " of " << size;
      }
    }
  }
}

TEST(CopyBytes, CopiesEveryLengthAndNothingMore) {
  const std::string from = [] {
    std::string text;
    for (int i = 0; i < 80; ++i) text += static_cast<char>('0' + i % 43);
    return text;
  }();
  for (std::size_t size = 0; size <= 70; ++size) {
    std::string to(100, '#');
    EXPECT_EQ(CopyBytes(to.data() + 10, from.data(), size), to.data() + 10 + size);
    EXPECT_EQ(to, std::string(10, '#') + from.substr(0, size) + std::string(90 - size, '#'));
  }
}

}  // namespace
