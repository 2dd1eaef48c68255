// The Win32 window's button that chooses the export: the system's file dialog, and the name and
// tooltip that tell what the button does.

#include "choose_export.h"

#include <commctrl.h>
#include <oleacc.h>
#include <shobjidl.h>

#include <array>
#include <utility>

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
constexpr IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

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

// Answers as a control's standard accessible object does, but with a name of
// its own for the control itself. COM interfaces have no virtual destructor:
// Release deletes the object as what it is.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class NamedAccessible final : public IAccessible {
 public:
  // Takes over the reference the caller holds on standard.
  NamedAccessible(IAccessible* standard, std::wstring name)
      : standard_(standard), name_(std::move(name)) {}
  NamedAccessible(const NamedAccessible&) = delete;
  NamedAccessible& operator=(const NamedAccessible&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return standard_->get_accName(child, name);
    if (name == nullptr) return E_POINTER;
    *name = SysAllocString(name_.c_str());
    return *name == nullptr ? E_OUTOFMEMORY : S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override {
    return standard_->get_accChild(child, dispatch);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return standard_->get_accDescription(child, description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return standard_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return standard_->get_accFocus(focus);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return standard_->get_accSelection(selection);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
    return standard_->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  ~NamedAccessible() { standard_->Release(); }

  IAccessible* standard_;
  std::wstring name_;
  ULONG references_ = 1;
};
#pragma GCC diagnostic pop

// The two calls of oleacc.dll the stand-in name needs, loaded when first asked
// for, so that the program imports no DLL beyond its list.
struct Oleacc {
  using CreateStd = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using ResultFrom = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  CreateStd createStd = nullptr;
  ResultFrom resultFrom = nullptr;

  static const Oleacc& Get() {
    static const Oleacc oleacc = [] {
      Oleacc loaded;
      HMODULE module = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
      if (module == nullptr) return loaded;
      // A function found by name has no type until it is given its own.
      using Any = void (*)();
      loaded.createStd = reinterpret_cast<CreateStd>(
          reinterpret_cast<Any>(GetProcAddress(module, "CreateStdAccessibleObject")));
      loaded.resultFrom = reinterpret_cast<ResultFrom>(
          reinterpret_cast<Any>(GetProcAddress(module, "LresultFromObject")));
      return loaded;
    }();
    return oleacc;
  }
};

// Answers a screen reader's request for a control's object with the standard
// one under the name the subclass holds; frees the name with the control.
LRESULT CALLBACK NamedProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                           DWORD_PTR data) {
  const auto* name = reinterpret_cast<const std::wstring*>(data);
  if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
    const Oleacc& oleacc = Oleacc::Get();
    IAccessible* standard = nullptr;
    if (oleacc.createStd != nullptr && oleacc.resultFrom != nullptr &&
        SUCCEEDED(oleacc.createStd(control, OBJID_CLIENT, kIAccessible,
                                   reinterpret_cast<void**>(&standard)))) {
      auto* named = new NamedAccessible(standard, *name);
      const LRESULT result = oleacc.resultFrom(kIAccessible, wParam, named);
      named->Release();
      return result;
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(control, NamedProc, id);
    delete name;
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

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
  if (SUCCEEDED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                 services.Out())) &&
      SUCCEEDED(services.p->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                           kNameProperty, name.c_str()))) {
    return true;
  }
  // Where the annotation service is missing or a stub, as under Wine, the
  // control answers for itself.
  return SetWindowSubclass(control, NamedProc, 1,
                           reinterpret_cast<DWORD_PTR>(new std::wstring(name)));
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
