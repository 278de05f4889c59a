// The custom codes window as a person uses it: opened with "Extra" from the
// smiley window of the real Pallimo.exe, filled with the mouse and the
// keyboard, saved to and loaded from files in the program's current folder,
// items sent into the stand-in messenger with a double-click, closed and
// opened again, closed in the middle of a long load, and saves that must not
// touch the file they were aimed at, each told in a message box.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "app/smiley_window_ids.h"
#include "custom/custom_codes_window_ids.h"
#include "custom_util.h"
#include "harness.h"
#include "support.h"

namespace {

namespace ids = custom_codes_window_ids;

const std::wstring kPrompt = L"Enter Smiley Code Here";
const char kTag[] = "<font sml=\"AgHSBfc=\">:-D</font>";
constexpr int kLongLines = 200000;

HWND g_main = nullptr;
DWORD g_pid = 0;
e2e::Standin g_standin;
e2e::Process* g_pallimo = nullptr;
std::size_t g_seen = 0;  // records already looked at

HWND Ctl(HWND form, int id) { return e2e::Child(form, id); }

using customs::Box;
using customs::Checked;
using customs::Count;
using customs::Exists;
using customs::FileSize;
using customs::Item;
using customs::Items;
using customs::LeftoverTemps;
using customs::ReadBytes;
using customs::WriteBytes;

std::wstring Wide(const char* s) { return std::wstring(s, s + std::char_traits<char>::length(s)); }

std::wstring InWork(const std::wstring& name) { return e2e::WorkDir() + L"\\" + name; }

// ---- what a person does -------------------------------------------------------

void Press(HWND form, int id) { e2e::Click(Ctl(form, id)); }

// Presses "Add" and waits for its item: everything done before it has then
// been handled too, since the window takes its input in order.
bool AddAndWait(HWND form) {
    const int before = Count(form);
    Press(form, ids::kAddButton);
    return e2e::WaitUntil([&] { return Count(form) == before + 1; }, 10000);
}

void ClickCodeBox(HWND form) {
    Press(form, ids::kCodeBox);
    e2e::WaitUntil([&] { return e2e::TextOf(Ctl(form, ids::kCodeBox)).empty(); }, 5000);
}

// Types a path into the unseen file-name box, reached with Tab from the code box.
void TypePath(HWND form, const std::wstring& path) {
    ClickCodeBox(form);
    e2e::PressKey(VK_TAB);
    e2e::TypeText(path);
    e2e::WaitUntil([&] { return e2e::TextOf(Ctl(form, ids::kFileNameBox)) == path; }, 5000);
    ok(e2e::TextOf(Ctl(form, ids::kFileNameBox)) == path, "the file-name box holds what was typed");
}

void Clear(HWND form) {
    Press(form, ids::kClearButton);
    e2e::WaitUntil([&] { return Count(form) == 0; }, 5000);
}

void ClickItem(HWND form, int index, bool twice = false) {
    HWND list = Ctl(form, ids::kCodeList);
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    const int h = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    POINT p = {20, index * h + h / 2};
    ClientToScreen(list, &p);
    if (twice)
        e2e::DoubleClickAt(p.x, p.y);
    else
        e2e::ClickAt(p.x, p.y);
}

int Selected(HWND form) {
    return static_cast<int>(SendMessageW(Ctl(form, ids::kCodeList), LB_GETCURSEL, 0, 0));
}

// The records that arrived since the last look, once there are `count` of them.
std::vector<e2e::Record> NewRecords(std::size_t count) {
    std::vector<e2e::Record> all =
        e2e::WaitForRecords(g_standin.RecordPath(), g_seen + count, 10000);
    std::vector<e2e::Record> fresh(all.begin() + static_cast<std::ptrdiff_t>(g_seen), all.end());
    g_seen = all.size();
    return fresh;
}

// The system's reason, or, for no name at all, the window's own.
std::wstring Reason(const std::wstring& name, DWORD error) {
    return name.empty() ? L"No file name is set: \"Clear\" empties it."
                        : customs::SystemReason(error);
}

std::wstring SaveRefused(const std::wstring& name, DWORD error) {
    return L"The list could not be saved to \"" + name + L"\".\n\n" + Reason(name, error);
}

std::wstring LoadRefused(const std::wstring& name, DWORD error) {
    return L"The list could not be loaded from \"" + name + L"\".\n\n" + Reason(name, error);
}

// A message box over the window says `want`, with the warning icon; it is
// closed again with its OK button.
bool Told(HWND form, const std::wstring& want, const char* what, DWORD ms = 10000) {
    HWND box = customs::WaitForBox(form, ms);
    const std::wstring text = box != nullptr ? customs::BoxText(box) : L"<no box>";
    const bool warns = box != nullptr && customs::BoxWarns(box);
    const bool closed = box != nullptr && customs::CloseBox(box);
    return ok(text == want && warns && closed, "%s: \"%s\"%s", what, e2e::Printable(text).c_str(),
              warns ? "" : " (no warning icon)");
}

bool ClosedAndSmileyBack(HWND form) {
    return e2e::WaitUntil([&] { return !IsWindow(form) && e2e::IsShown(g_main); }, 10000);
}

// ---- the cases ----------------------------------------------------------------

HWND CheckOpening() {
    HWND form = e2e::OpenCustomCodes(g_main, g_pid);
    if (!ok(form != nullptr, "\"Extra\" opens the custom codes window")) return nullptr;
    ok(e2e::WaitUntil([] { return !IsWindowVisible(g_main); }, 5000),
       "the smiley window hides when the custom codes window opens");
    ok(Count(form) == 0, "the list starts empty");
    ok(e2e::TextOf(Ctl(form, ids::kCodeBox)) == kPrompt, "the code box starts with the prompt");
    ok(e2e::TextOf(Ctl(form, ids::kFileNameBox)) == L"App.Path",
       "the file name starts as App.Path");
    ok(Checked(form, ids::kSendImOption) && !Checked(form, ids::kSendChatOption),
       "\"Send IM\" is chosen at start");
    ok(e2e::FocusOf(form) == Ctl(form, ids::kCodeList), "the list has the keyboard focus at open");
    return form;
}

void CheckAdding(HWND form) {
    Press(form, ids::kAddButton);
    e2e::WaitUntil([&] { return Count(form) == 1; }, 5000);
    ok(Item(form, 0) == kPrompt, "\"Add\" untouched adds the prompt");
    ok(e2e::TextOf(Ctl(form, ids::kCodeBox)) == kPrompt,
       "the code box keeps its text after \"Add\"");

    ClickCodeBox(form);
    ok(e2e::TextOf(Ctl(form, ids::kCodeBox)).empty(), "a click into the code box empties it");
    AddAndWait(form);
    ClickCodeBox(form);  // "Add" took the focus
    e2e::TypeText(L"abc");
    ok(e2e::TextOf(Ctl(form, ids::kCodeBox)) == L"abc", "typed text goes into the code box");
    AddAndWait(form);
    AddAndWait(form);
    ClickCodeBox(form);
    ok(e2e::TextOf(Ctl(form, ids::kCodeBox)).empty(), "a second click erases what was typed");
    const std::vector<std::wstring> want = {kPrompt, L"", L"abc", L"abc"};
    ok(Items(form) == want, "the prompt, an empty item and the same text twice, in order");
}

void CheckSendingRightAfterOpening(HWND form) {
    ClickItem(form, 2, true);
    static const e2e::Expected kIm[] = {SETTEXT("im.input", "abc"),
                                        POSTED("im.send", WM_LBUTTONDOWN),
                                        POSTED("im.send", WM_LBUTTONUP), END_SEQUENCE};
    ok_sequence(NewRecords(3), kIm, "double-click with \"Send IM\" chosen at start");
}

void CheckSaveAndLoad(HWND form) {
    const std::wstring file = InWork(L"App.Path");
    const std::string saved = "Enter Smiley Code Here\r\n\r\nabc\r\nabc\r\n";
    Press(form, ids::kSaveButton);
    ok(e2e::WaitUntil([&] { return ReadBytes(file) == saved; }, 5000),
       "\"Save\" writes App.Path in the current folder, one line per item");
    DeleteFileW(file.c_str());
    PostMessageW(form, WM_COMMAND, ids::kFileSaveItem, 0);
    ok(e2e::WaitUntil([&] { return ReadBytes(file) == saved; }, 5000),
       "File > Save writes the same file");
    ok(LeftoverTemps(e2e::WorkDir()) == 0, "a save leaves no file behind");
    ok(AddAndWait(form) && Box(form) == nullptr, "a save that worked says nothing");

    // Clearing also forgets the file name: Save and Load then do nothing.
    Clear(form);
    ok(e2e::TextOf(Ctl(form, ids::kFileNameBox)).empty(), "\"Clear\" empties the file name too");
    Press(form, ids::kSaveButton);
    Told(form, SaveRefused(L"", ERROR_INVALID_NAME), "\"Save\" with no file name is told");
    Press(form, ids::kLoadButton);
    Told(form, LoadRefused(L"", ERROR_INVALID_NAME), "\"Load\" with no file name is told");
    AddAndWait(form);
    ok(Count(form) == 1, "\"Load\" with no file name adds nothing");
    ok(ReadBytes(file) == saved, "\"Save\" with no file name changes nothing");

    Clear(form);
    TypePath(form, L"App.Path");
    Press(form, ids::kLoadButton);
    Press(form, ids::kLoadButton);
    e2e::WaitUntil([&] { return Count(form) == 8; }, 10000);
    const std::vector<std::wstring> want = {kPrompt, L"", L"abc", L"abc",
                                            kPrompt, L"", L"abc", L"abc"};
    ok(Items(form) == want, "\"Load\" twice shows every item twice, in file order");

    // Delete takes out the selected item; the selection moves to the item
    // that took its place, or to the new last one; with none, nothing goes.
    ClickItem(form, 1);
    e2e::PressKey(VK_DELETE);
    ClickItem(form, 6);
    e2e::PressKey(VK_DELETE);
    ok(e2e::WaitUntil([&] { return Count(form) == 6; }, 5000) && Selected(form) == 5,
       "Delete in the list takes out the selected item; the selection goes to the new last");
    e2e::PressKey(VK_UP);
    e2e::PressKey(VK_UP);
    e2e::PressKey(VK_DELETE);
    ok(e2e::WaitUntil([&] { return Count(form) == 5; }, 5000) && Selected(form) == 3,
       "and else to the item that took the deleted one's place");
    SendMessageW(Ctl(form, ids::kCodeList), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    e2e::PressKey(VK_DELETE);
    AddAndWait(form);
    const std::vector<std::wstring> left = {kPrompt, L"abc", L"abc", L"", L"abc", L""};
    ok(Items(form) == left, "with none selected, Delete takes nothing (%d items)", Count(form));
}

void CheckSmileyTag(HWND form) {
    Clear(form);
    ClickCodeBox(form);
    e2e::TypeText(Wide(kTag));
    AddAndWait(form);
    TypePath(form, L"tag.txt");
    Press(form, ids::kSaveButton);
    ok(e2e::WaitUntil([&] { return ReadBytes(InWork(L"tag.txt")) == std::string(kTag) + "\r\n"; },
                      5000),
       "an item holding a smiley tag is saved as it stands");
    Clear(form);
    TypePath(form, L"tag.txt");
    Press(form, ids::kLoadButton);
    e2e::WaitUntil([&] { return Count(form) == 1; }, 5000);
    ok(Count(form) == 1 && Item(form, 0) == Wide(kTag), "and loads back unchanged");

    ClickItem(form, 0, true);
    static const e2e::Expected kIm[] = {SETTEXT("im.input", kTag),
                                        POSTED("im.send", WM_LBUTTONDOWN),
                                        POSTED("im.send", WM_LBUTTONUP), END_SEQUENCE};
    ok_sequence(NewRecords(3), kIm, "the tag goes into the instant message byte for byte");

    Press(form, ids::kSendChatOption);
    e2e::WaitUntil([&] { return Checked(form, ids::kSendChatOption); }, 5000);
    ok(Checked(form, ids::kSendChatOption) && !Checked(form, ids::kSendImOption),
       "\"Send Chat\" replaces \"Send IM\"");
    ClickItem(form, 0, true);
    static const e2e::Expected kChat[] = {SETTEXT("chat.input", kTag),
                                          SENT("chat.send", WM_LBUTTONDOWN),
                                          SENT("chat.send", WM_LBUTTONUP), END_SEQUENCE};
    ok_sequence(NewRecords(3), kChat, "with \"Send Chat\" the tag goes into the chat room");
}

// Saves that cannot be done leave the target, and the folder, as they were.
void CheckRefusedSaves(HWND form, const std::wstring& lockedDir) {
    const std::wstring ro = InWork(L"ro.txt");
    WriteBytes(ro, "keep\r\n");
    SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryW(InWork(L"sub").c_str(), nullptr);

    TypePath(form, L"ro.txt");
    Press(form, ids::kSaveButton);
    Told(form, SaveRefused(L"ro.txt", ERROR_ACCESS_DENIED), "a save onto a read-only file is told");
    AddAndWait(form);
    ok(Box(form) == nullptr, "once");
    ok(ReadBytes(ro) == "keep\r\n", "a read-only file is not replaced");
    ok((GetFileAttributesW(ro.c_str()) & FILE_ATTRIBUTE_READONLY) != 0, "and stays read-only");

    TypePath(form, L"nofolder\\list.txt");
    Press(form, ids::kSaveButton);
    Told(form, SaveRefused(L"nofolder\\list.txt", ERROR_PATH_NOT_FOUND),
         "a save into a missing folder is told");
    AddAndWait(form);
    ok(!Exists(InWork(L"nofolder")), "a save into a missing folder creates nothing");

    TypePath(form, L"sub");
    Press(form, ids::kSaveButton);
    Told(form, SaveRefused(L"sub", ERROR_ACCESS_DENIED), "a save onto a folder is told");
    const int before = Count(form);
    Press(form, ids::kLoadButton);
    Told(form, LoadRefused(L"sub", ERROR_ACCESS_DENIED), "a load of a folder is told");
    AddAndWait(form);
    ok(Count(form) == before + 1, "a folder loads nothing");
    ok((GetFileAttributesW(InWork(L"sub").c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           LeftoverTemps(InWork(L"sub")) == 0,
       "a save onto a folder leaves it as it was");

    if (Exists(lockedDir + L"\\locked.ok")) {
        const std::wstring locked = lockedDir + L"\\locked.txt";
        const std::string lockedBytes = ReadBytes(locked);
        TypePath(form, L"..\\custom_codes_locked\\locked.txt");
        Press(form, ids::kSaveButton);
        Told(form, SaveRefused(L"..\\custom_codes_locked\\locked.txt", ERROR_ACCESS_DENIED),
             "a save onto a file the system will not let change is told, with the name typed");
        AddAndWait(form);
        ok(ReadBytes(locked) == lockedBytes, "a file the system will not let change is left whole");
        ok(LeftoverTemps(lockedDir) == 0, "and the new file written beside it is gone again");
    } else {
        e2e::Trace("no immutable file prepared (run through CTest as root): case skipped");
    }
    ok(LeftoverTemps(e2e::WorkDir()) == 0, "no refused save leaves a file behind");
    SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A typing slip in the name: the load is told and adds nothing.
    const std::vector<std::wstring> items = Items(form);
    TypePath(form, L"no such.txt");
    Press(form, ids::kLoadButton);
    Told(form, LoadRefused(L"no such.txt", ERROR_FILE_NOT_FOUND),
         "a load of a missing file is told");
    AddAndWait(form);
    std::vector<std::wstring> want = items;
    want.push_back(e2e::TextOf(Ctl(form, ids::kCodeBox)));
    ok(Items(form) == want, "and leaves the list as it was");
}

// A file another program holds open for a moment (a virus scanner, an indexer)
// is still replaced, whole, once it is let go, and keeps its attributes.
void CheckSaveOverHeldFile(HWND form) {
    const std::wstring held = InWork(L"held.txt");
    WriteBytes(held, "old\r\n");
    SetFileAttributesW(held.c_str(), FILE_ATTRIBUTE_HIDDEN);
    TypePath(form, L"held.txt");
    std::string want;
    for (const std::wstring& item : Items(form))
        want += std::string(item.begin(), item.end()) + "\r\n";
    HANDLE h = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ok(h != INVALID_HANDLE_VALUE, "the file is held open");
    PostMessageW(form, WM_COMMAND, ids::kFileSaveItem, 0);
    Sleep(500);
    CloseHandle(h);
    ok(e2e::WaitUntil([&] { return ReadBytes(held) == want; }, 5000),
       "a save onto a file held open for a moment replaces it once it is let go");
    ok((GetFileAttributesW(held.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0, "the file stays hidden");
    ok(LeftoverTemps(e2e::WorkDir()) == 0, "and no file is left behind");
    SetFileAttributesW(held.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A save through a symbolic link (made by CTest) replaces the file it leads
// to and leaves the link leading there.
void CheckSaveThroughLink(HWND form, const std::wstring& lockedDir) {
    const std::wstring link = lockedDir + L"\\link.txt", real = lockedDir + L"\\real.txt";
    if (!Exists(link)) {
        e2e::Trace("no symbolic link prepared (run through CTest): case skipped");
        return;
    }
    std::string want;
    for (const std::wstring& item : Items(form))
        want += std::string(item.begin(), item.end()) + "\r\n";
    TypePath(form, L"..\\custom_codes_locked\\link.txt");
    Press(form, ids::kSaveButton);
    AddAndWait(form);
    ok(ReadBytes(real) == want, "a save through a link replaces the file it leads to");
    WriteBytes(real, "changed\r\n");
    ok(ReadBytes(link) == "changed\r\n", "and the link still leads to it");
    ok(LeftoverTemps(lockedDir) == 0, "no file is left beside it");
}

// Enter on a focused button presses it, as in the smiley and About windows.
void CheckEnterOnButton(HWND form) {
    const int before = Count(form);
    AddAndWait(form);  // the click leaves the focus on "Add"
    e2e::PressKey(VK_RETURN);
    ok(e2e::WaitUntil([&] { return Count(form) == before + 2; }, 5000),
       "Enter on the focused \"Add\" adds an item");
}

// True while a program has the file open (a load reading it): it will not
// share it.
bool HeldOpen(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
}

// A load that runs out of memory (one field of gigabytes in a 32-bit process)
// ends like a load whose read failed: what it read stays, the window answers
// all along, the Save and Load pressed during it are dropped (the Save would
// write the part read over the file being read), and a later Load runs.
void CheckLoadEndedByException(HWND form, const std::string& longBytes) {
    Clear(form);
    const std::wstring huge = InWork(L"huge.txt");
    const long long hugeSize = 3LL << 30;
    WriteBytes(huge, longBytes);
    HANDLE f = CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER end = {};
    end.QuadPart = hugeSize;  // zeros, no line end: stored sparse
    ok(f != INVALID_HANDLE_VALUE && SetFilePointerEx(f, end, nullptr, FILE_BEGIN) &&
           SetEndOfFile(f),
       "a 3 GB file whose last field never ends");
    CloseHandle(f);
    TypePath(form, L"huge.txt");
    PostMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);
    e2e::WaitUntil([&] { return Count(form) > 0; }, 10000);
    // Sent, so that the Save takes the path before it changes.
    SendMessageW(form, WM_COMMAND, ids::kFileSaveItem, 0);
    SendMessageW(Ctl(form, ids::kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"tag.txt"));
    PostMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);

    e2e::WaitUntil([&] { return Count(form) >= kLongLines; }, 120000);
    HWND list = Ctl(form, ids::kCodeList);
    int probes = 0, unanswered = 0;
    double worst = 0;
    const double start = e2e::NowMs();
    while (HeldOpen(huge) && e2e::NowMs() - start < 120000) {
        const double asked = e2e::NowMs();
        DWORD_PTR n = 0;
        if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 1000, &n)) ++unanswered;
        worst = std::max(worst, e2e::NowMs() - asked);
        ++probes;
        Sleep(50);
    }
    ok(probes > 0 && unanswered == 0,
       "the window answers within 1 s while the line-less field is read (%d asked, %d not "
       "answered, worst %.0f ms)",
       probes, unanswered, worst);
    Told(form,
         L"The list was loaded from \"huge.txt\" only in part.\n\nWhat was waiting for this load "
         L"was not done:\n    Save to \"huge.txt\"\n    Load from \"tag.txt\"",
         "the Save and Load dropped with it are told, once");
    e2e::Trace(
        "the load ran out of memory %.1f s after its last line; the window answered %d "
        "times meanwhile, the slowest in %.0f ms",
        (e2e::NowMs() - start) / 1000, probes, worst);
    AddAndWait(form);
    ok(Count(form) == kLongLines + 1 && Item(form, kLongLines - 1) == L"line 199999",
       "the items read before the failure stay; the Load pressed during it did not run (%d)",
       Count(form));
    ok(FileSize(huge) == hugeSize,
       "the Save pressed during it did not write the part read over the file (%lld bytes)",
       FileSize(huge));
    ok(LeftoverTemps(e2e::WorkDir()) == 0, "no file is left behind");
    // A save onto a folder is refused before the long list is read.
    SendMessageW(Ctl(form, ids::kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sub"));
    const double asked = e2e::NowMs();
    PostMessageW(form, WM_COMMAND, ids::kFileSaveItem, 0);
    customs::WaitForBox(form, 10000);
    e2e::Trace("a save onto a folder with %d items in the list was refused in %.0f ms", Count(form),
               e2e::NowMs() - asked);
    Told(form, SaveRefused(L"sub", ERROR_ACCESS_DENIED), "and told");
    Clear(form);
    TypePath(form, L"tag.txt");
    Press(form, ids::kLoadButton);
    ok(e2e::WaitUntil([&] { return Count(form) == 1; }, 10000), "a later Load runs");
    ok(DeleteFileW(huge.c_str()) != FALSE, "the 3 GB file is deleted again");
}

HWND CheckCloseAndReopen(HWND form) {
    ok(Count(form) > 0, "items in the list before closing");
    e2e::Activate(form);
    e2e::PressKey('F', VK_MENU);
    e2e::PressKey('E');
    ok(ClosedAndSmileyBack(form), "File > &Exit closes the window and shows the smiley window");
    form = e2e::OpenCustomCodes(g_main, g_pid);
    if (!ok(form != nullptr, "the custom codes window opens again")) return nullptr;
    ok(Count(form) == 0 && e2e::TextOf(Ctl(form, ids::kCodeBox)) == kPrompt &&
           e2e::TextOf(Ctl(form, ids::kFileNameBox)) == L"App.Path" &&
           Checked(form, ids::kSendImOption),
       "reopened, the window starts afresh: empty list, start texts, \"Send IM\"");
    return form;
}

// Closing the window while it tells a failed save takes the box with it; the
// program goes on, and the window opens again.
HWND CheckCloseWhileTelling(HWND form) {
    TypePath(form, L"sub");
    Press(form, ids::kSaveButton);
    HWND box = customs::WaitForBox(form, 10000);
    ok(box != nullptr, "a save onto a folder is told");
    PostMessageW(form, WM_CLOSE, 0, 0);
    ok(ClosedAndSmileyBack(form) && !IsWindow(box),
       "closing the window while the box is up closes both and shows the smiley window");
    ok(g_pallimo->Running(), "Pallimo is still running");
    form = e2e::OpenCustomCodes(g_main, g_pid);
    ok(form != nullptr && Count(form) == 0, "the window opens again, empty");
    return form;
}

std::string LongFile() {
    std::string bytes;
    for (int i = 0; i < kLongLines; ++i) bytes += "line " + std::to_string(i) + "\r\n";
    return bytes;
}

HWND CheckCloseDuringLoad(HWND form) {
    TypePath(form, L"long.txt");
    // Both land in the queue at once: the close is handled inside the load.
    PostMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);
    PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    ok(ClosedAndSmileyBack(form),
       "closing during a load closes the window and shows the smiley window");
    ok(g_pallimo->Running(), "Pallimo is still running");
    form = e2e::OpenCustomCodes(g_main, g_pid);
    if (!ok(form != nullptr, "the window opens again after a close during a load")) return nullptr;
    ok(Count(form) == 0, "the new window starts empty");
    AddAndWait(form);
    ok(Count(form) == 1 && Item(form, 0) == kPrompt, "and gets nothing from the ended load");
    return form;
}

// Save and Load pressed while a load is reading wait for it, in the order
// they were pressed: the save writes the whole list, the load appends after it.
void CheckSaveAndLoadDuringLoad(HWND form, const std::string& longBytes) {
    Clear(form);
    TypePath(form, L"long.txt");
    PostMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);
    ok(e2e::WaitUntil([&] { return Count(form) > 0; }, 10000), "the window answers during a load");
    ClickItem(form, 0);
    e2e::PressKey(VK_DELETE);
    ok(e2e::WaitUntil([&] { return Item(form, 0) == L"line 1"; }, 10000) && Selected(form) == 0 &&
           Count(form) < kLongLines - 1,
       "Delete works during a load");
    // A Load of a missing file, then another name, Save and Load: the Load
    // that reads nothing does not drop what waits after it. Sent, so that
    // each takes its path before it changes.
    SendMessageW(Ctl(form, ids::kFileNameBox), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"none.txt"));
    SendMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);
    SendMessageW(Ctl(form, ids::kFileNameBox), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"copy.txt"));
    SendMessageW(form, WM_COMMAND, ids::kFileSaveItem, 0);
    PostMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);
    const int atPress = Count(form);
    ok(atPress < kLongLines - 1, "Save and Load pressed in the middle of the load (%d items in)",
       atPress);
    // Told once the load has ended, while the Save and Load still wait.
    Told(form, LoadRefused(L"none.txt", ERROR_FILE_NOT_FOUND),
         "the Load of a missing file that waited for the load is told", 120000);

