#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "form1.h"
#include "platform_win32.h"
#include "window_export.h"

// Handles and message parameters of the Win32 API travel as integers.
// NOLINTBEGIN(performance-no-int-to-ptr)

namespace {

struct Box {
  std::wstring title;
  std::wstring text;
  std::wstring counter;  // what Label2 showed while the box was up
};

std::wstring TextOf(HWND control) {
  std::wstring text(512, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), 512)));
  return text;
}

std::filesystem::path MakeTempDir() {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              (L"form1-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(GetTickCount64()));
  std::filesystem::create_directories(dir);
  return dir;
}

// Starts COM on the thread for as long as it lives, as the program does.
struct Com {
  Com() { EXPECT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() { CoUninitialize(); }
};

class Form1Test : public testing::Test {
 protected:
  Form1Test() : dir_(MakeTempDir()), form_(dir_) {
    form_.SetMessageBox([this](HWND owner, const std::wstring& title, const std::wstring& text) {
      EXPECT_EQ(owner, form_.Handle());
      boxes_.push_back({title, text, TextOf(Control("Label2"))});
    });
    EXPECT_TRUE(form_.Create(GetModuleHandleW(nullptr)));
    ShowWindow(form_.Handle(), SW_SHOW);
    SetForegroundWindow(form_.Handle());
    Pump();
  }

  ~Form1Test() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  HWND Control(const char* name) {
    HWND control = form_.Control(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  // Handles what is queued, as the program's message loop does.
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT || form_.PreTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  static void Type(HWND edit, std::wstring_view text) {
    for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
  }

  static void Retype(HWND edit, std::wstring_view text) {
    SetWindowTextW(edit, L"");
    Type(edit, text);
  }

  void WriteExport(const std::string& content) {
    std::ofstream(dir_ / "LOG.CSV", std::ios::binary) << content;
  }

  // Returns field 3, the operator, of each record in marigold.txt.
  std::vector<std::string> OperatorFields() {
    std::ifstream file(dir_ / "marigold.txt", std::ios::binary);
    EXPECT_TRUE(file.is_open());
    std::vector<std::string> operators;
    std::string line;
    while (std::getline(file, line)) {
      EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
      std::istringstream fields(line);
      std::string field;
      for (int i = 0; i <= 3; ++i) std::getline(fields, field, '|');
      operators.push_back(field);
    }
    return operators;
  }

  // Returns the message that ends a run of n records, which names marigold.txt.
  std::wstring Finish(int n) {
    return L"FINISH MARIGOLD.TXT with " + std::to_wstring(n) + L" DATA in FILE\r\nWritten to \"" +
           (dir_ / L"marigold.txt").wstring() + L"\".";
  }

  Com com_;
  std::filesystem::path dir_;
  Form1 form_;
  std::vector<Box> boxes_;
};

const std::string kExport(ui_test::kExport);

TEST_F(Form1Test, TypedLettersArriveUpperCaseWhilePasteKeepsCase) {
  HWND text1 = Control("Text1");
  // é has an upper case of its own, ß has none of one character.
  Retype(text1, L"log-2\u00e9\u00df.csv");
  EXPECT_EQ(TextOf(text1), L"LOG-2\u00c9\u00df.CSV");
  Type(text1, L"\b");
  EXPECT_EQ(TextOf(text1), L"LOG-2\u00c9\u00df.CS");

  HWND text2 = Control("Text2");
  SetWindowTextW(text2, L"");
  ASSERT_TRUE(OpenClipboard(form_.Handle()));
  EmptyClipboard();
  const std::wstring pasted = L"Mixed Case";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
  std::copy(pasted.c_str(), pasted.c_str() + pasted.size() + 1,
            static_cast<wchar_t*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SendMessageW(text2, WM_PASTE, 0, 0);
  Type(text2, L"x");
  EXPECT_EQ(TextOf(text2), L"Mixed CaseX");
}

TEST_F(Form1Test, StartConvertsTheExportWithTheTypedNames) {
  WriteExport(kExport);
  Retype(Control("Text1"), L"log.csv");
  Retype(Control("Text2"), L"hb9abc");
  SendMessageW(Control("Command1"), BM_CLICK, 0, 0);

  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_EQ(boxes_[0].title, L"swisslog-to-marigold");
  EXPECT_EQ(boxes_[0].text, Finish(3));
  EXPECT_EQ(boxes_[0].counter, L"3");
  EXPECT_EQ(OperatorFields(), (std::vector<std::string>{"HB9ABC", "HB9ABC", "HB9ABC"}));

  // A second run starts counting from 0 again and ends on its own count.
  WriteExport(kExport.substr(0, kExport.find("DL,")));
  SetWindowTextW(Control("Text2"), L"");
  SendMessageW(Control("Command1"), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes_.size(), 2U);
  EXPECT_EQ(boxes_[1].text, Finish(2));
  EXPECT_EQ(boxes_[1].counter, L"2");
  EXPECT_EQ(OperatorFields(), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(TextOf(Control("Label2")), L"2");
}

TEST_F(Form1Test, FailureShowsTheCoreMessageWithWindowsLineBreaks) {
  Retype(Control("Text1"), L"missing.csv");
  SendMessageW(Control("Command1"), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_EQ(boxes_[0].title, L"swisslog-to-marigold");
  EXPECT_NE(boxes_[0].text.find(L"MISSING.CSV"), std::wstring::npos) << boxes_[0].text;
  for (std::size_t i = boxes_[0].text.find(L'\n'); i != std::wstring::npos;
       i = boxes_[0].text.find(L'\n', i + 1)) {
    EXPECT_EQ(boxes_[0].text[i - 1], L'\r') << boxes_[0].text;
  }
}

TEST_F(Form1Test, AMissingExportInTheTemporaryFolderIsToldToLeaveTheZip) {
  // The test's folder lies in the temporary folder, as a zip's is when Explorer runs from it.
  Retype(Control("Text1"), L"log.csv");
  SendMessageW(Control("Command1"), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_NE(boxes_[0].text.find(L"\r\nThe program runs from inside the zip, in a temporary "
                                L"folder: copy swisslog-to-marigold.exe into a folder of your "
                                L"own, put the export beside it and start it there.\r\n"),
            std::wstring::npos)
      << boxes_[0].text;
}

// Returns the name a screen reader reads for a control, through MSAA.
std::wstring AccessibleName(HWND control) {
  // oleacc's import library names IID_IAccessible as an import, not as the GUID's bytes.
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&accessible)))) {
    return L"?";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring text = L"?";
  if (accessible->get_accName(self, &name) == S_OK && name != nullptr) {
    text.assign(name, SysStringLen(name));
  }
  SysFreeString(name);
  accessible->Release();
  return text;
}

// Returns a drop of files as the shell hands it to a window: a DROPFILES block
// followed by the paths, each ended by a null, and one null more.
HDROP DropOf(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const std::wstring& path : paths) list += path + L'\0';
  list += L'\0';
  const std::size_t size = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  std::copy(list.begin(), list.end(),
            reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(files) + sizeof(DROPFILES)));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST_F(Form1Test, ADroppedFileNamesTheExportAsItIsAndStartsNothing) {
  WriteExport(kExport);
  const std::filesystem::path file = dir_ / L"My L\u00f6g.csv";
  std::filesystem::copy_file(dir_ / "LOG.CSV", file);
  const std::filesystem::path shortcut = dir_ / L"Log.lnk";
  std::ofstream(shortcut, std::ios::binary) << "L";
  HWND text1 = Control("Text1");
  for (HWND target : {text1, form_.Handle()}) {
    for (const std::filesystem::path& path : {shortcut, file}) {
      Retype(text1, L"old");
      SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({path.wstring()})), 0);
      EXPECT_EQ(TextOf(text1), path.wstring());  // in place of the old text, not in capitals
    }
  }
  // Two files, a folder and an address change nothing.
  Retype(text1, L"old");
  for (const std::vector<std::wstring>& paths :
       {std::vector<std::wstring>{file.wstring(), file.wstring()},
        std::vector<std::wstring>{dir_.wstring()},
        std::vector<std::wstring>{L"https://example.org/LOG.CSV"}}) {
    SendMessageW(text1, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(paths)), 0);
    SendMessageW(form_.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(paths)), 0);
    EXPECT_EQ(TextOf(text1), L"OLD");
  }
  EXPECT_TRUE(boxes_.empty()) << "a drop starts no run";
  EXPECT_FALSE(std::filesystem::exists(dir_ / "marigold.txt"));

  // START converts the dropped path, its case and blank kept.
  SendMessageW(text1, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({file.wstring()})), 0);
  SendMessageW(Control("Command1"), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_EQ(boxes_[0].text, Finish(3));
}

