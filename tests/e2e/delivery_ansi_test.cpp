// A text the ANSI code page cannot represent in full, typed into the custom
// codes window and sent with a double-click: the messenger receives its ANSI
// form, the missing character replaced and the others in their ANSI bytes.
#include <windows.h>

#include <string>

#include "custom/custom_codes_window_ids.h"
#include "custom_util.h"
#include "delivery_util.h"
#include "harness.h"

namespace {

// e acute is in the Western code page (0xE9); the white smiling face is in none.
const std::wstring kTyped = L"caf\u00e9 \u263a";

std::string ExpectedAnsi() {
    if (GetACP() == 1252) return "caf\xe9 ?";
    // Another code page: whatever its conversion makes of the text.
    e2e::Trace("ANSI code page %u: expecting the system's conversion", GetACP());
    return e2e::AnsiBytes(kTyped);
}

}  // namespace

int main() {
    e2e::Standin standin;
    if (!ok(standin.Start(), "the stand-in messenger starts")) return e2e::Finish();
    e2e::Process pallimo;
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "the smiley window shows")) return e2e::Finish();
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6, "the announcement arrived");

    HWND form = e2e::OpenCustomCodes(started.main, pallimo.Id());
    if (!ok(form != nullptr, "\"Extra\" opens the custom codes window")) return e2e::Finish();
    HWND code = e2e::Child(form, custom_codes_window_ids::kCodeBox);
    e2e::Click(code);  // the first click empties the code box
    ok(e2e::WaitUntil([&] { return e2e::TextOf(code).empty(); }, 5000), "the code box empties");
    e2e::TypeText(kTyped);
    ok(e2e::WaitUntil([&] { return e2e::TextOf(code) == kTyped; }, 5000),
       "the code box holds the typed text");
    e2e::Click(e2e::Child(form, custom_codes_window_ids::kAddButton));  // "Add"
    ok(e2e::WaitUntil([&] { return customs::Count(form) == 1; }, 5000),
       "\"Add\" puts it into the list");

    HWND list = e2e::Child(form, custom_codes_window_ids::kCodeList);
    const int h = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    POINT p = {20, h / 2};
    ClientToScreen(list, &p);
    e2e::DoubleClickAt(p.x, p.y);  // "Send IM" is chosen at start
    ok(e2e::WaitForRecords(standin.RecordPath(), 9, 10000).size() >= 9,
       "the double-click sends the item");

    const std::string ansi = ExpectedAnsi();
    const e2e::Expected kSent[] = {
        SETTEXT("im.input", ansi.c_str()),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        END_SEQUENCE,
    };
    HWND sendChat = e2e::Child(form, custom_codes_window_ids::kSendChatOption);
    const std::vector<e2e::Record> all =
        deliveries::FinalRecords(standin, pallimo, started.main, [&] {
            // The smiley window is hidden: a click on "Send Chat" is the barrier.
            e2e::Click(sendChat);
            return e2e::WaitUntil(
                [&] { return SendMessageW(sendChat, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000);
        });
    ok_sequence(deliveries::From(all, 6), kSent, "the item in its ANSI form, sent once");
    return e2e::Finish();
}
