// A top-level or child window class of our own: one static window procedure
// stores `this` at WM_NCCREATE and forwards every message to the member.
#pragma once
#include <windows.h>

namespace win {

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    bool exists() const { return hwnd_ != nullptr && IsWindow(hwnd_); }

    // The object behind a window of one of our classes; null for any other
    // window (a message box, a menu, a tip).
    static Window* FromHandle(HWND hwnd);

    // Sees a message the event loop took from the queue for this window or
    // one of its controls, before the dialog navigation and the control do
    // (the classic pre-translate step): keys and clicks reach the window's own
    // handlers here, so no control needs a subclass for them. True when the
    // message was handled here and goes no further.
    virtual bool PreTranslate(MSG& msg) { return false; }

  protected:
    // Registers `className` once per process with the standard cursor and
    // the button-face background, then creates the window.
    HWND CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style,
                        DWORD exStyle, int x, int y, int width, int height, HICON icon,
                        HWND owner = nullptr);

    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone; the object may be reused to build it afresh.
    virtual void OnDestroyed() {}

    HWND hwnd_ = nullptr;

  private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

// Client size in pixels -> outer window size for the given styles, without a menu.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// Where something of `size` placed at `at` stands whole in the work area of the
// monitor `hwnd` is on (or nearest to).
POINT InsideWorkArea(POINT at, SIZE size, HWND hwnd);
// Keeps a window inside the work area of the monitor it is on (or nearest to).
void KeepOnScreen(HWND hwnd);

}  // namespace win
