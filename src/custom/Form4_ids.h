// Control and menu ids of the custom codes window, shared with its tests.
#pragma once

namespace Form4_ids {

constexpr const wchar_t* kClass = L"Pallimo_Form4";
constexpr int kFrame1 = 100;
constexpr int kList1 = 101;
constexpr int kCommand1 = 102;  // "Add"
constexpr int kCommand2 = 103;  // "Clear"
constexpr int kCommand3 = 104;  // "Load"
constexpr int kText1 = 105;     // the code box
constexpr int kText2 = 106;     // the file-name box
constexpr int kCommand4 = 107;  // "Save"
constexpr int kOp1 = 108;       // "Send IM"
constexpr int kOption1 = 109;   // "Send Chat"

// Menu items.
constexpr int kIno = 201;       // File > Clear
constexpr int kLoahs = 202;     // File > Load
constexpr int kAsdsadsd = 203;  // File > Save
constexpr int kSdsd = 204;      // File > &Exit
constexpr int kInso = 211;      // Help > Instructions
constexpr int kGetty = 212;     // Help > Get More Codes
constexpr int kAbby = 213;      // Help > About

}  // namespace Form4_ids
