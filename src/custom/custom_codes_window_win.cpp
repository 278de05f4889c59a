#include "custom/custom_codes_window_win.h"

#include <commctrl.h>

#include <utility>

#include "custom/custom_codes_window_ids.h"
#include "custom/listfile_win.h"
#include "info/links_win.h"
#include "messenger/winsys_win.h"
#include "win/text.h"

namespace custom {

namespace {

using namespace custom_codes_window_ids;
using win::Kind;

// The page "Get More Codes" opens.
const wchar_t kMoreCodesPage[] = L"http://www.pallimo.example/codes.html";

constexpr int kClientWidth = 3315;  // twips, below the menu bar
constexpr int kClientHeight = 3360;

// The destinations' places in their option group: "Send IM", then "Send Chat".
constexpr std::size_t kToIm = 0;

// The buttons overlap by a pixel; clipping keeps each one drawn whole on top.
constexpr DWORD kOverlapping = WS_CLIPSIBLINGS;

// In tab order. The file-name box lies below the client area: it is reached
// only with the Tab key, and what is typed there goes in unseen.
// clang-format off
const win::ControlRow kRows[] = {
    // id              name       kind            caption                    left  top   width height in          extra
    {kListFrame,       "Frame1",  Kind::Frame,    L"Double Click To Send",   120,  120,  3015, 2175, 0,          WS_GROUP},
    {kCodeList,        "List1",   Kind::ListBox,  nullptr,                   120,  240,  2775, 1815, kListFrame, 0},
    {kAddButton,       "Command1", Kind::Button,   L"Add",                    120,  2640, 735,  255,  0,          WS_GROUP | kOverlapping},
    {kClearButton,     "Command2", Kind::Button,   L"Clear",                  840,  2640, 735,  255,  0,          kOverlapping},
    {kLoadButton,      "Command3", Kind::Button,   L"Load",                   2280, 2640, 735,  255,  0,          kOverlapping},
    {kCodeBox,         "Text1",   Kind::TextBox,  L"Enter Smiley Code Here", 120,  3000, 3015, 285,  0,          0},
    {kFileNameBox,     "Text2",   Kind::TextBox,  L"App.Path",               120,  3480, 975,  285,  0,          0},
    {kSaveButton,      "Command4", Kind::Button,   L"Save",                   1560, 2640, 735,  255,  0,          kOverlapping},
    {kSendImOption,    "op1",     Kind::Option,   L"Send IM",                240,  2400, 1095, 195,  0,          WS_GROUP},
    {kSendChatOption,  "Option1", Kind::Option,   L"Send Chat",              1920, 2400, 1215, 195,  0,          0},
};
// clang-format on

using Window = CustomCodesWindow;
const win::CommandRow kCommands[] = {
    {kAddButton, BN_CLICKED, win::Handler(&Window::OnAdd)},
    {kClearButton, BN_CLICKED, win::Handler(&Window::OnClear)},
    {kLoadButton, BN_CLICKED, win::Handler(&Window::OnLoad)},
    {kSaveButton, BN_CLICKED, win::Handler(&Window::OnSave)},
    {kCodeList, LBN_DBLCLK, win::Handler(&Window::OnSendItem)},
    {kFileClearItem, 0, win::Handler(&Window::OnClear)},
    {kFileLoadItem, 0, win::Handler(&Window::OnLoad)},
    {kFileSaveItem, 0, win::Handler(&Window::OnSave)},
    {kFileExitItem, 0, win::Handler(&Window::OnExit)},
    {kHelpInstructionsItem, 0, win::Handler(&Window::OnInstructions)},
    {kHelpMoreCodesItem, 0, win::Handler(&Window::OnMoreCodes)},
    {kHelpAboutItem, 0, win::Handler(&Window::OnAbout)},
};

const win::WindowPlan kPlan = win::WindowPlan(kClass, L"Custom")
                                  .ClientSize(kClientWidth, kClientHeight)
                                  .Controls(kRows)
                                  .Commands(kCommands)
                                  .FirstFocus(kCodeList);

// The system's own words for `error`, without the line end it comes with.
std::wstring SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = n > 0 && text != nullptr ? std::wstring(text, n) : std::wstring();
    LocalFree(text);
    while (!reason.empty() &&
           (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' '))
        reason.pop_back();
    return reason.empty() ? L"Error " + std::to_wstring(error) + L"." : reason;
}

// The file's name as the user typed it.
std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// Why a file could not be used: after "Clear" there is no name at all, which
// the system's words would not make plain.
std::wstring Reason(const std::wstring& path, DWORD error) {
    if (path.empty()) return L"No file name is set: \"Clear\" empties it.";
    return SystemReason(error);
}

// The menu bar, in order: a row that opens a menu starts the next menu of the
// bar; a row without a caption is a separator line.
struct MenuRow {
    int id;
    const char* name;  // the program's own name for the item
    const wchar_t* caption;
    bool opensMenu;
};
const MenuRow kMenu[] = {
    {0, "fileiu", L"&File", true},
    {kFileClearItem, "ino", L"Clear", false},
    {kFileLoadItem, "loahs", L"Load", false},
    {kFileSaveItem, "asdsadsd", L"Save", false},
    {0, "asd", nullptr, false},
    {kFileExitItem, "sdsd", L"&Exit", false},
    {0, "ass", L"&Help", true},
    {kHelpInstructionsItem, "inso", L"Instructions", false},
    {kHelpMoreCodesItem, "getty", L"Get More Codes", false},
    {0, "asdsa", nullptr, false},
    {kHelpAboutItem, "abby", L"About", false},
};

}  // namespace

