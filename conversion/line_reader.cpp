#include "line_reader.h"

#include <cstring>

namespace conversion {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

LineReader::LineReader(platform::File& file, std::size_t block, std::size_t longestLine)
    : file_(file), block_(block), longestLine_(longestLine), buffer_(block) {}

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
  }
  // A long line makes the buffer grow, up to one block past the longest line.
  if (end_ == buffer_.size()) buffer_.resize(std::min(buffer_.size() * 2, longestLine_ + block_));
  lineFeed_ = std::numeric_limits<std::size_t>::max();
  std::size_t n = 0;
  do {
    error_ = file_.Read(buffer_.data() + end_, buffer_.size() - end_, n);
  } while (error_ == std::errc::interrupted);
  if (error_) return false;
  end_ += n;
  eof_ = n == 0;
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
