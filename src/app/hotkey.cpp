#include "app/hotkey.h"

namespace hotkey {

namespace {
// The hot-key control's flags.
constexpr unsigned kControlShift = 0x1, kControlCtrl = 0x2, kControlAlt = 0x4,
                   kControlExtended = 0x8;

// Keys of the extended block (Page Up to Down, Insert, Delete, the keypad's
// divide, Num Lock): the control names them so only with the extended flag,
// and without it shows the keypad's keys of the same codes.
bool IsExtendedKey(unsigned key) {
    return (key >= 0x21 && key <= 0x28) || key == 0x2D || key == 0x2E || key == 0x6F || key == 0x90;
}
}  // namespace

bool IsUsable(Combination c) {
    return c.key >= 0x01 && c.key <= 0xFE && (c.modifiers & ~kAllModifiers) == 0 &&
           (c.modifiers & (kAlt | kControl | kWin)) != 0;
}

Combination FromControlWord(std::uint16_t word) {
    Combination c;
    c.key = word & 0xFFu;
    if (c.key == 0) return c;
    const unsigned flags = (word >> 8) & 0xFFu;
    if (flags & kControlShift) c.modifiers |= kShift;
    if (flags & kControlCtrl) c.modifiers |= kControl;
    if (flags & kControlAlt) c.modifiers |= kAlt;
    return c;
}

std::uint16_t ToControlWord(Combination c) {
    if (c.none() || c.key > 0xFFu) return 0;
    unsigned flags = 0;
    if (c.modifiers & kShift) flags |= kControlShift;
    if (c.modifiers & kControl) flags |= kControlCtrl;
    if (c.modifiers & kAlt) flags |= kControlAlt;
    if (IsExtendedKey(c.key)) flags |= kControlExtended;
    return static_cast<std::uint16_t>((flags << 8) | c.key);
}

Move Summons::OnHotkey(bool front, Place place) {
    if (front) {
        // Up by the user's own hand: the keyboard goes to the faces, and
        // there is nowhere to put the window back to.
        if (!summoned_) return Move::kBringUp;
        summoned_ = false;
        return Move::kPutBack;
    }
    summoned_ = true;
    from_ = place;
    return Move::kBringUp;
}

Move Summons::OnEscape() {
    if (!summoned_) return Move::kNone;
    summoned_ = false;
    return Move::kPutBack;
}

}  // namespace hotkey