    // Until the second load has added the last line of its file.
    e2e::WaitUntil(
        [&] {
            const int n = Count(form);
            return n >= 2 * kLongLines - 2 && Item(form, n - 1) == L"line 199999";
        },
        120000);
    AddAndWait(form);
    ok(Count(form) == 2 * kLongLines - 1,
       "the Load pressed during the load appends the file saved meanwhile (%d)", Count(form));
    ok(Item(form, 0) == L"line 1" && Item(form, kLongLines - 2) == L"line 199999" &&
           Item(form, kLongLines - 1) == L"line 1" &&
           Item(form, 2 * kLongLines - 3) == L"line 199999",
       "both loads in file order, one after the other, without the deleted line");
    ok(ReadBytes(InWork(L"copy.txt")) == longBytes.substr(std::strlen("line 0\r\n")),
       "the Save pressed during the load waited for it and wrote the whole list");
    ok(ReadBytes(InWork(L"long.txt")) == longBytes, "the file being read is left as it was");
    ok(LeftoverTemps(e2e::WorkDir()) == 0, "and no file is left behind");
}

// Clear in the middle of a load drops the Save and Load pressed during it: the
// Save would write the load's tail over the file being read.
void CheckClearDropsWaiting(HWND form, const std::string& longBytes) {
    Clear(form);
    TypePath(form, L"long.txt");
    PostMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);
    ok(e2e::WaitUntil([&] { return Count(form) > 0; }, 10000), "a load runs");
    PostMessageW(form, WM_COMMAND, ids::kFileSaveItem, 0);
    PostMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);
    PostMessageW(form, WM_COMMAND, ids::kFileClearItem, 0);
    ok(e2e::WaitUntil([&] { return e2e::TextOf(Ctl(form, ids::kFileNameBox)).empty(); }, 10000),
       "Save, Load and Clear pressed in the middle of the load (%d items in)", Count(form));
    // A Load of another file marks the end of what waits.
    SendMessageW(Ctl(form, ids::kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"tag.txt"));
    PostMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);
    ok(e2e::WaitUntil([&] { return Count(form) > 0 && Item(form, Count(form) - 1) == Wide(kTag); },
                      120000),
       "the Load pressed after the Clear runs");
    const int n = Count(form);
    ok(n >= 2 && n <= kLongLines + 1 && Item(form, n - 2) == L"line 199999",
       "the running load went on to its end, the Load pressed before the Clear did not run (%d)",
       n);
    ok(ReadBytes(InWork(L"long.txt")) == longBytes,
       "the Save pressed before the Clear did not write over the file being read");
    ok(LeftoverTemps(e2e::WorkDir()) == 0, "no file is left behind");
}

