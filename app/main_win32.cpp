// The Windows program's start-up: finds the program's folder, shows the window and runs its
// message loop.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <filesystem>
#include <string>

#include "form1.h"

namespace {

// Returns the folder that holds the running program; a drive's root keeps its
// separator. Empty when the system does not say, which START then tells.
std::filesystem::path ProgramDir() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).parent_path();
}

// Shows the window and handles its messages until it is closed; returns the program's exit code.
int RunWindow(HINSTANCE instance, int show) {
  Form1 form(ProgramDir());
  if (!form.Create(instance)) return 1;
  ShowWindow(form.Handle(), show);
  UpdateWindow(form.Handle());

  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (form.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  // The file dialog and the button's name for screen readers need COM.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const int code = RunWindow(instance, show);
  if (com) CoUninitialize();
  return code;
}
