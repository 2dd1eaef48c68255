// The bytes layer's line reader: fills, grows and marks the buffer the export's lines are read
// from.

#include "line_reader.h"

#include <algorithm>
#include <cstring>

namespace conversion {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";

// Bytes of room that one decoded read of UTF-16 needs at least.
constexpr std::size_t kLeastRoom = 16;

// Rounds size up to whole words, and adds one for the line end put at the
// file's end and for the reads past a line's end.
std::size_t Allocated(std::size_t size) { return (size + 2 * kWord - 1) / kWord * kWord; }

}  // namespace

LineReader::LineReader(platform::File& file, std::size_t block, std::size_t longestLine)
    : file_(file),
      block_(block),
      longestLine_(longestLine),
      capacity_(block),
      buffer_(Allocated(block)),
      marks_(block / kWord + 1),
      bars_(block / kWord + 1) {}

std::string_view LineReader::Probe(bool& cut, std::size_t size) {
  unmarked_ = true;
  // The buffer holds at most a longest line and a block.
  const std::size_t wanted = std::min(size + 1, longestLine_ + block_);
  while (!eof_ && end_ - begin_ < wanted && Fill()) {
  }
  const std::size_t probe = std::min(end_ - begin_, size);
  cut = end_ - begin_ > probe;
  return {buffer_.data() + begin_, probe};
}

void LineReader::SetSeparator(char separator) {
  separator_ = separator;
  unmarked_ = false;
  Mark(0);
}

bool LineReader::TooLong() {
  tooLong_ = true;
  ++lineNumber_;
  return false;
}

bool LineReader::Fill() {
  if (error_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    // Marks the moved tail again, usually part of one line.
    if (!unmarked_) MarkWords(buffer_.data(), 0, end_, marks_.data(), bars_.data(), separator_);
  }
  // A long line makes the buffer grow, up to one block past the longest line;
  // UTF-16 needs room for a few characters at least.
  const std::size_t least = utf16_ ? kLeastRoom : 1;
  if (capacity_ - end_ < least) {
    Grow(std::max(std::min(capacity_ * 2, longestLine_ + block_), end_ + least));
  }
  std::size_t from = end_;
  const std::size_t n = ReadMore();
  if (error_) return false;
  end_ += n;
  if (!markChecked_) {
    CheckMark();
    if (utf16_) from = 0;
  }
  if (!unmarked_) Mark(from);
  return true;
}

std::size_t LineReader::ReadMore() {
  std::size_t n = 0;
  if (!utf16_) {
    if (!ReadOnce(buffer_.data() + end_, capacity_ - end_, n)) return 0;
    eof_ = n == 0;
    return n;
  }
  char* const out = buffer_.data() + end_;
  // Takes as much as decodes into the room left, at most 3 bytes for 2.
  const std::size_t take = std::min((capacity_ - end_ - 6) / 3 * 2, block_ + block_ % 2);
  if (rawBegin_ == rawEnd_) {
    raw_.resize(take);
    if (!ReadOnce(raw_.data(), take, n)) return 0;
    rawBegin_ = 0;
    rawEnd_ = n;
    if (n == 0) {
      eof_ = true;
      return decoder_.Finish(out);
    }
  }
  const std::size_t piece = std::min(take, rawEnd_ - rawBegin_);
  rawBegin_ += piece;
  return decoder_.Decode(raw_.data() + rawBegin_ - piece, piece, out);
}

bool LineReader::ReadOnce(char* data, std::size_t size, std::size_t& n) {
  do {
    error_ = file_.Read(data, size, n);
  } while (error_ == std::errc::interrupted);
  return !error_;
}

void LineReader::Grow(std::size_t capacity) {
  capacity_ = capacity;
  buffer_.resize(Allocated(capacity_));
  marks_.resize(capacity_ / kWord + 1);
  bars_.resize(capacity_ / kWord + 1);
}

void LineReader::Mark(std::size_t from) {
  MarkWords(buffer_.data(), from, end_, marks_.data(), bars_.data(), separator_);
  if (!eof_) return;
  // Ends the last line as if it had a terminator; nothing reads it as one.
  buffer_[end_] = '\n';
  WordMarks& last = marks_[end_ / kWord];
  if (end_ % kWord == 0) {  // a word no read reached
    last = {};
    bars_[end_ / kWord] = 0;
  }
  last.lineEnds |= std::uint64_t{1} << (end_ % kWord);
}

void LineReader::CheckMark() {
  // Nothing was taken from the buffer before the mark is settled: a part of it
  // holds no line end.
  const std::string_view head(buffer_.data(), end_);
  const auto mayBecome = [head](std::string_view mark) {
    return head.size() < mark.size() && mark.starts_with(head);
  };
  if (!eof_ &&
      (mayBecome(kByteOrderMark) || mayBecome(kLittleEndianMark) || mayBecome(kBigEndianMark))) {
    return;
  }
  markChecked_ = true;
  if (head.starts_with(kByteOrderMark)) {
    bom_ = true;
    begin_ = kByteOrderMark.size();
    return;
  }
  const bool bigEndian = head.starts_with(kBigEndianMark);
  if (!bigEndian && !head.starts_with(kLittleEndianMark)) return;
  // Decodes what was read behind the mark from here on.
  bom_ = true;
  utf16_ = true;
  decoder_ = Utf16Decoder(bigEndian);
  raw_.assign(head.begin() + 2, head.end());
  rawBegin_ = 0;
  rawEnd_ = raw_.size();
  eof_ = false;
  end_ = 0;
  if (capacity_ < kLeastRoom) Grow(kLeastRoom);
  end_ = ReadMore();
}

}  // namespace conversion
