// Control ids and window class of the smiley window.
#pragma once
#include <cstddef>

namespace smiley_window_ids {

constexpr const wchar_t* kClass = L"Pallimo_Smileys";
constexpr int kFirstFace = 101;   // the catalogue's 16 faces in its order: 101 .. 116
constexpr int kFirstStyle = 201;  // the catalogue's 35 styles in table order: 201 .. 235
// The id of the style option or the face picture at `index` in the catalogue.
constexpr int StyleId(std::size_t index) { return kFirstStyle + static_cast<int>(index); }
constexpr int FaceId(std::size_t index) { return kFirstFace + static_cast<int>(index); }
constexpr int kMoreButton = 301;
constexpr int kExtraButton = 302;
constexpr int kSendButton = 303;  // sends the smiley the two boxes make up
constexpr int kCodeBox = 304;     // the chosen style's code, in quotes
constexpr int kTagTailBox = 305;  // the clicked face's end of the tag
// The window menu's "Hotkey..." (a system command: the low four bits clear).
constexpr int kHotkeyItem = 0x110;
// The items of a face's popup menu.
constexpr int kFaceSendItem = 401;
constexpr int kFaceChatItem = 402;
constexpr int kFaceCopyItem = 403;

}  // namespace smiley_window_ids
