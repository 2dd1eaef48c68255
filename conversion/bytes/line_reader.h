// The bytes layer's line reader: reads the export in blocks, ends its lines, reads a UTF-16
// export as UTF-8 and marks the structural bytes of what it read.

#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <system_error>
#include <vector>

#include "marks.h"
#include "platform.h"
#include "utf16.h"

namespace conversion {

// Bytes that decide the export's encoding.
inline constexpr std::size_t kEncodingProbe = 64 * 1024;
// Longer lines come from a file that is no export; stopping there keeps memory bounded.
inline constexpr std::size_t kLongestLine = 16 * 1024 * 1024;

// Reads a file line by line through one buffer of a block or more. CR LF, a
// lone CR and a lone LF each end a line; a UTF-8 byte-order mark at the start
// is dropped, and a file that starts with a UTF-16 one is read as the UTF-8
// text it holds. A read that is interrupted is made again.
class LineReader {
 public:
  static constexpr std::size_t kBlock = 1024 * 1024;  // bytes one read asks for

  explicit LineReader(platform::File& file, std::size_t block = kBlock,
                      std::size_t longestLine = kLongestLine);

  // Returns the first bytes of the file, up to size, reading them first; cut
  // tells that more follow. Lines are read from the start all the same. What
  // it reads is marked only by SetSeparator or the first Next, so that the
  // separator may be chosen from it.
  std::string_view Probe(bool& cut, std::size_t size = kEncodingProbe);

  // Marks separator, not the comma, as what separates fields from here on.
  void SetSeparator(char separator);

  // Reads the next line into line, which holds until the next call; returns
  // false at the end, on a read error and at a line longer than the longest.
  bool Next(std::string_view& line) {
    if (unmarked_) SetSeparator(separator_);
    for (;;) {
      if (skipLineFeed_ && begin_ < end_) {
        if (buffer_[begin_] == '\n') ++begin_;
        skipLineFeed_ = false;
      }
      const std::size_t stop = NextEnd();
      if (stop < end_) {
        if (stop - begin_ > longestLine_) return TooLong();
        line = std::string_view(buffer_.data() + begin_, stop - begin_);
        begin_ = stop + 1;
        if (buffer_[stop] == '\r') {
          // Takes the LF of a CR LF now, or in the next call when it is not read yet.
          if (begin_ == end_) {
            skipLineFeed_ = true;
          } else if (buffer_[begin_] == '\n') {
            ++begin_;
          }
        }
        ++lineNumber_;
        return true;
      }
      if (end_ - begin_ > longestLine_) return TooLong();
      if (eof_) {
        if (begin_ == end_) return false;
        line = std::string_view(buffer_.data() + begin_, end_ - begin_);
        begin_ = end_;
        ++lineNumber_;
        return true;
      }
      if (!Fill()) return false;
    }
  }

  // Returns the buffer and its marks, both valid until the next call of Next.
  // The end of the line Next gave is marked as a line end and is a CR, an LF
  // or, at the file's end, an LF put there. 64 bytes behind the line can be read.
  MarkedText marked() const { return {buffer_.data(), marks_.data(), bars_.data(), separator_}; }

  // Counts the lines returned, and the one found too long.
  std::uint64_t lineNumber() const { return lineNumber_; }
  // Tells why reading stopped early; nothing when it did not.
  std::error_code error() const { return error_; }
  bool tooLong() const { return tooLong_; }
  // Tells that the file began with a byte-order mark, so its lines are UTF-8;
  // known once a line or the probe was read.
  bool bom() const { return bom_; }
  // Tells that the file is UTF-16, its lines the UTF-8 text it holds.
  bool utf16() const { return utf16_; }

 private:
  bool TooLong();

  // Returns the first CR or LF at or after begin_; end_ or more when none is
  // before end_.
  std::size_t NextEnd() const {
    std::size_t word = begin_ / kWord;
    const std::uint64_t first = marks_[word].lineEnds >> (begin_ % kWord);
    if (first != 0) return begin_ + static_cast<std::size_t>(std::countr_zero(first));
    for (++word; word * kWord < end_; ++word) {
      if (const std::uint64_t ends = marks_[word].lineEnds; ends != 0) {
        return word * kWord + static_cast<std::size_t>(std::countr_zero(ends));
      }
    }
    return end_;
  }

  // Reads more of the file behind what is left; returns false on an error, and
  // reads nothing more after one.
  bool Fill();
  // Reads once into the buffer at end_, or through the decoder for UTF-16;
  // returns the bytes the buffer gained, and sets eof_ at the end.
  std::size_t ReadMore();
  // Reads once into data, again after an interruption; returns false on an
  // error, which it keeps.
  bool ReadOnce(char* data, std::size_t size, std::size_t& n);
  // Makes the buffer and its marks hold capacity bytes.
  void Grow(std::size_t capacity);
  // Marks the buffer from from to end_, and the line end put at the file's end.
  void Mark(std::size_t from);
  // Looks for a byte-order mark once the bytes read can tell.
  void CheckMark();

  platform::File& file_;
  std::size_t block_;
  std::size_t longestLine_;
  std::size_t capacity_;  // bytes the buffer holds; a word more is allocated behind them
  std::vector<char> buffer_;
  // Marks the words of buffer_; bits from end_ on mean nothing but the line end
  // put at the file's end. Holds a word more than the buffer needs, for begin_
  // at the buffer's end.
  std::vector<WordMarks> marks_;
  std::vector<std::uint8_t> bars_;  // 1 for each word of marks_ that holds a bar
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  char separator_ = ',';
  bool unmarked_ = false;  // the probe read bytes that are not marked yet
  bool utf16_ = false;
  Utf16Decoder decoder_;
  std::vector<char> raw_;  // UTF-16 read and not decoded yet, from rawBegin_ to rawEnd_
  std::size_t rawBegin_ = 0;
  std::size_t rawEnd_ = 0;
  bool skipLineFeed_ = false;  // the last line ended in CR; an LF right after belongs to it
  bool markChecked_ = false;   // the byte-order mark was looked for
  bool bom_ = false;
  bool eof_ = false;
  bool tooLong_ = false;
  std::error_code error_;
  std::uint64_t lineNumber_ = 0;
};

}  // namespace conversion
