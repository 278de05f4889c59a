#include "win/tool_form.h"

#include <commctrl.h>

namespace win {

ToolForm::~ToolForm() {
    // Controls go before the font they were given.
    if (exists()) DestroyWindow(hwnd_);
}

void ToolForm::Show() {
    if (exists()) {
        ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(hwnd_);
        return;
    }
    dpi_ = win::SystemDpi();
    font_ = win::CreatePointFont(L"Tahoma", 825, dpi_);

    const int clientWidth = win::TwipsToPixels(look_.clientWidth, dpi_);
    const int clientHeight = win::TwipsToPixels(look_.clientHeight, dpi_);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    const SIZE outer = win::OuterSizeForClient(clientWidth, clientHeight, kStyle, kExStyle, false);
    if (look_.clientLeft != CW_USEDEFAULT) {
        RECT r = {win::TwipsToPixels(look_.clientLeft, dpi_),
                  win::TwipsToPixels(look_.clientTop, dpi_), 0, 0};
        r.right = r.left + clientWidth;
        r.bottom = r.top + clientHeight;
        AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
        x = r.left;
        y = r.top;
    }
    // No owner: the window stays when the one that asked for it closes.
    if (CreateTopLevel(look_.className, look_.caption, kStyle, kExStyle, x, y, outer.cx, outer.cy,
                       nullptr) == nullptr)
        return;
    layout_.Build(hwnd_, look_.rows, look_.rowCount, dpi_, font_.get());
    focus_ = Control(look_.firstFocus);
    OnBuilt();
    Form_Load();
    win::KeepOnScreen(hwnd_);
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void ToolForm::HookKeys(HWND control) {
    SetWindowSubclass(control, &ToolForm::KeyHookProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK ToolForm::KeyHookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self) {
    const ToolForm* form = reinterpret_cast<const ToolForm*>(self);
    switch (msg) {
        case WM_GETDLGCODE: {
            // Claiming the key keeps the event loop's dialog navigation from
            // acting on it, so it arrives here as WM_KEYDOWN.
            const MSG* m = reinterpret_cast<const MSG*>(lParam);
            if (m != nullptr && m->message == WM_KEYDOWN && form->TakesKey(hwnd, m->wParam))
                return DefSubclassProc(hwnd, msg, wParam, lParam) | DLGC_WANTMESSAGE;
            break;
        }
        case WM_KEYDOWN:
            if (form->TakesKey(hwnd, wParam)) {
                reinterpret_cast<ToolForm*>(self)->OnKey(hwnd, wParam);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &ToolForm::KeyHookProc, id);
            break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void ToolForm::RestoreFocus() {
    HWND target = focus_ != nullptr && IsChild(hwnd_, focus_) ? focus_ : Control(look_.firstFocus);
    if (target != nullptr) SetFocus(target);
}

LRESULT ToolForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
            } else if (HIWORD(wParam) == 0) {
                RestoreFocus();
            }
            return 0;
        case WM_SETFOCUS:
            RestoreFocus();
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
    return win::Window::HandleMessage(msg, wParam, lParam);
}

void ToolForm::OnDestroyed() {
    focus_ = nullptr;
    font_.reset();
}

}  // namespace win
