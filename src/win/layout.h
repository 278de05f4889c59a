// Fixed window layouts as tables of rows in twips, built into controls at the
// system DPI. Rows are listed in tab order; the builder creates them in that
// order, so the dialog navigation (Tab) follows the table.
#pragma once
#include <windows.h>

#include <cstddef>
#include <vector>

#include "win/gdi.h"

namespace win {

enum class Kind {
    Button,         // push button
    Option,         // option (radio) button; the window keeps the group's check marks
    TextBox,        // single-line edit
    MultiLineText,  // multi-line edit with a vertical scroll bar
    ListBox,        // single selection, not sorted, notifies its parent
    Frame,          // group box; rows inside it are laid out from its top-left corner
    Label,          // one line of static text that reports clicks
    Picture,        // owner-drawn static that reports clicks (the window paints it) and
                    // that the keyboard can reach, with the arrows and characters for
                    // the window: it tells the window when it gets or loses the focus
    Panel,          // a real container with a sunken border; its rows become its children
    Line,           // a one-pixel horizontal line drawn in the window-text colour
    HotKey,         // the system's hot-key control: a key combination, typed
};

struct ControlRow {
    int id;  // control id, 100 or more (1 and 2 are Enter and Esc)
    // The name the control had in the program's first version, kept so that
    // its old documentation can be read beside the table; null where the
    // catalogue holds it.
    const char* name;
    Kind kind;
    const wchar_t* caption;        // caption or initial text; may be null
    int left, top, width, height;  // twips, from the container's top-left corner
    int container;                 // id of the containing Frame or Panel row, 0 for the window
    DWORD extraStyle;              // OR'ed into the kind's styles
};

// 15 twips a pixel at 96 DPI; one rounding (MulDiv, half away from zero) everywhere.
int SystemDpi();
int TwipsToPixels(int twips, int dpi);

// Sent by a Picture to the window it stands in when it has got the keyboard
// focus (kPictureFocusGained) or lost it (kPictureFocusLost): wParam is the
// picture, lParam the window that had the focus or takes it (may be null).
constexpr UINT kPictureFocusGained = WM_APP + 0x300;
constexpr UINT kPictureFocusLost = WM_APP + 0x301;

// True while `option` is taking the keyboard focus. On Windows an unchecked
// option reports a click then, from inside its focus handling (unless it is
// being clicked): a click that chooses nothing. Wine sends none.
bool OptionTakingFocus(HWND option);

// Makes `control` a stop of the Tab key or takes it out: in a group of
// options, or the faces, only one is.
void SetTabStop(HWND control, bool stop);

// The change of look the dialog manager makes to a window's controls for the
// keys it handles itself: the focus rectangle shows even if the mouse hid it.
void ShowFocusCues(HWND window);

class CaptionMeter;

class Layout {
  public:
    // Creates every row as a control of `parent`, in table order, all in
    // `font`. A one-line label or an option button whose caption is wider than
    // its row at this DPI takes the width its caption needs where the room
    // beside it is free.
    void Build(HWND parent, const ControlRow* rows, std::size_t count, int dpi, HFONT font);

    HWND Get(int id) const;

  private:
    struct Built {
        const ControlRow* row;
        HWND hwnd;
        HWND parent;
        RECT rect;  // in the parent's client area
    };
    void FitCaption(std::size_t index, const CaptionMeter& meter);

    std::vector<Built> built_;
};

}  // namespace win
