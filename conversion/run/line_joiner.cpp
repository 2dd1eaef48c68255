// The run layer's line joiner: reads lines ahead and joins them while the contact's quoted value
// stays open.

#include "line_joiner.h"

#include "line_converter.h"

namespace conversion {

bool LineJoiner::TakeFirstAhead(std::string_view& line, std::uint64_t& number) {
  current_ = std::move(ahead_.front().first);
  number = ahead_.front().second;
  ahead_.pop_front();
  line = current_;
  return true;
}

bool LineJoiner::Join(std::string_view& linea, const ReadLine& read) {
  const LineShape first = ShapeOf(linea, separator_, count_);
  if (first.fields >= count_ || !first.openQuote) return false;
  std::string joined(linea);
  for (std::size_t used = 0; used + 1 < kMostLines; ++used) {
    if (used == ahead_.size()) {
      std::string_view next;
      std::uint64_t number = 0;
      if (!read(next, number)) return false;
      ahead_.emplace_back(std::string(next), number);
    }
    const std::string& next = ahead_[used].first;
    if (ShapeOf(next, separator_, count_).fields >= count_ ||
        joined.size() + 1 + next.size() > kMostBytes) {
      return false;
    }
    joined.append(" ").append(next);
    const LineShape shape = ShapeOf(joined, separator_, count_);
    if (shape.fields >= count_) {
      joined_ = std::move(joined);
      linea = joined_;
      ahead_.erase(ahead_.begin(), ahead_.begin() + static_cast<std::ptrdiff_t>(used + 1));
      return true;
    }
    if (!shape.openQuote) return false;
  }
  return false;
}

}  // namespace conversion