CustomCodesWindow::CustomCodesWindow(delivery::MessengerDelivery& messenger, CustomCodesLinks links)
    : LayoutWindow(kPlan), messenger_(messenger), links_(std::move(links)) {}

// ---- building -----------------------------------------------------------------

// The window opens with its layout's values; nothing is loaded.
void CustomCodesWindow::OnCreate() {
    listFont_ = win::CreatePointFont(L"MS Sans Serif", 825, dpi());
    SendMessageW(Control(kCodeList), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
    destination_.Attach(hwnd_, {Control(kSendImOption), Control(kSendChatOption)}, kToIm);
    AddMenuBar();
}

void CustomCodesWindow::AddMenuBar() {
    HMENU bar = CreateMenu();
    HMENU menu = nullptr;
    for (const MenuRow& row : kMenu) {
        if (row.opensMenu) {
            menu = CreatePopupMenu();
            AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), row.caption);
        } else if (row.caption == nullptr) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(row.id), row.caption);
        }
    }
    // The window owns the menu from here on and destroys it with itself.
    SetMenu(hwnd_, bar);

    // The client area keeps its size below the menu bar: grow the window by
    // whatever the bar took, however many rows it needed.
    const int width = win::TwipsToPixels(kClientWidth, dpi());
    const int height = win::TwipsToPixels(kClientHeight, dpi());
    RECT window = {}, client = {};
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, nullptr, 0, 0,
                 window.right - window.left + width - (client.right - client.left),
                 window.bottom - window.top + height - (client.bottom - client.top),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- messages -----------------------------------------------------------------

LRESULT CustomCodesWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        CloseByHand();
        return 0;
    }
    return LayoutWindow::HandleMessage(msg, wParam, lParam);
}

// The close box and File > Exit alike. Nothing is saved and nothing asks:
// unsaved items go with the window. The smiley window is shown and made the
// foreground window while this one still stands, so that taking this one
// down moves the activation nowhere else; once is enough (showing it again
// once this one is gone would change nothing).
void CustomCodesWindow::CloseByHand() {
    links_.closed();
    DestroyWindow(hwnd_);
}

