// The smiley window: the program's start-up and main window. It offers the
// built-in catalogue (35 style options, 16 face pictures), sends a smiley tag
// into the messenger's instant-message window on every face click, announces
// the program in the chat room while it loads, and lives in the notification
// area while minimised.
#pragma once
#include <windows.h>

#include <cstddef>

#include "win/gdi.h"
#include "win/layout.h"
#include "win/window.h"

namespace app {

class frmMain : public win::Window {
  public:
    // Builds the window hidden, runs Form_Load, and only then shows it with
    // `showCommand`, so the announcement reaches the chat room before the
    // window is first seen. False if the window could not be made.
    bool Load(int showCommand);

    // Shows the window again after the custom codes window hid it.
    void ShowAgain();
    void Hide();

    // ---- event handlers, named after their control and event ----
    void Form_Load();
    // op1_Click, op2_Click, Option1_Click ... Option33_Click: every style option
    // runs this with its row of the catalogue's style table (the row's control
    // name is the handler's prefix).
    void Option_Click(std::size_t style);
    // Image1_Click ... Image16_Click, with the index of the face (0 is Image1).
    void Image_Click(std::size_t face);
    void smile();
    void Command1_Click();  // "More"
    void Command2_Click();  // "Extra"
    void Command3_Click();
    void Form_Resize(WPARAM sizeType);
    void Form_MouseMove(LPARAM notification);
    void Form_Unload();

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void OpenCustomCodes();
    void MoveToTray();
    void RetryIcon();
    void MarkStyle(std::size_t style);
    void MarkOption(HWND option, bool chosen);
    void StepStyle(HWND from, int step);
    static LRESULT CALLBACK OptionProc(HWND option, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    void AddFaceHints();
    void OnActivate(WPARAM wParam);
    bool OnCommand(int id, int code);

    win::Layout layout_;
    win::Font font_;
    win::Icon icon_;  // small: the caption and the notification area
    win::Icon largeIcon_;
    HWND hints_ = nullptr;
    std::size_t markedStyle_ = 0;
    // Where the keyboard focus goes back to when the window is activated.
    HWND lastFocus_ = nullptr;
    // Set while a style option takes the focus: on Windows an unchecked radio
    // button reports a click then, which must not choose a style.
    bool focusArriving_ = false;
    UINT taskbarCreated_ = 0;
    // The shell refused the icon when the window was last minimised: it may
    // still add it late, and the window is on the taskbar meanwhile.
    bool iconRefused_ = false;
    // The shell was busy when it refused: the icon may come late.
    bool shellBusy_ = false;
};

// The smiley window of this run (the custom codes window shows it again when
// it closes, and hides it when it opens).
void ShowSmileyWindow();
void HideSmileyWindow();

}  // namespace app
