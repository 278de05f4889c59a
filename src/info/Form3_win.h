// The About window: the program's name, version and author, and two links
// (e-mail and web site) that are handed to the desktop shell.
#pragma once
#include "win/tool_form.h"
#include "win/gdi.h"

namespace info {

class Form3 : public win::ToolForm {
  public:
    Form3();
    // Takes the window down while the link font is still there.
    ~Form3() override;

  private:
    void OnBuilt() override;
    void Form_Load() override;
    void Command1_Click();
    void Label7_Click();
    void Label9_Click();

    void OnCommand(int id, int code, HWND control) override;
    HBRUSH OnCtlColorStatic(HDC dc, HWND control) override;
    bool TakesKey(HWND control, WPARAM vk) const override;
    void OnKey(HWND control, WPARAM vk) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    win::Font linkFont_;
};

}  // namespace info
