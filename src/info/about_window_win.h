// The About window: the program's name, version and author, and two links
// (e-mail and web site) that are handed to the desktop shell. Modeless and
// without an owner, it outlives the window that asked for it.
#pragma once
#include "win/gdi.h"
#include "win/layout_window.h"

namespace info {

class AboutWindow : public win::LayoutWindow {
  public:
    AboutWindow();

    // ---- handlers ----
    void OnOk();
    void OnEmailLink();
    void OnWebsiteLink();

  private:
    void OnCreate() override;
    HBRUSH OnCtlColorStatic(HDC dc, HWND control) override;
    bool OnKey(HWND control, WPARAM vk, bool repeat) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    win::Font linkFont_;
};

}  // namespace info
