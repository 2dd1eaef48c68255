// The line layer's record output: copies fields and joints in a few fixed moves, bars inside a
// field made slashes.

#include "put_record.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "bytes.h"

namespace conversion {

namespace {

// Tells whether the texts of a source can be read 16 bytes at a time: 16
// bytes from their start, and up to 16 past their end when they are longer.
// They view the line's copy, a padded constant or the padded date and time.
constexpr bool Padded(Source source) {
  return source != Source::Operator && source != Source::Moment;
}

// Copies text to out and returns the end, overwriting up to 15 bytes behind
// it when text is padded.
template <bool kPadded>
char* PutText(char* out, std::string_view text) {
  if constexpr (kPadded) {
    std::memcpy(out, text.data(), 16);
    if (text.size() > 16) [[unlikely]] {
      for (std::size_t i = 16; i < text.size(); i += 16) std::memcpy(out + i, text.data() + i, 16);
    }
    return out + text.size();
  } else {
    return CopyBytes(out, text.data(), text.size());
  }
}

// Writes joint J; its size is known here, so the copy is a few fixed moves.
template <std::size_t J>
char* PutJoint(char* out) {
  std::memcpy(out, kJoints.bytes.data() + kJoints.offset[J], kJoints.size[J]);
  return out + kJoints.size[J];
}

// Writes the record, joint after field.
template <std::size_t... V>
char* PutFields(char* out, const Record& record, std::index_sequence<V...> /*unused*/) {
  out = PutJoint<0>(out);
  ((out = PutJoint<V + 1>(
        PutText<Padded(kRecord[kLayout.field[V]].source)>(out, Varying<V>(record)))),
   ...);
  return out;
}

// Writes the record with each bar inside a field as a slash.
template <std::size_t... V>
char* PutFieldsWithoutBars(char* out, const Record& record, std::index_sequence<V...> /*unused*/) {
  out = PutJoint<0>(out);
  // Puts one field, padded or not; put.template operator()<true>(text) is
  // PutText<true>(out, text) followed by the bars' exchange in what it wrote.
  const auto put = [&out]<bool kPadded>(std::string_view text) {
    char* const field = out;
    out = PutText<kPadded>(out, text);
    std::replace(field, out, '|', '/');
  };
  ((put.template operator()<Padded(kRecord[kLayout.field[V]].source)>(Varying<V>(record)),
    out = PutJoint<V + 1>(out)),
   ...);
  return out;
}

}  // namespace

char* PutRecord(char* out, const Record& record) {
  if (!record.mayHoldBars) {
    return PutFields(out, record, std::make_index_sequence<kVaryingFields>());
  }
  return PutFieldsWithoutBars(out, record, std::make_index_sequence<kVaryingFields>());
}

}  // namespace conversion
