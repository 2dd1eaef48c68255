// The Win32 window on Windows: creates its controls from the control table at the monitor's
// DPI, upper-cases typing and runs a conversion on START.

#include "form1.h"

#include <commctrl.h>

#include <algorithm>

#include "choose_export.h"
#include "fonts.h"
#include "input_name.h"
#include "platform.h"
#include "platform_win32.h"
#include "resource.h"
#include "texts.h"

// Handles, messages and parameters of the Win32 API travel as integers.
// NOLINTBEGIN(performance-no-int-to-ptr)

using form1::BoxText;
using form1::DroppedFile;
using form1::TextOf;
using form1::UpperChar;

namespace {

constexpr const wchar_t* kClassName = L"swisslog-to-marigold.Form1";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;
constexpr int kFirstId = 100;  // command id of the first control; the rest follow in table order

using conversion::platform::Utf8;
using conversion::platform::Wide;

int Pixels(int twips, UINT dpi) { return form1::TwipsToPixels(twips, static_cast<int>(dpi)); }

}  // namespace

Form1::Form1(std::filesystem::path programDir) : programDir_(std::move(programDir)) {
  showBox_ = [](HWND owner, const std::wstring& title, const std::wstring& text) {
    MessageBoxW(owner, text.c_str(), title.c_str(), MB_ICONEXCLAMATION | MB_OK);
  };
  chooseFile_ = form1::ChooseFile;
}

Form1::~Form1() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    for (std::size_t i = 0; i < form1::kControls.size(); ++i) {
      if (!form1::kControls[i].accessibleName.empty()) form1::ForgetScreenReaderName(controls_[i]);
    }
    DestroyWindow(hwnd_);
  }
  for (HFONT font : fonts_) DeleteObject(font);
}

bool Form1::Create(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_MARIGOLD), IMAGE_ICON, 32, 32, 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MARIGOLD),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) return false;
  }
  const std::wstring caption = Wide(form1::kCaption);
  hwnd_ =
      CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  if (hwnd_ == nullptr) return false;
  CreateControls(instance);
  // A file dropped on the box goes to it; anywhere else, to the window.
  DragAcceptFiles(hwnd_, TRUE);
  DragAcceptFiles(Text1, TRUE);
  ApplyDpi(GetDpiForWindow(hwnd_), nullptr);
  focus_ = Command1;
  return true;
}

void Form1::CreateControls(HINSTANCE instance) {
  // Creates the controls in tab order, but for each box's label, made just before
  // its box: the dialog manager tabs through the controls that take focus in the
  // order they were made, and a box takes its accessible name from the label
  // made before it.
  for (std::size_t index : form1::kCreationOrder) {
    const form1::Control& control = form1::kControls[index];
    const wchar_t* windowClass = WC_STATICW;
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (control.kind) {
      case form1::Kind::PushButton:
        windowClass = WC_BUTTONW;
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
      case form1::Kind::TextBox:
        windowClass = WC_EDITW;
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case form1::Kind::Label:
        style |= SS_NOPREFIX;
        if (control.centred) {
          style |= SS_CENTER;
        } else {
          style |= control.wrapsLines ? SS_LEFT : SS_LEFTNOWORDWRAP;
        }
        if (control.fieldLook) style |= WS_BORDER;
        break;
    }
    const std::wstring text = Wide(control.text);
    controls_[index] = CreateWindowExW(
        exStyle, windowClass, text.c_str(), style, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + static_cast<int>(index))), instance,
        nullptr);
  }
  Command1 = Control("Command1");
  Command2 = Control("Command2");
  Command3 = Control("Command3");
  Label1 = Control("Label1");
  Label2 = Control("Label2");
  Label3 = Control("Label3");
  Label4 = Control("Label4");
  Label5 = Control("Label5");
  Text1 = Control("Text1");
  Text2 = Control("Text2");
  // A button's name is its text; a name of its own tells what the button does.
  for (std::size_t i = 0; i < form1::kControls.size(); ++i) {
    const std::wstring name = Wide(form1::kControls[i].accessibleName);
    if (name.empty()) continue;
    form1::NameForScreenReaders(controls_[i], name);
    form1::AddTooltip(hwnd_, controls_[i], name);
  }
  SetWindowSubclass(Text1, EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(Text2, EditProc, 2, reinterpret_cast<DWORD_PTR>(this));
}

HWND Form1::Control(std::string_view name) const {
  for (std::size_t i = 0; i < form1::kControls.size(); ++i) {
    if (form1::kControls[i].name == name) return controls_[i];
  }
  return nullptr;
}

