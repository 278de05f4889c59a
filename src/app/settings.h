// The settings file: what the program remembers from one run to the next (the
// chosen style, the smiley window's place, the global hotkey), as the bytes of
// a small text file the user may also open in Notepad:
//
//   [Pallimo]
//   Style=Frog
//   WindowLeft=120
//   WindowTop=80
//   HotkeyKey=80
//   HotkeyModifiers=3
//
// The writer puts the section and its lines in this order, each line ending in
// CR LF, and leaves out what is not set. The reader is forgiving, since a file
// may have been edited by hand, cut short or filled with something else; it
// never fails, it only falls back. Its rules:
//
//   - Lines end at CR LF, a lone CR or a lone LF. Spaces and tabs around a
//     line, a key and a value do not count. A UTF-8 byte order mark at the
//     start (Notepad's) is skipped.
//   - Only keys under a [Pallimo] header count; other sections, keys before
//     any header, empty lines, lines starting with ';' or '#', lines without
//     '=' and unknown keys are passed over. Section names and keys are matched
//     without regard to case.
//   - Each setting falls back to its default on its own when its lines are
//     missing or spoiled, and the rest is kept: a key given twice (which value
//     was meant is not known), a number with anything but an optional minus
//     and decimal digits, a number out of range, a style caption that is no
//     longer in the catalogue (captions match without regard to case).
//   - The place needs both WindowLeft and WindowTop, the hotkey both HotkeyKey
//     and HotkeyModifiers: with either spoiled there is none. A hotkey whose
//     modifiers were lost would take a plain key from every other program.
//   - A file longer than kMaxFileBytes is not one this program wrote: it gives
//     every default. Time is linear in the bytes, so any input is read quickly.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/hotkey.h"

namespace settings {

// The longest file the reader takes; the writer's files are a few dozen bytes.
constexpr std::size_t kMaxFileBytes = 64 * 1024;

// The range of a window coordinate the reader accepts, in screen pixels.
constexpr int kMinCoordinate = -32768;
constexpr int kMaxCoordinate = 32767;

// The smiley window's place: the top-left corner of its normal position, in
// screen pixels. Only the place: the window's size comes from its layout.
struct Place {
    int left = 0;
    int top = 0;
};

// A global hotkey: a virtual key code and modifiers hotkey::IsUsable takes.
using Hotkey = hotkey::Combination;

struct Settings {
    // An index into catalogue::kStyles; none: the program's default style.
    std::optional<std::size_t> style;
    // None: the window goes where the program puts it by default.
    std::optional<Place> place;
    // None: no hotkey.
    std::optional<Hotkey> hotkey;
};

bool operator==(const Place& a, const Place& b);
bool operator==(const Settings& a, const Settings& b);

// The index in catalogue::kStyles of the style captioned `caption` (matched
// without regard to case); none when there is no such style.
std::optional<std::size_t> StyleByCaption(std::string_view caption);

// The settings in a file's bytes: every setting the bytes hold intact, the
// default for the others.
Settings ParseSettings(std::string_view bytes);

// The whole file for `settings`. What the reader would not take back (a style
// index past the catalogue, an invalid hotkey) is left out.
std::string FormatSettings(const Settings& settings);

}  // namespace settings
