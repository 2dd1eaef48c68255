// The Win32 window's fonts: each control's font at a monitor's DPI and the width of a text.

#pragma once

#include <windows.h>

#include <string>

#include "form1_controls.h"

// The fonts of the window's controls at a monitor's DPI.
namespace form1 {

// Returns the font a control of the table uses at dpi; the caller deletes it.
HFONT MakeFont(Font font, UINT dpi);

// Returns how wide text is drawn in font, in pixels.
int TextWidth(HWND control, HFONT font, const std::wstring& text);

}  // namespace form1
