// Control ids and window class of the hotkey window.
#pragma once

namespace hotkey_window_ids {

constexpr const wchar_t* kClass = L"Pallimo_Hotkey";
constexpr int kPrompt = 101;
constexpr int kKeyBox = 102;  // the system's hot-key control
constexpr int kOkButton = 103;
constexpr int kCancelButton = 104;

}  // namespace hotkey_window_ids
