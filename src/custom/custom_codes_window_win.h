// The custom codes window: the user's own list of texts (further smiley codes
// or whole smiley tags), kept in a file on request and sent unchanged with a
// double-click into the messenger's instant-message window or chat room.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "messenger/delivery.h"
#include "messenger/run_queue.h"
#include "win/gdi.h"
#include "win/layout_window.h"
#include "win/option_group_win.h"

namespace custom {

// What the custom codes window asks of the rest of the program.
struct CustomCodesLinks {
    std::function<void()> closed;  // the window closed by the user's hand
    std::function<void()> showInstructions;
    std::function<void()> showAbout;
};

class CustomCodesWindow : public win::LayoutWindow {
  public:
    CustomCodesWindow(delivery::MessengerDelivery& messenger, CustomCodesLinks links);

    // Builds the window afresh from its layout if it is not open, else brings
    // the open one forward. There is never more than one. False when the
    // window does not stand afterwards (it could not be made).
    bool Open() { return LayoutWindow::Open(SW_SHOW) && exists(); }

    // ---- handlers ----
    void OnAdd();
    void OnClear();
    void OnLoad();
    void OnSave();
    void OnSendItem();  // a double-click on the list
    void OnExit();
    void OnInstructions();
    void OnMoreCodes();
    void OnAbout();

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
    using FileJobs = RunQueue<FileJob>;

    void OnCreate() override;
    void OnOtherCommand(int id, int code, HWND control) override;
    bool OnKey(HWND control, WPARAM vk, bool repeat) override;
    bool PreTranslate(MSG& msg) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    void AddMenuBar();
    void CloseByHand();
    void OnCodeBoxClick();
    void DeleteSelectedItem();
    void RunFileJob(FileJob job);
    bool RunSave(const std::wstring& path);
    bool RunLoad(const std::wstring& path, FileJobs& jobs);
    bool Tell(const std::wstring& text);

    delivery::MessengerDelivery& messenger_;
    const CustomCodesLinks links_;
    win::Font listFont_;
    // "Send IM" and "Send Chat": where a double-click on the list sends. The
    // arrows are the dialog manager's here.
    win::OptionButtons destination_{2, win::OptionGroup::Arrows::kDialogManager, nullptr};
    LoadRun* loading_ = nullptr;
    // The file jobs of this opening of the window. A run still going when the
    // window closes keeps its own queue; the next opening starts a new one.
    std::shared_ptr<FileJobs> jobs_ = std::make_shared<FileJobs>();
};

}  // namespace custom
