#include "app/hotkey.h"

namespace hotkey {

namespace {
// The hot-key control's flags.
constexpr unsigned kControlShift = 0x1, kControlCtrl = 0x2, kControlAlt = 0x4;
}  // namespace

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
