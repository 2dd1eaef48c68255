#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <ctime>
#include <string>
#include <system_error>

#include "platform.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>

#include "platform_win32.h"
#endif

namespace {

using conversion::platform::FormatMoment;
using conversion::platform::ToEightBit;
TEST(Platform, ConvertsToTheEightBitCodePageWithQuestionMarksForTheRest) {
#ifdef _WIN32
  if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is " << ::GetACP();
#endif
  EXPECT_EQ(ToEightBit("M\xC3\xBCller"), "M\xFCller");
  EXPECT_EQ(ToEightBit("\xE2\x82\xAC 5"), "\x80 5");
  EXPECT_EQ(ToEightBit("\xCE\xA9mega \xF0\x9F\x93\xBB!"), "?mega ?!");  // no look-alike for Ω
  EXPECT_EQ(ToEightBit("\xF0\x9F\x93\xBB\xF0\x9F\x93\xBB\xC3\xBC"), "??\xFC");
  EXPECT_EQ(ToEightBit("a\xFF"
                       "b\xC3"),
            "a?b?");
  EXPECT_EQ(ToEightBit(""), "");
}

TEST(Platform, ConvertsFromTheEightBitCodePageToUtf8WithReplacementsForUndefinedBytes) {
#ifdef _WIN32
  if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is " << ::GetACP();
#endif
  using conversion::platform::FromEightBit;
  EXPECT_EQ(FromEightBit("M\xFCller"), "M\xC3\xBCller");
  EXPECT_EQ(FromEightBit("\x80 5 \x9F\xA0\xFF"),
            "\xE2\x82\xAC 5 \xC5\xB8\xC2\xA0\xC3\xBF");  // €, Ÿ, no-break space, ÿ
  // The five bytes Windows-1252 leaves undefined.
  EXPECT_EQ(FromEightBit("a\x81\x8D\x8F\x90\x9D"
                         "b"),
            "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(FromEightBit(std::string("\0\r\n", 3)), std::string("\0\r\n", 3));
  EXPECT_EQ(FromEightBit(""), "");
  // Every byte comes back, and the way back gives it again.
  for (int b = 0xA0; b <= 0xFF; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(ToEightBit(FromEightBit(byte)), byte) << b;
  }
}

TEST(Platform, SystemErrorsMeanTheirConditionAndReadAsPlainWords) {
  const std::array conditions = {std::errc::no_such_file_or_directory,
                                 std::errc::permission_denied,
                                 std::errc::device_or_resource_busy,
                                 std::errc::no_space_on_device,
                                 std::errc::is_a_directory,
                                 std::errc::io_error,
                                 std::errc::interrupted,
                                 std::errc::operation_would_block};
  for (const std::errc condition : conditions) {
    const std::error_code error = conversion::platform::SystemError(condition);
    SCOPED_TRACE(error.message());
    EXPECT_EQ(error.category(), conversion::platform::Category());
    EXPECT_EQ(error, condition);
    for (const std::errc other : conditions) {
      if (other != condition) {
        EXPECT_NE(error, other);
      }
    }
    const std::string reason = conversion::platform::Reason(error);
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(reason.back(), '.');
    EXPECT_EQ(reason.find_first_of("\r\n"), std::string::npos);
  }
  EXPECT_FALSE(std::error_code() == std::errc::interrupted);
}

TEST(Platform, ClockAgreesWithTheCLibrary) {
  const std::time_t before = std::time(nullptr);
  const std::time_t now = conversion::platform::Now();
  EXPECT_GE(now, before);
  EXPECT_LE(now, std::time(nullptr));
}

TEST(Platform, MomentIsTheShortDateAndTheLongTimeAndTheDateAloneAtMidnight) {
  const std::time_t afternoon = test::Recorder::LocalTime(2026, 12, 7, 14, 5, 9);
  const std::time_t midnight = test::Recorder::LocalTime(2026, 12, 7, 0, 0, 0);
#ifdef _WIN32
  EXPECT_EQ(FormatMoment(afternoon), test::SystemMoment(14, 5, 9));
  EXPECT_EQ(FormatMoment(midnight), test::SystemMoment(0, 0, 0, true));
#else
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(FormatMoment(afternoon), "12/07/26 14:05:09");
  EXPECT_EQ(FormatMoment(midnight), "12/07/26");
#endif
}

}  // namespace
