// The platform layer's UTF-8 and UTF-16 conversions on Windows, for the core and the window.

#pragma once

#include <string>
#include <string_view>

// Text conversions of the Windows build, for the window as for the core.
namespace conversion::platform {

// Converts UTF-8 to UTF-16; bytes that are not UTF-8 become U+FFFD.
std::wstring Wide(std::string_view utf8);

// Converts UTF-16 to UTF-8.
std::string Utf8(std::wstring_view wide);

}  // namespace conversion::platform