void Form1::ApplyDpi(UINT dpi, const RECT* suggested) {
  std::vector<HFONT> fonts;
  for (std::size_t i = 0; i < form1::kControls.size(); ++i) {
    const form1::Control& control = form1::kControls[i];
    HFONT font = form1::MakeFont(control.font, dpi);
    fonts.push_back(font);
    SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    const int left = Pixels(control.left, dpi);
    const int top = Pixels(control.top, dpi);
    // Rounds both edges rather than the size, so that neighbours meet exactly.
    int width = Pixels(control.left + control.width, dpi) - left;
    const int height = Pixels(control.top + control.height, dpi) - top;
    if (control.kind == form1::Kind::Label && !control.wrapsLines && !control.fieldLook) {
      // A one-line label grows to the right rather than cut its text.
      width = std::max(width, form1::TextWidth(controls_[i], font, Wide(control.text)));
    }
    SetWindowPos(controls_[i], nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (HFONT font : fonts_) DeleteObject(font);
  fonts_ = std::move(fonts);

  if (suggested != nullptr) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    RECT frame{0, 0, Pixels(form1::kClientWidth, dpi), Pixels(form1::kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Form1::PreTranslate(MSG& msg) { return IsDialogMessageW(hwnd_, &msg) != FALSE; }

LRESULT CALLBACK Form1::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Form1*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        const HWND control = reinterpret_cast<HWND>(lParam);
        if (control == Command1 && control != nullptr) Command1_Click();
        if (control == Command2 && control != nullptr) Command2_Click();
        if (control == Command3 && control != nullptr) Command3_Click();
      }
      return 0;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          LabelColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    case WM_DROPFILES:
      Form_DragDrop(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_DPICHANGED:
      ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_ACTIVATE:
      // Keeps the focused control across a switch to another window.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      if (focus_ != nullptr) SetFocus(focus_);
      return 0;
    case WM_DESTROY:
      // Closing the window ends the program.
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

HBRUSH Form1::LabelColours(HWND label, HDC dc) const {
  int background = COLOR_BTNFACE;
  COLORREF text = GetSysColor(COLOR_BTNTEXT);
  for (std::size_t i = 0; i < form1::kControls.size(); ++i) {
    if (controls_[i] != label) continue;
    if (form1::kControls[i].red) text = RGB(255, 0, 0);
    if (form1::kControls[i].fieldLook) {
      background = COLOR_WINDOW;
      text = GetSysColor(COLOR_WINDOWTEXT);
    }
  }
  SetTextColor(dc, text);
  SetBkColor(dc, GetSysColor(background));
  return GetSysColorBrush(background);
}

LRESULT CALLBACK Form1::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self) {
  if (message == WM_CHAR) {
    auto* form = reinterpret_cast<Form1*>(self);
    auto KeyAscii = static_cast<wchar_t>(wParam);
    if (edit == form->Text1) form->Text1_KeyPress(KeyAscii);
    if (edit == form->Text2) form->Text2_KeyPress(KeyAscii);
    wParam = KeyAscii;
  } else if (message == WM_DROPFILES && edit == reinterpret_cast<Form1*>(self)->Text1) {
    // The edit control's own handling would ignore the drop.
    reinterpret_cast<Form1*>(self)->Form_DragDrop(reinterpret_cast<HDROP>(wParam));
    return 0;
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(edit, EditProc, id);
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

void Form1::Text1_KeyPress(wchar_t& KeyAscii) { KeyAscii = UpperChar(KeyAscii); }

void Form1::Text2_KeyPress(wchar_t& KeyAscii) { KeyAscii = UpperChar(KeyAscii); }

void Form1::Form_DragDrop(HDROP drop) {
  const std::wstring path = DroppedFile(drop);
  DragFinish(drop);
  if (!path.empty()) SetWindowTextW(Text1, path.c_str());
}

void Form1::Command3_Click() {
  const std::string folder =
      conversion::ExportFolder(conversion::platform::PathText(programDir_), Utf8(TextOf(Text1)));
  const std::wstring path = chooseFile_(hwnd_, Wide(folder));
  if (!path.empty()) SetWindowTextW(Text1, path.c_str());
}

void Form1::Command1_Click() {
  form_.xx = 0;
  form_.NomeFile = Utf8(TextOf(Text1));
  form_.NomeUtente = Utf8(TextOf(Text2));
  conversion::ConvertFile(form_, programDir_, *this);
  FlushCounter();
}

void Form1::Command2_Click() { showBox_(hwnd_, Wide(form1::kInfoTitle), Wide(form1::kInfoText)); }

void Form1::RepaintCounter() {
  if (counterPace_.Due()) FlushCounter();
}

void Form1::SetCounterText(std::string_view text) { counterText_.assign(text); }

void Form1::ShowMessage(std::string_view text) {
  // The closing message follows the last line: the final count shows behind it.
  FlushCounter();
  showBox_(hwnd_, Wide(form1::kProgramName), BoxText(text));
}

void Form1::FlushCounter() {
  SetWindowTextW(Label2, Wide(counterText_).c_str());
  RedrawWindow(Label2, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// NOLINTEND(performance-no-int-to-ptr)
