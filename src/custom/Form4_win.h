// The custom codes window: the user's own list of texts (further smiley codes
// or whole smiley tags), kept in a file on request and sent unchanged with a
// double-click into the messenger's instant-message window or chat room.
#pragma once
#include <windows.h>

#include <deque>
#include <string>

#include "win/tool_form.h"
#include "win/gdi.h"

namespace custom {

// Shows the custom codes window, built afresh from its layout if it is not
// open, else brings the open one forward. There is never more than one.
void ShowForm4();

class Form4 : public win::ToolForm {
  public:
    Form4();
    // Takes the window down while the whole object is still there.
    ~Form4() override;

    // ---- event handlers, named after their control and event ----
    void Form_Load() override;
    void Form_Unload();
    void Text1_Click();
    void Command1_Click();  // "Add"
    void Command2_Click();  // "Clear"
    void Command3_Click();  // "Load"
    void Command4_Click();  // "Save"
    void List1_DblClick();
    void op1_Click();       // "Send IM"
    void Option1_Click();   // "Send Chat"
    void ino_Click();       // File > Clear
    void loahs_Click();     // File > Load
    void asdsadsd_Click();  // File > Save
    void sdsd_Click();      // File > &Exit
    void inso_Click();      // Help > Instructions
    void getty_Click();     // Help > Get More Codes
    void abby_Click();      // Help > About

  private:
    // A save or load asked for while a load is reading; it runs when the load
    // ends, with the path that was in the file-name box when it was asked for,
    // unless "Clear" comes first.
    struct FileJob {
        bool save;
        std::wstring path;
    };
    // The load in progress; the window's close marks it so that it stops.
    struct LoadRun {
        bool cancelled = false;
    };

    void OnBuilt() override;
    void OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    void AddMenuBar();
    void ChooseDestination(int id);
    void RunFileJob(FileJob job);
    bool RunLoad(const std::wstring& path);
    void PressFocusedButton();
    static LRESULT CALLBACK Text1Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);

    win::Font listFont_;
    LoadRun* loading_ = nullptr;
    std::deque<FileJob> waiting_;
};

}  // namespace custom
