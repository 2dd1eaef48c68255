// The platform layer's errors' words, clock and regional settings on Linux: strerror's reasons,
// the locale's date forms and the conversion to the 8-bit code page.

#include <iconv.h>
#include <langinfo.h>
#include <clocale>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include "platform.h"
#include "text.h"

namespace conversion::platform {

namespace {

// Speaks of errno values in strerror's words.
class ErrnoCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "errno"; }

  std::string message(int code) const override { return std::generic_category().message(code); }

  std::error_condition default_error_condition(int code) const noexcept override {
    // A program running the file is one more program that has it open.
    if (code == ETXTBSY) code = EBUSY;
    return {code, std::generic_category()};
  }
};

}  // namespace

const std::error_category& Category() {
  static const ErrnoCategory category;
  return category;
}

std::error_code SystemError(std::errc condition) {
  return {static_cast<int>(condition), Category()};
}

const char kSeparator = '/';

std::string PathText(const std::filesystem::path& path) { return path.native(); }

std::size_t RootLength(std::string_view path) { return path.starts_with('/') ? 1 : 0; }

bool PartlyRooted(std::string_view /*path*/) { return false; }

bool IsDeviceName(std::string_view /*name*/) { return false; }

std::time_t Now() { return std::time(nullptr); }

std::string FormatMoment(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
  std::array<char, 256> buffer{};
  const std::size_t n =
      std::strftime(buffer.data(), buffer.size(), midnight ? "%x" : "%x %X", &local);
  return std::string(buffer.data(), n);
}

DateOrder DateOrderOf(std::string_view pattern) {
  for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    std::size_t c = i + 1;
    // Skips the flags, width and modifiers of glibc's conversions.
    while (c < pattern.size() &&
           std::string_view("_-0^#EO123456789").find(pattern[c]) != std::string_view::npos) {
      ++c;
    }
    if (c == pattern.size()) break;
    switch (pattern[c]) {
      case 'd':
      case 'e':
        return DateOrder::DayFirst;
      case 'm':
      case 'D':  // %m/%d/%y
        return DateOrder::MonthFirst;
      case 'y':
      case 'Y':
      case 'C':
      case 'G':
      case 'g':
      case 'F':  // %Y-%m-%d
        return DateOrder::Unknown;
      default:
        break;
    }
    i = c;
  }
  return DateOrder::Unknown;
}

RegionalDates ReadRegionalDates() {
  RegionalDates dates;
  // Finds LC_TIME's locale as setlocale would, without changing the program's.
  const char* name = nullptr;
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    name = std::getenv(variable);
    if (name != nullptr && *name != '\0') break;
  }
  const std::string_view locale = name != nullptr ? name : "";
  if (locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C.")) {
    return dates;
  }
  locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name, nullptr);
  if (loc == nullptr) return dates;
  dates.order = DateOrderOf(nl_langinfo_l(D_FMT, loc));
  const std::string_view codeset = nl_langinfo_l(CODESET, loc);
  // Takes words in another encoding only when they are ASCII.
  const bool utf8 = codeset == "UTF-8";
  const auto word = [&](nl_item item) {
    std::string text = nl_langinfo_l(item, loc);
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return utf8 || ascii ? text : std::string();
  };
  dates.am = word(AM_STR);
  dates.pm = word(PM_STR);
  freelocale(loc);
  return dates;
}

std::string ToEightBit(std::string_view utf8) {
  std::string out;
  iconv_t cd = iconv_open("WINDOWS-1252", "UTF-8");
  // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open reports failure as (iconv_t)-1.
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Without a converter only ASCII is certain to come through.
    for (char c : utf8) out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
    return out;
  }
  std::string in(utf8);
  char* src = in.data();
  std::size_t srcLeft = in.size();
  out.resize(in.size() + 4);
  std::size_t used = 0;
  while (srcLeft > 0) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (no such character or not UTF-8) or EINVAL (cut off at the end).
    if (used == out.size()) out.resize(out.size() * 2);
    out[used++] = '?';
    const auto pos = static_cast<std::size_t>(src - in.data());
    const std::size_t skip = CharLength(in, pos);
    src += skip;
    srcLeft -= skip;
  }
  iconv_close(cd);
  out.resize(used);
  return out;
}

std::string FromEightBit(std::string_view bytes) {
  // Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined are 0.
  // From 0xA0 on it is Latin-1, whose bytes are their code points.
  static constexpr std::array<char16_t, 32> kHigh = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out.push_back(c);
      continue;
    }
    const char32_t code = b < 0xA0 ? kHigh[b - 0x80] : b;
    if (code == 0) {
      out.append("\xEF\xBF\xBD");
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

}  // namespace conversion::platform
