// A top-level window built from a layout table, as every window of the program
// is: the controls in tab order, the program's font at the system DPI, a fixed
// size and (optionally) a fixed place. It routes control notifications and
// menu commands through a command table, lets Enter press the focused push
// button as in a dialog, and remembers which control had the focus, since a
// plain window (unlike a dialog) would otherwise take the focus itself
// whenever it is activated again. The object outlives its window: closed, the
// window can be built afresh from the same object.
#pragma once
#include <windows.h>

#include <cstddef>

#include "win/gdi.h"
#include "win/layout.h"
#include "win/window.h"

namespace win {

class LayoutWindow;

// One command of a window: `code` from control (or menu item) `id` runs
// `handler`. A menu item's and Enter's commands have code 0.
struct CommandRow {
    int id;
    int code;
    void (LayoutWindow::*handler)();
};

// A handler of a window derived from LayoutWindow, as a command table holds it.
template <typename W>
constexpr void (LayoutWindow::*Handler(void (W::*handler)()))() {
    return static_cast<void (LayoutWindow::*)()>(handler);
}

// A small tool window: a caption bar with a close box only, not sizable, no
// icon. Not WS_CLIPCHILDREN: a frame's group box lies over the controls inside
// it, and with it the window leaves the gaps between them unpainted.
constexpr DWORD kToolStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kToolExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;

// What a window is: its class, caption and styles, its client area's size and
// place, its controls and commands. Written as a chain of named settings:
//   WindowPlan(kClass, L"Help").ClientSize(4050, 1470).Controls(kRows)
// A tool window at a place the system chooses unless told otherwise.
struct WindowPlan {
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style = kToolStyle;
    DWORD exStyle = kToolExStyle;
    int clientWidth = 0, clientHeight = 0;  // twips
    // Where the client area's top-left corner goes on the screen, in twips;
    // CW_USEDEFAULT lets the system choose the window's place.
    int clientLeft = CW_USEDEFAULT, clientTop = CW_USEDEFAULT;
    const ControlRow* rows = nullptr;
    std::size_t rowCount = 0;
    const CommandRow* commands = nullptr;
    std::size_t commandCount = 0;
    int firstFocus = 0;  // id of the control that has the focus when the window opens

    WindowPlan(const wchar_t* windowClass, const wchar_t* windowCaption)
        : className(windowClass), caption(windowCaption) {}

    // Each setting changes this plan and hands it on to the next.
    WindowPlan& Styles(DWORD windowStyle, DWORD windowExStyle) {
        style = windowStyle;
        exStyle = windowExStyle;
        return *this;
    }
    WindowPlan& ClientSize(int width, int height) {
        clientWidth = width;
        clientHeight = height;
        return *this;
    }
    WindowPlan& ClientPlace(int left, int top) {
        clientLeft = left;
        clientTop = top;
        return *this;
    }
    WindowPlan& Controls(const ControlRow* table, std::size_t count) {
        rows = table;
        rowCount = count;
        return *this;
    }
    template <std::size_t N>
    WindowPlan& Controls(const ControlRow (&table)[N]) {
        return Controls(table, N);
    }
    template <std::size_t N>
    WindowPlan& Commands(const CommandRow (&table)[N]) {
        commands = table;
        commandCount = N;
        return *this;
    }
    WindowPlan& FirstFocus(int id) {
        firstFocus = id;
        return *this;
    }
};

class LayoutWindow : public Window {
  public:
    explicit LayoutWindow(const WindowPlan& plan) : plan_(plan) {}

    // Builds the window from its layout and shows it with `showCommand` when
    // it is closed, else shows the open one and brings it forward. False if
    // the window could not be made.
    bool Open(int showCommand = SW_SHOW, HICON classIcon = nullptr);
    // Opens the window owned by `owner`: it stays above it and goes with it.
    bool OpenOwned(HWND owner);
    // Takes the window down without its closing steps.
    void Destroy();

  protected:
    // Runs once the window exists, hidden, before its controls are built;
    // may let events be handled, and the window may be gone afterwards.
    virtual void OnWindowCreated() {}
    // Finishes what the layout table cannot describe (fonts, keys, menus,
    // start values) once the controls exist, before the window is shown.
    virtual void OnCreate() {}
    // Commands the command table does not name: `control` is null for a menu
    // item and for the keyboard interface (Esc gives IDCANCEL).
    virtual void OnOtherCommand(int id, int code, HWND control) {}
    // Colours of a static control; null keeps the system's.
    virtual HBRUSH OnCtlColorStatic(HDC dc, HWND control) { return nullptr; }
    // A key pressed while `control` (one of the window's controls) has the
    // focus, before the control or the dialog navigation of the event loop
    // sees it; true when the window took it, and then nothing else sees it.
    // `repeat` is set for the presses of a key held down.
    virtual bool OnKey(HWND control, WPARAM vk, bool repeat) { return false; }

    bool PreTranslate(MSG& msg) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    HWND Control(int id) const { return layout_.Get(id); }
    int dpi() const { return dpi_; }

  private:
    void OnCommand(int id, int code, HWND control);
    void PressFocusedButton();
    void RestoreFocus();

    const WindowPlan plan_;
    Layout layout_;
    Font font_;
    int dpi_ = 96;
    HWND focus_ = nullptr;
    HWND owner_ = nullptr;
};

}  // namespace win
