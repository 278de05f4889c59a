// The hotkey that brings the smiley window up: how the system's hot-key
// control and RegisterHotKey spell a combination, and what a press or Esc
// does with the window.
#pragma once
#include <cstdint>

namespace hotkey {

// A key with its modifiers as RegisterHotKey takes them (kAlt, kControl,
// kShift, kWin); key 0 is no hotkey.
struct Combination {
    unsigned key = 0;
    unsigned modifiers = 0;
    bool none() const { return key == 0; }
    bool operator==(const Combination& other) const {
        return key == other.key && (key == 0 || modifiers == other.modifiers);
    }
    bool operator!=(const Combination& other) const { return !(*this == other); }
};

// RegisterHotKey's modifier flags.
constexpr unsigned kAlt = 0x1, kControl = 0x2, kShift = 0x4, kWin = 0x8;
constexpr unsigned kAllModifiers = kAlt | kControl | kShift | kWin;

// A key code (1 to 254) and modifiers RegisterHotKey can take, with Ctrl, Alt
// or Win among them: Shift alone, or nothing, would take a key people type
// from every program.
bool IsUsable(Combination combination);

// The hot-key control's word: the key in the low byte, its flags (Shift 1,
// Ctrl 2, Alt 4, extended key 8) in the high byte.
Combination FromControlWord(std::uint16_t word);
std::uint16_t ToControlWord(Combination combination);

// Where the smiley window was when the hotkey brought it up.
enum class Place {
    kFront,
    kBehind,   // shown, behind other windows
    kTray,     // in the notification area
    kTaskbar,  // minimised on the taskbar (the shell refused the icon)
};

// A press of the hotkey or Esc: what becomes of the window.
enum class Move {
    kNone,     // nothing
    kBringUp,  // up in front, the keyboard on the current face
    kPutBack,  // back where it was, the foreground to the window that had it
};

// Remembers that the hotkey brought the window up, and from where, until it
// is put back or the user leaves it for another window.
class Summons {
  public:
    // The hotkey pressed; `front` when the smiley window is the foreground
    // window now, `place` where it is otherwise.
    Move OnHotkey(bool front, Place place);
    // Esc in the smiley window.
    Move OnEscape();
    // The user went to another window: the window stays where it is now.
    void OnLeft() { summoned_ = false; }

    // Where the window came from, while it is up by the hotkey.
    Place from() const { return from_; }

  private:
    bool summoned_ = false;
    Place from_ = Place::kBehind;
};

}  // namespace hotkey
