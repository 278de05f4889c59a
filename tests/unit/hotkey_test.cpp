// The hotkey's spelling between the hot-key control and RegisterHotKey, and
// what a press or Esc does with the smiley window.
#include "app/hotkey.h"

#include <gtest/gtest.h>

namespace hotkey {
namespace {

TEST(Hotkey, ControlWordAndRegistrationAgree) {
    struct Row {
        std::uint16_t word;
        Combination combination;
    };
    const Row rows[] = {
        {0x0000, {0, 0}},                           // none
        {0x0650, {'P', kControl | kAlt}},           // Ctrl+Alt+P
        {0x0370, {0x70, kControl | kShift}},        // Ctrl+Shift+F1
        {0x0141, {'A', kShift}},                    // Shift+A
        {0x0741, {'A', kShift | kControl | kAlt}},  // all three
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FromControlWord(r.word), r.combination) << std::hex << r.word;
        EXPECT_EQ(ToControlWord(r.combination), r.word) << std::hex << r.word;
    }
    // The extended-key flag names no modifier, and goes with the keys of the
    // extended block (Insert here); flags without a key are none.
    EXPECT_EQ(FromControlWord(0x0E2D), (Combination{0x2D, kControl | kAlt}));
    EXPECT_EQ(ToControlWord({0x2D, kControl | kAlt}), 0x0E2D);
    EXPECT_TRUE(FromControlWord(0x0600).none());
    EXPECT_EQ(ToControlWord({0x1FF, kAlt}), 0);
}

TEST(Hotkey, PressAndEscapeBringUpAndPutBack) {
    enum class Event { kEnd, kHotkeyFront, kHotkeyBehind, kHotkeyTray, kEscape, kLeft };
    struct Step {
        Event event;
        Move expected;
    };
    struct Case {
        const char* name;
        Step steps[4];
    };
    const Case cases[] = {
        {"up from the tray, Esc puts back",
         {{Event::kHotkeyTray, Move::kBringUp},
          {Event::kEscape, Move::kPutBack},
          {Event::kEscape, Move::kNone}}},
        {"up, the hotkey again puts back",
         {{Event::kHotkeyBehind, Move::kBringUp}, {Event::kHotkeyFront, Move::kPutBack}}},
        {"in front already: to the faces, nothing to put back",
         {{Event::kHotkeyFront, Move::kBringUp}, {Event::kEscape, Move::kNone}}},
        {"left for another window: Esc later does nothing",
         {{Event::kHotkeyBehind, Move::kBringUp},
          {Event::kLeft, Move::kNone},
          {Event::kEscape, Move::kNone}}},
        {"Esc without the hotkey does nothing", {{Event::kEscape, Move::kNone}}},
    };
    for (const Case& c : cases) {
        Summons summons;
        for (const Step& step : c.steps) {
            if (step.event == Event::kEnd) break;  // the rest of the row is empty
            Move got = Move::kNone;
            switch (step.event) {
                case Event::kHotkeyFront:
                    got = summons.OnHotkey(true, Place::kFront);
                    break;
                case Event::kHotkeyBehind:
                    got = summons.OnHotkey(false, Place::kBehind);
                    break;
                case Event::kHotkeyTray:
                    got = summons.OnHotkey(false, Place::kTray);
                    break;
                case Event::kEscape:
                    got = summons.OnEscape();
                    break;
                case Event::kLeft:
                    summons.OnLeft();
                    break;
                case Event::kEnd:
                    break;
            }
            EXPECT_EQ(got, step.expected) << c.name;
        }
    }
    Summons fromTray;
    fromTray.OnHotkey(false, Place::kTray);
    EXPECT_EQ(fromTray.from(), Place::kTray);
}

}  // namespace
}  // namespace hotkey
