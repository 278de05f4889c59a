// Text is UTF-16 inside the program and the ANSI code page at the boundary
// (messages to the messenger, the code list file, the shell, the clipboard).
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace win {

// Characters the ANSI code page lacks are replaced by the conversion's default.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

std::wstring HwndGetText(HWND hwnd);
void HwndSetText(HWND hwnd, const std::wstring& text);

int LbAddString(HWND list, const std::wstring& text);
int LbGetCount(HWND list);
std::wstring LbGetText(HWND list, int index);
// The selected item's text, or the empty text when nothing is selected.
std::wstring LbGetSelectedText(HWND list);

// Puts `text` on the clipboard as Unicode and as ANSI text. False when the
// clipboard stayed held by another program or took nothing.
bool ClipboardSetText(HWND owner, const std::wstring& text);

bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);

}  // namespace win
