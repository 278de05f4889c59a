// A small fixed tool window built from a layout table, as the custom codes,
// Instructions and About windows are: a caption bar with a close box only, not sizable, no
// icon and no owner. It remembers which control had the focus, since a plain
// window (unlike a dialog) would otherwise take the focus itself whenever it
// is activated again.
#pragma once
#include <windows.h>

#include <cstddef>

#include "win/gdi.h"
#include "win/layout.h"
#include "win/window.h"

namespace win {

struct ToolFormLook {
    const wchar_t* className;
    const wchar_t* caption;
    int clientWidth, clientHeight;  // twips
    // Where the client area's top-left corner goes on the screen, in twips;
    // CW_USEDEFAULT lets the system choose the window's place.
    int clientLeft, clientTop;
    const ControlRow* rows;
    std::size_t rowCount;
    int firstFocus;  // id of the control that has the focus when the window opens
};

class ToolForm : public Window {
  public:
    explicit ToolForm(const ToolFormLook& look) : look_(look) {}
    ~ToolForm() override;

    // Builds the window from its layout when it is closed, else shows the
    // open one and brings it forward.
    void Show();

  protected:
    // Not WS_CLIPCHILDREN: a frame's group box lies over the controls inside
    // it, and with it the window leaves the gaps between them unpainted.
    static constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    static constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;

    // Finishes the controls the layout table cannot describe (fonts, keys).
    virtual void OnBuilt() {}
    // The program's load handler: runs once the controls exist, before the
    // window is shown.
    virtual void Form_Load() {}
    // Control notifications and commands, whether the control stands in the
    // window or in a panel. `control` is null for commands from the keyboard
    // interface (Enter gives IDOK, Esc IDCANCEL).
    virtual void OnCommand(int id, int code, HWND control) {}
    // Colours of a static control; null keeps the system's.
    virtual HBRUSH OnCtlColorStatic(HDC dc, HWND control) { return nullptr; }
    // A key the form handles itself while `control` has the focus, before the
    // control or the dialog navigation of the event loop sees it.
    virtual bool TakesKey(HWND control, WPARAM vk) const { return false; }
    virtual void OnKey(HWND control, WPARAM vk) {}
    // Routes the keys of `control` through TakesKey/OnKey.
    void HookKeys(HWND control);

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    HWND Control(int id) const { return layout_.Get(id); }
    int dpi() const { return dpi_; }

  private:
    static LRESULT CALLBACK KeyHookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
    void RestoreFocus();

    const ToolFormLook look_;
    Layout layout_;
    Font font_;
    int dpi_ = 96;
    HWND focus_ = nullptr;
};

}  // namespace win
