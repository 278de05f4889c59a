// Control and menu ids and window class of the custom codes window.
#pragma once

namespace custom_codes_window_ids {

constexpr const wchar_t* kClass = L"Pallimo_CustomCodes";
constexpr int kListFrame = 100;
constexpr int kCodeList = 101;
constexpr int kAddButton = 102;
constexpr int kClearButton = 103;
constexpr int kLoadButton = 104;
constexpr int kCodeBox = 105;
constexpr int kFileNameBox = 106;
constexpr int kSaveButton = 107;
constexpr int kSendImOption = 108;
constexpr int kSendChatOption = 109;

// Menu items.
constexpr int kFileClearItem = 201;
constexpr int kFileLoadItem = 202;
constexpr int kFileSaveItem = 203;
constexpr int kFileExitItem = 204;
constexpr int kHelpInstructionsItem = 211;
constexpr int kHelpMoreCodesItem = 212;
constexpr int kHelpAboutItem = 213;

}  // namespace custom_codes_window_ids
