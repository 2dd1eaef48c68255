#include "line_reader.h"

#include <algorithm>
#include <cstring>

namespace conversion {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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
  // The buffer holds at most a longest line and a block.
  const std::size_t wanted = std::min(size + 1, longestLine_ + block_);
  while (!eof_ && end_ - begin_ < wanted && Fill()) {
  }
  const std::size_t probe = std::min(end_ - begin_, size);
  cut = end_ - begin_ > probe;
  return {buffer_.data() + begin_, probe};
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
    MarkWords(buffer_.data(), 0, end_, marks_.data(), bars_.data());
  }
  // A long line makes the buffer grow, up to one block past the longest line.
  if (end_ == capacity_) {
    capacity_ = std::min(capacity_ * 2, longestLine_ + block_);
    buffer_.resize(Allocated(capacity_));
    marks_.resize(capacity_ / kWord + 1);
    bars_.resize(capacity_ / kWord + 1);
  }
  std::size_t n = 0;
  do {
    error_ = file_.Read(buffer_.data() + end_, capacity_ - end_, n);
  } while (error_ == std::errc::interrupted);
  if (error_) return false;
  MarkWords(buffer_.data(), end_, end_ + n, marks_.data(), bars_.data());
  end_ += n;
  eof_ = n == 0;
  if (eof_) {
    // Ends the last line as if it had a terminator; nothing reads it as one.
    buffer_[end_] = '\n';
    WordMarks& last = marks_[end_ / kWord];
    if (end_ % kWord == 0) {  // a word no read reached
      last = {};
      bars_[end_ / kWord] = 0;
    }
    last.lineEnds |= std::uint64_t{1} << (end_ % kWord);
  }
  // Nothing was taken from the buffer before the mark is settled: a part of it
  // holds no line end.
  if (!markChecked_ && (end_ >= kByteOrderMark.size() || eof_ ||
                        !kByteOrderMark.starts_with(std::string_view(buffer_.data(), end_)))) {
    markChecked_ = true;
    bom_ = std::string_view(buffer_.data(), end_).starts_with(kByteOrderMark);
    if (bom_) begin_ = kByteOrderMark.size();
  }
  return true;
}

}  // namespace conversion
