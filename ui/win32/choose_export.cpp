// The Win32 window's button that chooses the export: the system's file dialog, and the name and
// tooltip that tell what the button does.

#include "choose_export.h"

#include <commctrl.h>
#include <oleacc.h>
#include <shobjidl.h>

#include <array>

#include "form1_controls.h"
#include "platform_win32.h"

// Handles travel as integers.
// NOLINTBEGIN(performance-no-int-to-ptr)

namespace form1 {

namespace {

// The GUIDs of the annotation service, spelt out: oleacc's import library
// would make the program import oleacc.dll, which COM loads itself.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// Releases a COM object when it goes out of scope.
template <class T>
struct Held {
  T* p = nullptr;
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (p != nullptr) p->Release();
  }
  void** Out() { return reinterpret_cast<void**>(&p); }
};

}  // namespace

std::wstring ChooseFile(HWND owner, const std::wstring& folder) {
  Held<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileOpenDialog, dialog.Out()))) {
    return {};
  }
  // The dialog's patterns ignore case.
  const std::array<COMDLG_FILTERSPEC, 2> filters = {
      {{L"Exports (*.csv, *.txt)", L"*.csv;*.txt"}, {L"All files (*.*)", L"*.*"}}};
  dialog.p->SetFileTypes(static_cast<UINT>(filters.size()), filters.data());
  dialog.p->SetTitle(conversion::platform::Wide(kChooseTitle).c_str());
  FILEOPENDIALOGOPTIONS options = 0;
  dialog.p->GetOptions(&options);
  dialog.p->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST |
                       FOS_NOCHANGEDIR);
  // Opens in folder itself, not in the one the dialog showed last.
  Held<IShellItem> start;
  if (SUCCEEDED(
          SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem, start.Out()))) {
    dialog.p->SetFolder(start.p);
  }
  if (FAILED(dialog.p->Show(owner))) return {};  // Cancel as well
  Held<IShellItem> chosen;
  if (FAILED(dialog.p->GetResult(&chosen.p))) return {};
  PWSTR path = nullptr;
  if (FAILED(chosen.p->GetDisplayName(SIGDN_FILESYSPATH, &path))) return {};
  std::wstring text(path);
  CoTaskMemFree(path);
  return text;
}

bool NameForScreenReaders(HWND control, const std::wstring& name) {
  Held<IAccPropServices> services;
  if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                              services.Out()))) {
    return false;
  }
  return SUCCEEDED(services.p->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                              CHILDID_SELF, kNameProperty, name.c_str()));
}

void ForgetScreenReaderName(HWND control) {
  Held<IAccPropServices> services;
  if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                              services.Out()))) {
    return;
  }
  MSAAPROPID property = kNameProperty;
  services.p->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &property, 1);
}

void AddTooltip(HWND owner, HWND control, const std::wstring& text) {
  // The tooltip belongs to owner, which destroys it with itself.
  HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                             nullptr);
  if (tip == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace form1

// NOLINTEND(performance-no-int-to-ptr)
