// The Win32 window's texts: message boxes' line ends, a control's text, typed
// letters in upper case and the one file a drop names.

#include "texts.h"

#include "platform.h"
#include "platform_win32.h"

// Handles travel as integers, and CharUpperW takes a character as one.
// NOLINTBEGIN(performance-no-int-to-ptr)

namespace form1 {

using conversion::platform::Utf8;
using conversion::platform::Wide;

// Converts the core's UTF-8 message, whose lines end in LF, to a box's text.
std::wstring BoxText(std::string_view utf8) {
  const std::wstring wide = Wide(utf8);
  std::wstring text;
  text.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) text += L'\r';
    text += wide[i];
  }
  return text;
}

// Returns the text of a control.
std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Returns the character in upper case; one without an upper-case form of one
// UTF-16 unit, control characters and surrogate halves included, stays as it is.
wchar_t UpperChar(wchar_t c) {
  // CharUpperW takes a single character in the low word of its pointer argument.
  const auto upper =
      reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c))));
  return static_cast<wchar_t>(upper & 0xFFFF);
}

// Returns the path of the one file a drop holds; an empty text for several
// files, a folder or an address.
std::wstring DroppedFile(HDROP drop) {
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) != 1) return {};
  std::wstring path(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
  path.resize(DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size())));
  // An address is no path of this machine.
  if (conversion::platform::RootLength(Utf8(path)) == 0) return {};
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {};
  }
  return path;
}

}  // namespace form1

// NOLINTEND(performance-no-int-to-ptr)
