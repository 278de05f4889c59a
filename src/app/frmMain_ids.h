// Control ids of the smiley window, shared with the tests that drive it.
#pragma once

namespace frmMain_ids {

constexpr const wchar_t* kClass = L"Pallimo_frmMain";
constexpr int kImage1 = 101;  // Image1 .. Image16 are 101 .. 116
constexpr int kFirstStyle = 201;  // the catalogue's styles in table order: op1 201, op2 202, Option1 203 ...
constexpr int kCommand1 = 301;  // "More"
constexpr int kCommand2 = 302;  // "Extra"
constexpr int kCommand3 = 303;
constexpr int kText1 = 304;
constexpr int kText2 = 305;

}  // namespace frmMain_ids