// The options are a group without a row of their own in the command table.
void CustomCodesWindow::OnOtherCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED) destination_.OnClicked(control);
}

// Delete in the list takes out the selected item, once a press.
bool CustomCodesWindow::OnKey(HWND control, WPARAM vk, bool repeat) {
    if (vk != VK_DELETE || control != Control(kCodeList)) return false;
    if (!repeat) DeleteSelectedItem();
    return true;
}

// Every click into the code box empties it, not only the first: once the box
// has handled the release, so the click's caret and selection go with the text.
bool CustomCodesWindow::PreTranslate(MSG& msg) {
    HWND box = Control(kCodeBox);
    if (msg.message != WM_LBUTTONUP || msg.hwnd != box || box == nullptr)
        return LayoutWindow::PreTranslate(msg);
    DispatchMessageW(&msg);
    RECT r = {};
    GetClientRect(box, &r);
    const POINT p = {static_cast<short>(LOWORD(msg.lParam)),
                     static_cast<short>(HIWORD(msg.lParam))};
    if (PtInRect(&r, p)) OnCodeBoxClick();
    return true;
}

void CustomCodesWindow::OnDestroyed() {
    // A load still reading into this window stops at its next look, and what
    // was waiting for it goes with the window; the next opening starts afresh.
    if (loading_ != nullptr) loading_->cancelled = true;
    loading_ = nullptr;
    jobs_->Waiting().clear();
    jobs_ = std::make_shared<FileJobs>();
    LayoutWindow::OnDestroyed();
    listFont_.reset();
}

// ---- handlers -----------------------------------------------------------------

void CustomCodesWindow::OnCodeBoxClick() { win::HwndSetText(Control(kCodeBox), L""); }

// The selection moves to the item that took its place, or to the new last
// one. A load in progress goes on adding after what remains.
void CustomCodesWindow::DeleteSelectedItem() {
    HWND list = Control(kCodeList);
    const int selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (selected < 0) return;
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    const int count = win::LbGetCount(list);
    if (count > 0)
        SendMessageW(list, LB_SETCURSEL,
                     static_cast<WPARAM>(selected < count ? selected : count - 1), 0);
}

void CustomCodesWindow::OnAdd() {
    win::LbAddString(Control(kCodeList), win::HwndGetText(Control(kCodeBox)));
}

// What waits for a running load goes too: a Save pressed before the Clear
// would write the items read after it over the file being read.
void CustomCodesWindow::OnClear() {
    jobs_->Waiting().clear();
    SendMessageW(Control(kCodeList), LB_RESETCONTENT, 0, 0);
    win::HwndSetText(Control(kFileNameBox), L"");
}

void CustomCodesWindow::OnLoad() { RunFileJob({false, win::HwndGetText(Control(kFileNameBox))}); }

void CustomCodesWindow::OnSave() { RunFileJob({true, win::HwndGetText(Control(kFileNameBox))}); }

void CustomCodesWindow::OnSendItem() {
    const std::wstring text = win::LbGetSelectedText(Control(kCodeList));
    if (destination_.chosen() == kToIm)
        messenger_.IMSend(text, delivery::ToHandle(hwnd()));
    else
        messenger_.ChatSend(text, delivery::ToHandle(hwnd()));
}

void CustomCodesWindow::OnExit() { CloseByHand(); }

void CustomCodesWindow::OnInstructions() { links_.showInstructions(); }
void CustomCodesWindow::OnMoreCodes() { links::OpenLink(kMoreCodesPage); }
void CustomCodesWindow::OnAbout() { links_.showAbout(); }

// ---- helpers ------------------------------------------------------------------

