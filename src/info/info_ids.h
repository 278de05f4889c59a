// Control ids of the Instructions and About windows, shared with their tests.
#pragma once

namespace Form2_ids {
constexpr const wchar_t* kClass = L"Pallimo_Form2";
constexpr int kFrame1 = 100;
constexpr int kText1 = 101;
}  // namespace Form2_ids

namespace Form3_ids {
constexpr const wchar_t* kClass = L"Pallimo_Form3";
constexpr int kPicture1 = 100;
constexpr int kLabel1 = 101;
constexpr int kLabel2 = 102;
constexpr int kLabel3 = 103;
constexpr int kLine1 = 104;
constexpr int kLabel5 = 105;
constexpr int kLabel6 = 106;
constexpr int kLabel7 = 107;  // the e-mail link
constexpr int kLabel8 = 108;
constexpr int kLabel9 = 109;  // the web link
constexpr int kCommand1 = 110;  // "OK"
}  // namespace Form3_ids