TEST_F(Form1Test, ScreenReadersNameEachFieldByItsLabel) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  EXPECT_EQ(AccessibleName(Control("Text1")), L"FileName in path:");
  EXPECT_EQ(AccessibleName(Control("Text2")), L"Operator Name:");
  EXPECT_EQ(AccessibleName(Control("Command1")), L"START");
  EXPECT_EQ(AccessibleName(Control("Command2")), L"INFO");
  EXPECT_EQ(AccessibleName(Control("Command3")), L"Choose the export file");
  CoUninitialize();
}

TEST_F(Form1Test, TheButtonBesideText1OpensTheDialogWhereTheNameLeadsAndFillsTheBox) {
  const std::filesystem::path other = MakeTempDir() / L"Exports";
  std::filesystem::create_directories(other);
  std::vector<std::wstring> folders;
  std::wstring chosen;  // what the stand-in dialog returns; empty for Cancel
  form_.SetFileDialog([&](HWND owner, const std::wstring& folder) {
    EXPECT_EQ(owner, form_.Handle());
    folders.push_back(folder);
    return chosen;
  });
  HWND text1 = Control("Text1");
  // A missing file opens its folder; a missing folder, the program's.
  const std::vector<std::pair<std::wstring, std::wstring>> starts = {
      {L"LOG.CSV", dir_.wstring()},
      {(other / L"NEW.CSV").wstring(), other.wstring()},
      {other.wstring(), other.wstring()},
      {(other / L"NOWHERE" / L"LOG.CSV").wstring(), dir_.wstring()}};
  for (const auto& [typed, folder] : starts) {
    SetWindowTextW(text1, typed.c_str());
    SendMessageW(Control("Command3"), BM_CLICK, 0, 0);
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.back(), folder) << conversion::platform::Utf8(typed);
    EXPECT_EQ(TextOf(text1), typed) << "Cancel leaves the box as it was";
  }

  // A file chosen outside the program's folder: its path as it is, nothing started.
  chosen = (other / L"My Log.csv").wstring();
  std::ofstream(std::filesystem::path(chosen), std::ios::binary) << kExport;
  SendMessageW(Control("Command3"), BM_CLICK, 0, 0);
  EXPECT_EQ(TextOf(text1), chosen);
  EXPECT_TRUE(boxes_.empty());
  SendMessageW(Control("Command1"), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_EQ(boxes_[0].text, Finish(3)) << "marigold.txt is written beside the program";
  EXPECT_EQ(OperatorFields().size(), 3U);
  std::error_code ignored;
  std::filesystem::remove_all(other.parent_path(), ignored);
}

