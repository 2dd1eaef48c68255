// The Win32 window's fonts: picks an installed face for the control table's fonts and scales it
// to the monitor's DPI.

#include "fonts.h"

#include <array>
#include <cmath>
#include <cwchar>

// Handles and parameters of the Win32 API travel as integers.
// NOLINTBEGIN(performance-no-int-to-ptr)

namespace form1 {

namespace {

// Lists the faces for the named font sizes, best first: the TrueType successor of
// the bitmap font the layout was drawn for, which scales to any DPI, then its
// close relative.
constexpr std::array<const wchar_t*, 2> kFaces = {L"Microsoft Sans Serif", L"Tahoma"};

int CALLBACK NoteFace(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                      LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// Returns true when a font family of that name is installed.
bool Installed(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

// Returns the face of the named sizes: the first installed of kFaces, else the
// face of the system's message font.
const wchar_t* NamedFace(const LOGFONTW& messageFont) {
  static const wchar_t* const face = [] {
    for (const wchar_t* candidate : kFaces) {
      if (Installed(candidate)) return candidate;
    }
    return static_cast<const wchar_t*>(nullptr);
  }();
  return face != nullptr ? face : messageFont.lfFaceName;
}

}  // namespace

HFONT MakeFont(Font font, UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
  if (font.points <= 0) return CreateFontIndirectW(&metrics.lfMessageFont);
  LOGFONTW log{};
  log.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi / 72.0));
  log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  log.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(log.lfFaceName, NamedFace(metrics.lfMessageFont), LF_FACESIZE - 1);
  return CreateFontIndirectW(&log);
}

int TextWidth(HWND control, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

}  // namespace form1

// NOLINTEND(performance-no-int-to-ptr)