// While a box stands, Save and Load wait behind it. A Load that cannot open
// its file (a folder) is told, and so is the Save waiting behind it, which is
// dropped.
void CheckRefusedLoadDropsWaiting(HWND form) {
    TypePath(form, L"sub");
    Press(form, ids::kSaveButton);
    HWND box = customs::WaitForBox(form, 10000);
    // Sent, so that each takes its path before it changes.
    SendMessageW(form, WM_COMMAND, ids::kFileLoadItem, 0);
    SendMessageW(Ctl(form, ids::kFileNameBox), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"dropped.txt"));
    SendMessageW(form, WM_COMMAND, ids::kFileSaveItem, 0);
    ok(box != nullptr && Box(form) == box && customs::CloseBox(box),
       "a Load and a Save pressed while a box stands wait behind it");
    Told(form,
         LoadRefused(L"sub", ERROR_ACCESS_DENIED) +
             L"\n\nWhat was waiting for this load was not done:\n    Save to \"dropped.txt\"",
         "then the load of the folder is told, with the save it drops");
    AddAndWait(form);
    ok(Box(form) == nullptr && !Exists(InWork(L"dropped.txt")), "and that save wrote nothing");
}

}  // namespace

int main() {
    // Beside this test's work folder; CTest makes the file in it immutable.
    const std::wstring work = e2e::WorkDir();
    const std::wstring lockedDir =
        work.substr(0, work.find_last_of(L'\\')) + L"\\custom_codes_locked";
    const std::string longBytes = LongFile();
    WriteBytes(InWork(L"long.txt"), longBytes);

    if (!ok(g_standin.Start(), "the stand-in messenger starts")) return e2e::Finish();
    e2e::Process pallimo;
    g_main = e2e::StartPallimo(pallimo).main;
    if (!ok(pallimo.Id() != 0, "Pallimo starts")) return e2e::Finish();
    g_pid = pallimo.Id();
    g_pallimo = &pallimo;
    if (!ok(g_main != nullptr && e2e::WaitUntil([] { return e2e::IsShown(g_main); }, 20000),
            "the smiley window shows"))
        return e2e::Finish();
    g_seen = g_standin.Records().size();  // the start-up announcement

    HWND form = CheckOpening();
    if (form != nullptr) {
        CheckAdding(form);
        CheckSendingRightAfterOpening(form);
        CheckSaveAndLoad(form);
        CheckSmileyTag(form);
        CheckRefusedSaves(form, lockedDir);
        CheckSaveOverHeldFile(form);
        CheckSaveThroughLink(form, lockedDir);
        CheckEnterOnButton(form);
        // Only a 32-bit Pallimo runs out of memory on the 3 GB field.
        if (sizeof(void*) == 4)
            CheckLoadEndedByException(form, longBytes);
        else
            e2e::Trace("the 64-bit build does not run out of memory on a 3 GB field: not tried");
        form = CheckCloseAndReopen(form);
    }
    if (form != nullptr) form = CheckCloseWhileTelling(form);
    if (form != nullptr) form = CheckCloseDuringLoad(form);
    if (form != nullptr) CheckSaveAndLoadDuringLoad(form, longBytes);
    if (form != nullptr) CheckClearDropsWaiting(form, longBytes);
    if (form != nullptr) CheckRefusedLoadDropsWaiting(form);
    ok(pallimo.Running(), "Pallimo ran to the end of the test");
    return e2e::Finish();
}
