// The Win32 window's texts: message boxes' line ends, a control's text, typed
// letters in upper case and the one file a drop names.

#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <string_view>

namespace form1 {

// Converts the core's UTF-8 message, whose lines end in LF, to a box's text.
std::wstring BoxText(std::string_view utf8);

// Returns the text of a control.
std::wstring TextOf(HWND control);

// Returns the character in upper case; one without an upper-case form of one
// UTF-16 unit, control characters and surrogate halves included, stays as it is.
wchar_t UpperChar(wchar_t c);

// Returns the path of the one file a drop holds; an empty text for several
// files, a folder or an address.
std::wstring DroppedFile(HDROP drop);

}  // namespace form1
