// Control ids and window classes of the Instructions and About windows.
#pragma once

namespace instructions_window_ids {
constexpr const wchar_t* kClass = L"Pallimo_Instructions";
constexpr int kInstructionsFrame = 100;
constexpr int kInstructionsBox = 101;
}  // namespace instructions_window_ids

namespace about_window_ids {
constexpr const wchar_t* kClass = L"Pallimo_About";
constexpr int kPanel = 100;
constexpr int kNameLabel = 101;
constexpr int kVersionLabel = 102;
constexpr int kAuthorLabel = 103;
constexpr int kRule = 104;
constexpr int kContactLabel = 105;
constexpr int kEmailLabel = 106;
constexpr int kEmailLink = 107;
constexpr int kWebsiteLabel = 108;
constexpr int kWebsiteLink = 109;
constexpr int kOkButton = 110;
}  // namespace about_window_ids