TEST_F(Form1Test, InfoShowsTheExpectedColumns) {
  SendMessageW(Control("Command2"), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes_.size(), 1U);
  EXPECT_EQ(boxes_[0].title, L"MARIGOLD CVS FORMAT");
  EXPECT_EQ(boxes_[0].text,
            L"For to work correctly please make this format of data in CVS format:\r\n\r\n"
            L"DXCC,Call,Date,Time,End,Band,Mode,QRG,Name,Operator,Comment,QTH-Locator,QTH,RSTS,"
            L"RSTS_NR,RSTR,RSTR_NR,QSLR,QSLS,QSL-Action,SPEZ,MY-QTH,Contest,QSL-Mgr,Region,WPX");
}

TEST_F(Form1Test, TabMovesFromStartToInfoToBothFieldsAndTheButtonBetween) {
  SetFocus(Control("Command1"));
  const std::vector<std::string> names = {"Command1", "Command2", "Text1", "Command3", "Text2"};
  std::vector<std::string> visited;
  for (int i = 0; i < 5; ++i) {
    HWND focus = GetFocus();
    std::string name = "?";
    for (const std::string& candidate : names) {
      if (form_.Control(candidate) == focus) name = candidate;
    }
    visited.push_back(name);
    MSG tab{focus, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
    EXPECT_TRUE(form_.PreTranslate(tab));
    Pump();
  }
  EXPECT_EQ(visited, names);
  EXPECT_EQ(GetFocus(), Control("Command1"));
}

struct Place {
  LONG x, y, width, height;
  bool operator==(const Place&) const = default;
};

void PrintTo(const Place& p, std::ostream* os) {
  *os << p.x << "," << p.y << " " << p.width << "x" << p.height;
}

// Returns where a control sits in its window's client area.
Place PlaceOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

TEST_F(Form1Test, LayoutFollowsTwipsAt96DpiAndRescalesOnADpiChange) {
  if (GetDpiForWindow(form_.Handle()) != 96) GTEST_SKIP() << "screen not 96 dpi";
  RECT client;
  GetClientRect(form_.Handle(), &client);
  EXPECT_EQ(client.right, 444);
  EXPECT_EQ(client.bottom, 157);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(form_.Handle(), GWL_STYLE));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0U);
  EXPECT_EQ(PlaceOf(Control("Command1")), (Place{9, 6, 99, 27}));
  EXPECT_EQ(PlaceOf(Control("Label2")), (Place{340, 106, 92, 26}));
  // The button ends where Text2 does, clear of Text1.
  EXPECT_EQ(PlaceOf(Control("Command3")), (Place{134, 60, 24, 23}));
  EXPECT_EQ(PlaceOf(Control("Text1")), (Place{9, 60, 120, 23}));
  EXPECT_EQ(FontOf(Control("Command1")).lfHeight, -18);
  EXPECT_EQ(FontOf(Control("Command1")).lfWeight, FW_BOLD);
  EXPECT_EQ(FontOf(Control("Label4")).lfHeight, -11);

  // A move to a monitor at 150 %: the suggested rectangle places the window.
  RECT suggested{0, 0, 666, 236};
  AdjustWindowRectExForDpi(&suggested, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           FALSE, 0, 144);
  OffsetRect(&suggested, 100 - suggested.left, 50 - suggested.top);
  SendMessageW(form_.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  RECT window;
  GetWindowRect(form_.Handle(), &window);
  EXPECT_EQ(window.left, suggested.left);
  EXPECT_EQ(window.top, suggested.top);
  EXPECT_EQ(PlaceOf(Control("Command1")), (Place{14, 9, 148, 41}));
  EXPECT_EQ(FontOf(Control("Command1")).lfHeight, -27);
  EXPECT_EQ(FontOf(Control("Label2")).lfHeight, -27);
}

TEST_F(Form1Test, ShowsTheIcon) {
  auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(form_.Handle(), GCLP_HICON));
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 32);
  EXPECT_EQ(bitmap.bmHeight, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

}  // namespace

// NOLINTEND(performance-no-int-to-ptr)
