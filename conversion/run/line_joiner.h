// The run layer's line joiner: joins the lines of a contact whose quoted value holds line
// breaks.

#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace conversion {

// Joins the lines of one contact whose quoted value holds line breaks. It
// joins only lines that would each be skipped, so no line that converts on its
// own is ever changed.
class LineJoiner {
 public:
  // Reads the next line of the file and its number; false at the end.
  using ReadLine = std::function<bool(std::string_view& line, std::uint64_t& number)>;

  static constexpr std::size_t kMostLines = 16;
  static constexpr std::size_t kMostBytes = 64 * 1024;

  // Joins lines split at separator while they hold fewer than count fields.
  explicit LineJoiner(char separator = ',', std::size_t count = 26)
      : separator_(separator), count_(count) {}

  // Gives the next of the lines read ahead by Join; false when none is left.
  // The line stays valid until the next call.
  bool TakeAhead(std::string_view& line, std::uint64_t& number) {
    return !ahead_.empty() && TakeFirstAhead(line, number);
  }

  // Joins the lines after linea to it, each line break a blank, while the text
  // holds fewer than count fields and ends in an open quote and the next line
  // on its own holds fewer than count fields, up to kMostLines lines and
  // kMostBytes. Returns true with linea viewing the joined text, valid until
  // the next call, when it holds count fields; else leaves linea as it is, and the lines
  // read ahead come next from TakeAhead. linea is copied before the first read.
  bool Join(std::string_view& linea, const ReadLine& read);

 private:
  bool TakeFirstAhead(std::string_view& line, std::uint64_t& number);

  char separator_;     // separates the fields of the lines
  std::size_t count_;  // the fields a line holds at least
  std::deque<std::pair<std::string, std::uint64_t>> ahead_;
  std::string current_;
  std::string joined_;
};

}  // namespace conversion
