#include "win/layout_window.h"

#include <commctrl.h>

namespace win {

void LayoutWindow::Destroy() {
    // Controls go before the font they were given.
    if (exists()) DestroyWindow(hwnd_);
}

bool LayoutWindow::Open(int showCommand, HICON classIcon) {
    if (exists()) {
        ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(hwnd_);
        return true;
    }
    dpi_ = SystemDpi();
    font_ = CreatePointFont(L"Tahoma", 825, dpi_);

    const int clientWidth = TwipsToPixels(plan_.clientWidth, dpi_);
    const int clientHeight = TwipsToPixels(plan_.clientHeight, dpi_);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    const SIZE outer = OuterSizeForClient(clientWidth, clientHeight, plan_.style, plan_.exStyle);
    if (plan_.clientLeft != CW_USEDEFAULT) {
        RECT r = {TwipsToPixels(plan_.clientLeft, dpi_), TwipsToPixels(plan_.clientTop, dpi_), 0,
                  0};
        r.right = r.left + clientWidth;
        r.bottom = r.top + clientHeight;
        AdjustWindowRectEx(&r, plan_.style, FALSE, plan_.exStyle);
        x = r.left;
        y = r.top;
    }
    // No owner unless asked for: each window stays when the one that asked
    // for it closes.
    if (CreateTopLevel(plan_.className, plan_.caption, plan_.style, plan_.exStyle, x, y, outer.cx,
                       outer.cy, classIcon, owner_) == nullptr)
        return false;
    OnWindowCreated();
    // Closed already, while the creation hook let events be handled.
    if (!exists()) return true;
    layout_.Build(hwnd_, plan_.rows, plan_.rowCount, dpi_, font_.get());
    focus_ = Control(plan_.firstFocus);
    OnCreate();
    // Closed already, while the creation hook let events be handled.
    if (!exists()) return true;
    KeepOnScreen(hwnd_);
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    return true;
}

bool LayoutWindow::OpenOwned(HWND owner) {
    if (!exists()) owner_ = owner;
    const bool opened = Open(SW_SHOW);
    owner_ = nullptr;
    return opened;
}

bool LayoutWindow::PreTranslate(MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.hwnd == hwnd_ || !IsChild(hwnd_, msg.hwnd)) return false;
    return OnKey(msg.hwnd, msg.wParam, (msg.lParam & (1L << 30)) != 0);
}

// Commands come from the window's controls, whether they stand in the window
// or in a panel, from its menu, and from the keyboard interface.
void LayoutWindow::OnCommand(int id, int code, HWND control) {
    if (id == IDOK && control == nullptr) {
        PressFocusedButton();
        return;
    }
    // A control's command must come from that control; a menu item has none.
    if (control == Control(id)) {
        for (std::size_t i = 0; i < plan_.commandCount; ++i) {
            const CommandRow& command = plan_.commands[i];
            if (command.id == id && command.code == code) {
                (this->*command.handler)();
                return;
            }
        }
    }
    OnOtherCommand(id, code, control);
}

// Enter on a focused push button presses it, as in a dialog; elsewhere it
// does nothing.
void LayoutWindow::PressFocusedButton() {
    HWND focus = GetFocus();
    if (focus == nullptr || focus != Control(GetDlgCtrlID(focus))) return;
    const LONG_PTR type = GetWindowLongPtrW(focus, GWL_STYLE) & BS_TYPEMASK;
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return;
    wchar_t cls[16] = {};
    GetClassNameW(focus, cls, 16);
    if (lstrcmpiW(cls, WC_BUTTONW) == 0) SendMessageW(focus, BM_CLICK, 0, 0);
}

void LayoutWindow::RestoreFocus() {
    HWND target = focus_ != nullptr && IsChild(hwnd_, focus_) ? focus_ : Control(plan_.firstFocus);
    if (target != nullptr) SetFocus(target);
}

LRESULT LayoutWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
            } else if (HIWORD(wParam) == 0) {  // not minimised
                RestoreFocus();
            }
            return 0;
        case WM_SETFOCUS:
            if (!IsIconic(hwnd_)) RestoreFocus();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            if (HBRUSH brush =
                    OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

void LayoutWindow::OnDestroyed() {
    focus_ = nullptr;
    font_.reset();
}

}  // namespace win
