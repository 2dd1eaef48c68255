#include "line_reader.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace conversion {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Rounds size up to whole words of the index.
std::size_t WholeWords(std::size_t size) { return (size + 63) / 64 * 64; }

// Returns a word with its n lowest bits set, n up to 64.
std::uint64_t LowBits(std::size_t n) {
  return n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
}

// Returns a mask of the CRs and LFs among the 64 bytes at p: bit i for byte i.
std::uint64_t LineEnds64(const char* p) {
#if defined(__SSE2__)
  const __m128i carriage = _mm_set1_epi8('\r');
  const __m128i lineFeed = _mm_set1_epi8('\n');
  std::uint64_t bits = 0;
  for (int i = 0; i < 4; ++i) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    const __m128i ends =
        _mm_or_si128(_mm_cmpeq_epi8(bytes, carriage), _mm_cmpeq_epi8(bytes, lineFeed));
    bits |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(ends))} << (16 * i);
  }
  return bits;
#else
  std::uint64_t bits = 0;
  for (unsigned i = 0; i < 64; ++i) bits |= std::uint64_t{p[i] == '\r' || p[i] == '\n'} << i;
  return bits;
#endif
}

}  // namespace

LineReader::LineReader(platform::File& file, std::size_t block, std::size_t longestLine)
    : file_(file),
      block_(block),
      longestLine_(longestLine),
      capacity_(block),
      buffer_(WholeWords(block)),
      ends_(block / 64 + 1) {}

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

void LineReader::IndexLineEnds(std::size_t from, std::size_t to) {
  if (from == to) return;
  const std::size_t last = (to - 1) / 64;
  // Reads whole words, the buffer being allocated to a multiple of 64; the
  // bytes before from in the first word are read and marked the same again.
  for (std::size_t word = from / 64; word <= last; ++word) {
    ends_[word] = LineEnds64(buffer_.data() + word * 64);
  }
  ends_[last] &= LowBits(to - last * 64);
}

bool LineReader::Fill() {
  if (error_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    // Marks the moved tail again, usually part of one line.
    IndexLineEnds(0, end_);
  }
  // A long line makes the buffer grow, up to one block past the longest line.
  if (end_ == capacity_) {
    capacity_ = std::min(capacity_ * 2, longestLine_ + block_);
    buffer_.resize(WholeWords(capacity_));
    ends_.resize(capacity_ / 64 + 1);
  }
  std::size_t n = 0;
  do {
    error_ = file_.Read(buffer_.data() + end_, capacity_ - end_, n);
  } while (error_ == std::errc::interrupted);
  if (error_) return false;
  IndexLineEnds(end_, end_ + n);
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