// A load lets the window handle its events while it reads, so Save and Load
// can be pressed in the middle of one. They wait for it: a save then writes
// the whole list rather than the part read so far (which, saved over the file
// being read, would lose the rest), and a second load appends its items after
// the first one's, just as when it is pressed after the first has ended. A
// load that stops part-way (a failed read, no memory, no room in the list, a
// file it cannot open) drops what waits for it, as "Clear" does: a save would
// write the part read over the file. Only a missing file drops nothing.
void CustomCodesWindow::RunFileJob(FileJob job) {
    // The queue of this opening of the window, kept alive for the run even if
    // the window closes and opens again meanwhile.
    const std::shared_ptr<FileJobs> jobs = jobs_;
    if (jobs->Running()) {
        // Saves one after the other to the same file are one save, since the
        // list is read when it runs: each would wait for a held file again.
        const auto& waiting = jobs->Waiting();
        if (job.save && !waiting.empty() && waiting.back().save && waiting.back().path == job.path)
            return;
    }
    // A job that could not be done says so in a message box, shown here, as
    // one step of the queue: never in the middle of a load's reading, and
    // whatever is pressed while it is up waits its turn as it would behind a
    // load. Closed meanwhile (the box goes with the window), the run ends.
    jobs->Submit(std::move(job), [this, &jobs](const FileJob& next) {
        return next.save ? RunSave(next.path) : RunLoad(next.path, *jobs);
    });
}

// False when the window closed while the user was told why nothing was saved.
bool CustomCodesWindow::RunSave(const std::wstring& path) {
    const DWORD error = listfile::SaveList(path, Control(kCodeList));
    if (error == ERROR_SUCCESS) return true;
    return Tell(L"The list could not be saved to " + Quoted(path) + L".\n\n" + Reason(path, error));
}

// False when the window closed during the load, or while the user was told
// why it failed.
bool CustomCodesWindow::RunLoad(const std::wstring& path, FileJobs& jobs) {
    LoadRun run;
    // However the load ends, even by an exception, the window no longer
    // points at it afterwards; when it stopped part-way through its file, what
    // waits for it goes. A load that read nothing (a missing file) leaves the
    // list as it was, so what waits still runs.
    struct Mark {
        LoadRun*& loading;
        FileJobs& jobs;
        LoadRun* run;
        bool partial;
        ~Mark() {
            if (loading != run) return;  // the window closed: all went with it
            loading = nullptr;
            if (partial) jobs.Waiting().clear();
        }
    } mark{loading_, jobs, &run, true};
    loading_ = &run;
    const listfile::LoadOutcome outcome =
        listfile::LoadList(path, Control(kCodeList), [&run] { return !run.cancelled; });
    if (run.cancelled) return false;
    mark.partial = false;
    // What waited for a load that stopped part-way is dropped: a save would
    // write the part read over the file. The user learns what was not done.
    std::deque<FileJob> dropped;
    if (outcome.result == listfile::LoadResult::kPartial) dropped.swap(jobs.Waiting());
    std::wstring text;
    if (outcome.openError != ERROR_SUCCESS)
        text = L"The list could not be loaded from " + Quoted(path) + L".\n\n" +
               Reason(path, outcome.openError);
    else if (outcome.result == listfile::LoadResult::kPartial)
        // Said even with nothing waiting: a Save would write the part over the file.
        text = L"The list was loaded from " + Quoted(path) + L" only in part.";
    if (!dropped.empty()) {
        text += L"\n\nWhat was waiting for this load was not done:";
        for (const FileJob& job : dropped)
            text += (job.save ? L"\n    Save to " : L"\n    Load from ") + Quoted(job.path);
    }
    return text.empty() || Tell(text);
}

// Shows `text` over this window until the user closes the box; false when the
// window closed meanwhile (taking the box with it).
bool CustomCodesWindow::Tell(const std::wstring& text) {
    if (!exists()) return false;
    if (MessageBoxW(hwnd_, text.c_str(), L"Pallimo", MB_OK | MB_ICONWARNING) == 0)
        MessageBeep(MB_ICONWARNING);  // no box could be made: at least a sound
    return exists();
}

}  // namespace custom
