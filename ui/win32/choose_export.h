// The Win32 window's button that chooses the export: the system's file dialog, and the name and
// tooltip that tell what the button does.

#pragma once

#include <windows.h>

#include <string>

namespace form1 {

// Shows the system's open-file dialog, modal to owner, in folder, exports
// listed first; returns the chosen file's full path, or an empty text when the
// user cancels or the dialog cannot be shown. Leaves the current folder as it is.
std::wstring ChooseFile(HWND owner, const std::wstring& folder);

// Gives control the name screen readers read for it, in place of its text,
// through the system's annotation service, which needs COM started on the
// thread; else by answering their requests itself. Returns false when neither
// can be set up.
bool NameForScreenReaders(HWND control, const std::wstring& name);

// Forgets the name NameForScreenReaders gave control, before it is destroyed.
void ForgetScreenReaderName(HWND control);

// Shows text in a tooltip while the mouse rests on control, a child of owner.
void AddTooltip(HWND owner, HWND control, const std::wstring& text);

}  // namespace form1
