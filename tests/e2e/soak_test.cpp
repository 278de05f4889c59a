// A seeded, reproducible random soak of the real Pallimo.exe beside the
// stand-in messenger: thousands of user actions across all four windows,
// real clicks and typing where they are cheap and window messages where a
// real click would be too slow, checked against a model of what must happen.
//
// After every action the stand-in's record must hold exactly the messages
// the action had to send, in order, and every file a save was aimed at must
// hold exactly the model's list, or, when the save was refused, what it held
// before. Every few actions Pallimo must answer, and its windows, texts,
// list and notification icon must match the model. A failure prints the
// seed, the number and kind of the action and, for messages, what was
// expected beside what arrived; a save or load that cannot be done must be
// told in a message box that names its file, and nothing else may be told; it is counted as a
// crash, a hang or a mismatch, Pallimo starts afresh and the run goes on.
//
//   PALLIMO_SOAK_ACTIONS  how many actions (default: a run of a few minutes)
//   PALLIMO_SOAK_SEED     the seed (default fixed, so that every run is the same)
//   PALLIMO_SOAK_SECONDS  stop early after this many seconds (0: never)
//
// Ordering is what keeps the model exact. Messages posted to Pallimo are
// handled in the order they were posted, but a sent message overtakes posted
// ones still waiting, and posted messages overtake real input still waiting.
// So a sent message or real input only follows posted ones once a posted
// barrier has been handled, and every real action waits until its own effect
// shows before anything else is done.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/smiley_window_ids.h"
#include "app/tray_win.h"
#include "custom/custom_codes_window_ids.h"
#include "custom/listfile.h"
#include "custom_util.h"
#include "delivery_util.h"
#include "harness.h"
#include "info/info_ids.h"
#include "smileys_util.h"
#include "standin/record.h"
#include "support.h"

namespace {

namespace mids = smiley_window_ids;
namespace fids = custom_codes_window_ids;

constexpr unsigned long long kDefaultSeed = 20240611;
constexpr int kDefaultActions = 2000;
constexpr int kDefaultSeconds = 220;

constexpr DWORD kSendMs = 30000;    // a sent action may run a whole delivery or load
constexpr DWORD kEffectMs = 10000;  // until an action's effect must show
constexpr DWORD kLoadMs = 120000;   // until a long load must have ended
constexpr DWORD kAliveMs = 5000;    // Pallimo answers a message within this
constexpr int kRealPercent = 25;    // of the actions that can be done with real input
constexpr int kCheckEvery = 8;      // actions between checks of the whole state
constexpr int kFilesEvery = 64;     // actions between checks of every file

const wchar_t kPrompt[] = L"Enter Smiley Code Here";
const wchar_t kStartPath[] = L"App.Path";
const wchar_t kLoaded[] = L" --^V- Pallimo Loaded -V^-- ";
const wchar_t kCodedBy[] = L" --^V- Coded By: Tarrow -V^-- ";

// ---- settings and the random source ---------------------------------------------

unsigned long long EnvNumber(const wchar_t* name, unsigned long long fallback) {
    wchar_t buf[64];
    const DWORD n = GetEnvironmentVariableW(name, buf, 64);
    if (n == 0 || n >= 64) return fallback;
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(buf, &end, 10);
    return end != buf && *end == L'\0' ? value : fallback;
}

// splitmix64: the same numbers from the same seed with every compiler.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) {
        return n <= 1 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n));
    }
    bool Chance(int percent) { return Below(100) < percent; }

  private:
    std::uint64_t state_;
};

// ---- text at the boundary -----------------------------------------------------------

// A field of a loaded file as the list holds it: converted from the ANSI code
// page and, since a list item cannot hold a NUL, cut at the first one.
std::wstring ItemOfField(const std::string& field) {
    std::wstring w;
    if (!field.empty()) {
        const int n = MultiByteToWideChar(CP_ACP, 0, field.data(), static_cast<int>(field.size()),
                                          nullptr, 0);
        w.assign(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
        if (n > 0)
            MultiByteToWideChar(CP_ACP, 0, field.data(), static_cast<int>(field.size()), &w[0], n);
    }
    const std::size_t nul = w.find(L'\0');
    if (nul != std::wstring::npos) w.resize(nul);
    return w;
}

// Codes as a person types them: smiley tags, bare codes, commas, quotes,
// blanks at either end and characters the ANSI code page may lack.
std::wstring RandomCode(Rng& rng, std::size_t maxLength) {
    static const wchar_t* const kPieces[] = {
        L"<font sml=\"AgHSBfc=\">:-D</font>",
        L"AgHSE5E=",
        L"<font sml=",
        L"\"",
        L",",
        L", ",
        L"\"quoted, text\"",
        L"</font>",
        L">;-)",
        L":-)",
        L" ",
        L"x",
        L"abc",
        L"caf\u00e9",
        L"\u20ac",
        L"\u0153",
        L"\u03a9",
        L"\u4e2d\u6587",
        L"\u263a",
        L"\u00df",
        L"O:-)",
        L"=-O",
        L":-\\",
        L"'",
        L"&amp;",
        L"<b>",
        L"\u00ff",
        L"\u0416",
        L"tab\u00a0stop",
    };
    const int pieces = rng.Below(6);
    std::wstring out;
    for (int i = 0; i < pieces; ++i)
        out += kPieces[rng.Below(static_cast<int>(sizeof kPieces / sizeof kPieces[0]))];
    if (out.size() > maxLength) out.resize(maxLength);
    return out;
}

// ---- files ---------------------------------------------------------------------------

enum class Node { Missing, File, Folder, Device };

struct FileState {
    Node node = Node::Missing;
    bool readOnly = false;
    bool parentExists = true;
    std::string bytes;
};

// A name longer than any file system takes for one file.
const std::wstring kTooLong = std::wstring(300, L'n') + L".txt";

// The file-name box takes these names: targets for saves, files a person
// might point a load at by mistake, and names that cannot be written.
const wchar_t* const kSaveNames[] = {
    L"App.Path",         L"list_a.txt",   L"list b.txt", L"sub\\list.txt",   L"caf\u00e9.txt",
    L"\u540d\u5355.txt", L"readonly.txt", L"folder",     L"nofolder\\x.txt", L"NUL",
    kTooLong.c_str(),
};
const wchar_t* const kHostileNames[] = {
    L"plain.txt", L"tags.txt",  L"binary.bin", L"nuls.txt",    L"unclosed.txt", L"lonecr.txt",
    L"huge.txt",  L"empty.txt", L"editor.txt", L"missing.txt", L"medium.txt",   L"bom.txt",
};
const wchar_t kLongName[] = L"long.txt";
constexpr int kMediumLines = 40000;
constexpr int kLongLines = 300000;

std::string NumberedLines(const char* prefix, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += std::string(prefix) + std::to_string(i) + "\r\n";
    return out;
}

std::map<std::wstring, FileState> HostileFiles(Rng& rng) {
    std::map<std::wstring, FileState> f;
    auto file = [&](const wchar_t* name, const std::string& bytes) {
        f[name].node = Node::File;
        f[name].bytes = bytes;
    };
    file(L"plain.txt", "alpha\r\nbeta\r\n\r\ngamma delta\r\n");
    file(L"tags.txt",
         "<font sml=\"AgHSBfc=\">:-D</font>\r\n\"quoted, with comma\",after\r\nAgHSE5E=\r\n"
         "  spaced  ,\r\nlast,\r\n");
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>(rng.Below(256));
    file(L"binary.bin", binary);
    file(L"nuls.txt", std::string("ab\0cd\r\n\0\r\nx\0\0y,z\0\r\n", 18));
    file(L"unclosed.txt", "\"never closed, at all\r\nnext line\r\n\"at the end");
    file(L"lonecr.txt", "one\rtwo\rthree\nfour\r\n\r\r\n");
    std::string huge;
    for (int i = 0; i < 100000; ++i) huge += static_cast<char>('a' + i % 26);
    file(L"huge.txt", huge + "\r\nshort\r\n");
    file(L"empty.txt", "");
    file(L"editor.txt", "last line\r\n \t\x1a\x1a");
    file(L"bom.txt",
         "\xef\xbb\xbf"
         "first\r\nsecond\r\n");
    f[L"missing.txt"].node = Node::Missing;
    file(L"medium.txt", NumberedLines("medium ", kMediumLines));
    return f;
}

// ---- what the stand-in must receive -----------------------------------------------------

struct Exp {
    const char* window;
    unsigned message;
    bool posted;
    std::string text;
    int delivery;  // which delivery the message belongs to, counted from the start
    bool im;       // an instant message
    bool imText;   // an instant message with a text
    e2e::Expected Want() const {
        return {window, message, posted, message == WM_SETTEXT ? text.c_str() : nullptr, 0};
    }
};

// The messenger handles a message sent to it at once, and posted ones when it
// gets to them, so a later delivery's sent messages can reach it before an
// earlier instant message's posted Send press. Pallimo makes an instant
// message wait until the input box the last press was aimed at is empty. After
// a message with a text that means its press was taken; after one without a
// text into an empty box it means nothing, and the next text may overtake
// that press (which then sends the new text, and the new press finds the box
// empty: the same result). Nothing else orders the two kinds. So: the sent
// messages in order, the posted ones in order, each delivery's own in order,
// and an instant message's text after the press of the last one with a text.
bool SameButInterleaved(const std::vector<e2e::Record>& got, const std::vector<Exp>& want) {
    if (got.size() != want.size()) return false;
    std::vector<std::size_t> at(want.size());
    for (const bool posted : {false, true}) {
        std::size_t g = 0;
        for (std::size_t w = 0; w < want.size(); ++w) {
            if (want[w].posted != posted) continue;
            while (g < got.size() && got[g].posted != posted) ++g;
            if (g == got.size() || !e2e::Matches(got[g], want[w].Want())) return false;
            at[w] = g++;
        }
    }
    std::size_t press = 0;
    bool pressed = false;
    for (std::size_t w = 0; w < want.size(); ++w) {
        if (w > 0 && want[w].delivery == want[w - 1].delivery && at[w] < at[w - 1]) return false;
        if (want[w].im && want[w].message == WM_SETTEXT && pressed && at[w] < press) return false;
        if (want[w].imText && want[w].message == WM_LBUTTONUP) {
            press = at[w];
            pressed = true;
        }
    }
    return true;
}

// ---- the model ------------------------------------------------------------------------

enum class Place { Shown, Tray, Hidden };

struct Model {
    Place main = Place::Shown;
    std::wstring text1, text2;  // the smiley window's hidden boxes
    bool custom = false;        // the custom codes window is open
    std::vector<std::wstring> items;
    std::wstring code, path;
    bool chat = false;  // "Send Chat" chosen
    bool help = false, about = false;
};

struct Job {
    bool save;
    std::wstring path;
};

class Soak {
  public:
    Soak(std::uint64_t seed, int actions, int seconds)
        : seed_(seed),
          actions_(actions),
          seconds_(seconds),
          rng_(seed),
          probe_(~seed),
          perKind_(static_cast<std::size_t>(kActionCount), 0) {}
    int Run();

  private:
    // ---- set-up and recovery
    bool PrepareFiles();
    bool Start();
    void Recover();
    void ResyncFiles();
    void Fail(const std::string& what);
    bool Mismatch(const std::string& what);

    // ---- ordering
    void Post(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    bool Send(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0,
              DWORD_PTR* result = nullptr);
    bool SendOrPost(bool send, HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    bool Settle();
    bool Barrier();
    bool Effect(const std::function<bool()>& cond, const std::string& what, DWORD ms = kEffectMs);
    bool ClearSpot(HWND target, HWND top, POINT& p);
    void Remember(HWND target, POINT p);
    bool RealClick(HWND target, HWND top, POINT p);
    bool RealClickControl(HWND control, HWND top);
    bool RealFrameClick(HWND top, LRESULT hit);
    bool RealDoubleClickItem(int index);

    // ---- records and checks
    void ExpectIm(const std::wstring& text);
    void ExpectChat(const std::wstring& text);
    void ExpectDelivery(const std::wstring& text) { m_.chat ? ExpectChat(text) : ExpectIm(text); }
    void PollRecords();
    bool CheckRecords(DWORD ms);
    bool Flush(bool compare);
    bool Alive();
    bool CheckState();
    bool CheckFile(const std::wstring& name);
    bool CheckAllFiles(bool all);
    bool CheckLeftovers();
    // The custom codes window tells a save or load of `name` it cannot do.
    void ExpectTold(bool save, const std::wstring& name) { told_.push_back({save, name}); }
    bool CloseBoxes();

    // ---- the model of files
    std::wstring PathOf(const std::wstring& name) const { return e2e::WorkDir() + L"\\" + name; }
    FileState& FileOf(const std::wstring& name);
    bool SaveWrites(const std::wstring& name);
    std::vector<std::wstring> Fields(const std::wstring& name);
    bool Unopenable(const std::wstring& name) {
        return name.empty() || FileOf(name).node != Node::File;
    }
    void ModelSave(const std::wstring& name);
    bool RestoreHostile(const std::wstring& name);
    bool VerifySaves(const std::vector<std::wstring>& names);
    void ModelJobs(const std::vector<Job>& jobs, std::vector<std::wstring>& saved);
    std::wstring RandomPath();

    // ---- handles
    HWND MainCtl(int id) const { return e2e::Child(main_, id); }
    HWND FormCtl(int id) const { return e2e::Child(form_, id); }
    HWND FindForm() const { return e2e::FindTopLevel(fids::kClass, nullptr, pallimo_.Id()); }
    int Count() const { return form_ != nullptr ? customs::Count(form_) : -1; }
    void ResetModel();
    void OpenedCustom();

    // ---- actions
    // One kind of action: its name, how often it is chosen in the state the
    // model is in (0: not now), whether the whole state is checked after
    // it, and what it does.
    struct Action {
        const char* name;
        int (*weight)(const Model& m);
        bool heavy;
        bool (*run)(Soak& soak);
    };
    static const Action kActions[];
    static const int kActionCount;
    int Choose();
    bool Style();
    bool Face();
    bool FaceKeys(bool menu);
    bool Command3();
    bool SmileyBurst();
    bool EditHidden();
    bool OpenCustom();
    bool Minimise();
    bool TrayIgnore();
    bool TrayRestore();
    bool CloseSmiley();
    bool TypeCode();
    bool SetCode();
    bool ClickCodeBox();
    bool Add();
    bool Clear();
    bool SetPath(bool allowTyping);
    bool Save();
    bool Load();
    bool DoubleClick();
    bool Delete();
    bool Destination();
    bool OpenInfo(bool about);
    bool CloseInfo();
    bool CloseCustom();
    bool LoadWithActions();
    bool CloseDuringLoad();
    bool CustomBurst();
    // Steps of the actions that post.
    void PostDoubleClick(int index);
    void PostDestination(bool chat);
    void PostDelete(int index);
    void PostFormButton(int buttonId, int menuId);
    bool SetPathDirect(const std::wstring& path);

    const std::uint64_t seed_;
    const int actions_;
    const int seconds_;
    Rng rng_;    // chooses the actions: the same seed, the same actions
    Rng probe_;  // chooses which list items a check reads

    e2e::Standin standin_;
    e2e::RecordTail tail_;
    e2e::Process pallimo_;
    HWND main_ = nullptr, form_ = nullptr, help_ = nullptr, about_ = nullptr;
    Model m_;
    std::map<std::wstring, FileState> files_;
    std::map<std::wstring, FileState> hostile_;

    struct Told {
        bool save;
        std::wstring name;
    };
    std::deque<Told> told_;  // the message boxes to come, in order
    int toldCount_ = 0;
    std::vector<Exp> expected_;
    std::vector<e2e::Record> got_;
    int markers_ = 0;
    int deliveries_ = 0;
    int interleaved_ = 0;  // actions whose messages arrived in another allowed order
    bool posted_ = false;
    WPARAM limit_ = 0;

    // The last real click, so that two on one spot never make a double click.
    HWND lastHwnd_ = nullptr;
    POINT lastPoint_ = {0, 0};
    DWORD lastTick_ = 0;

    int index_ = -1;
    int kind_ = 0;  // the action being done, in kActions
    std::string failure_;
    int crashes_ = 0, hangs_ = 0, mismatches_ = 0;
    std::vector<int> perKind_;
    int real_ = 0, restarts_ = 0, lateCloses_ = 0;
};

// ---- set-up ------------------------------------------------------------------------------

bool Soak::PrepareFiles() {
    Rng fileRng(seed_ ^ 0x5eed5eedull);
    hostile_ = HostileFiles(fileRng);
    files_ = hostile_;
    // A run that was stopped may have left its files: start from none.
    SetFileAttributesW(PathOf(L"readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const wchar_t* name : kSaveNames) DeleteFileW(PathOf(name).c_str());
    RemoveDirectoryW(PathOf(L"nofolder").c_str());
    CreateDirectoryW(PathOf(L"sub").c_str(), nullptr);
    CreateDirectoryW(PathOf(L"folder").c_str(), nullptr);
    bool done = customs::WriteBytes(PathOf(L"folder\\inner.txt"), "inside\r\n");
    for (const wchar_t* name : kSaveNames) files_[name].node = Node::Missing;
    files_[L"folder"].node = Node::Folder;
    files_[L"nofolder\\x.txt"].parentExists = false;
    files_[kTooLong].parentExists = false;
    files_[L"NUL"].node = Node::Device;
    files_[L""].node = Node::Device;  // no file at all
    FileState& ro = files_[L"readonly.txt"];
    ro.node = Node::File;
    ro.readOnly = true;
    ro.bytes = "keep\r\nthis,one\r\n";
    FileState& longFile = files_[kLongName];
    longFile.node = Node::File;
    longFile.bytes = NumberedLines("long ", kLongLines);
    for (auto& entry : files_)
        if (entry.second.node == Node::File)
            done = customs::WriteBytes(PathOf(entry.first), entry.second.bytes) && done;
    done = SetFileAttributesW(PathOf(L"readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY) && done;
    return done;
}

// Pallimo starts again with the style chosen last.
void Soak::ResetModel() {
    const std::wstring chosen = m_.text1;
    m_ = Model();
    m_.text1 = chosen.empty() ? catalogue::StartCode() : chosen;
    form_ = help_ = about_ = nullptr;
    told_.clear();
}

bool Soak::Start() {
    ResetModel();
    pallimo_.Kill();  // one that ended: lets its handle go
    const e2e::Started started = e2e::StartPallimo(pallimo_, nullptr, 30000, true);
    main_ = started.main;
    if (main_ == nullptr) return Mismatch("Pallimo's smiley window did not show");
    ExpectChat(kLoaded);
    ExpectChat(kCodedBy);
    return CheckRecords(kEffectMs);
}

// What the run before left behind is no longer compared: Pallimo starts again,
// and the files are taken as they are on disk.
void Soak::Recover() {
    pallimo_.Kill();
    Flush(false);
    ResyncFiles();
    ++restarts_;
    if (!Start()) e2e::Trace("soak: Pallimo does not start again");
    // Ended without its own close, it may have kept an earlier style.
    if (main_ != nullptr) m_.text1 = e2e::TextOf(MainCtl(mids::kCodeBox));
}

void Soak::ResyncFiles() {
    for (auto& entry : files_) {
        FileState& f = entry.second;
        if (f.node == Node::Device) continue;
        const std::wstring path = PathOf(entry.first);
        const DWORD attrs = GetFileAttributesW(path.c_str());
        if (attrs == INVALID_FILE_ATTRIBUTES) {
            f.node = Node::Missing;
        } else if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
            f.node = Node::Folder;
        } else {
            f.node = Node::File;
            f.readOnly = (attrs & FILE_ATTRIBUTE_READONLY) != 0;
            f.bytes = customs::ReadBytes(path);
        }
    }
    for (const wchar_t* folder : {L"", L"\\sub", L"\\folder"}) {
        WIN32_FIND_DATAW fd;
        const std::wstring dir = e2e::WorkDir() + folder;
        HANDLE h = FindFirstFileW((dir + L"\\pal*.tmp").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) continue;
        do DeleteFileW((dir + L"\\" + fd.cFileName).c_str());
        while (FindNextFileW(h, &fd));
        FindClose(h);
    }
}

bool Soak::Mismatch(const std::string& what) {
    if (failure_.empty()) failure_ = what;
    return false;
}

// Counts the failure of the current action by what became of Pallimo, prints
// where it happened, and starts afresh.
void Soak::Fail(const std::string& what) {
    const bool crashed = !pallimo_.Running();
    const bool hung = !crashed && !deliveries::Answers(main_, kAliveMs);
    if (crashed)
        ++crashes_;
    else if (hung)
        ++hangs_;
    else
        ++mismatches_;
    char exitCode[32] = "";
    if (crashed)
        std::snprintf(exitCode, sizeof exitCode, " (exit code %08lx)", pallimo_.ExitCode());
    ok(false, "seed %llu, action #%d (%s): %s%s: %s", static_cast<unsigned long long>(seed_),
       index_, index_ >= 0 ? kActions[kind_].name : "start",
       crashed ? "Pallimo crashed"
       : hung  ? "Pallimo hangs"
               : "mismatch",
       exitCode, what.c_str());
    Recover();
}

// ---- ordering ------------------------------------------------------------------------------

void Soak::Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    PostMessageW(hwnd, msg, wParam, lParam);
    posted_ = true;
}

bool Soak::Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    if (!Settle()) return false;
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, kSendMs, &r))
        return Mismatch("a sent message got no answer");
    if (result != nullptr) *result = r;
    return true;
}

bool Soak::SendOrPost(bool send, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (send) return Send(hwnd, msg, wParam, lParam);
    Post(hwnd, msg, wParam, lParam);
    return true;
}

bool Soak::Settle() {
    if (!posted_) return true;
    posted_ = false;
    return Barrier();
}

// A posted message whose handling shows: a new text limit for the smiley
// window's hidden Text2, which nothing types into. Once it is handled, every
// message posted before it has been handled too (or is running, if it pumps).
bool Soak::Barrier() {
    HWND box = MainCtl(mids::kTagTailBox);
    limit_ = limit_ == 0x7ffffff0 ? 0x7ffffff1 : 0x7ffffff0;
    PostMessageW(box, EM_SETLIMITTEXT, limit_, 0);
    const bool handled = e2e::WaitUntil(
        [&] {
            DWORD_PTR r = 0;
            return SendMessageTimeoutW(box, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, kAliveMs, &r) &&
                   r == limit_;
        },
        kLoadMs);
    return handled || Mismatch("Pallimo did not handle the messages posted to it");
}

// Past `ms`, the wait goes on while Pallimo is still at work on the action
// (its window does not answer at once), up to the bound of a long load: on a
// slow machine an action takes longer, and only an effect still missing once
// Pallimo is idle again is a mismatch.
bool Soak::Effect(const std::function<bool()>& cond, const std::string& what, DWORD ms) {
    if (e2e::WaitUntil(cond, ms)) return true;
    const DWORD start = GetTickCount();
    while (pallimo_.Running() && !deliveries::Answers(main_, 100) &&
           GetTickCount() - start < kLoadMs) {
        if (cond()) return true;
        Sleep(10);
    }
    return cond() || Mismatch(what);
}

// Whether real input at `p` on `target` can be given: a click there must not
// pair with the last one into a double click, and no other window may cover
// the spot. On a control `p` moves aside a little to keep the clicks apart;
// a frame's button is too small for that. False: the caller does the same
// thing with a message instead.
bool Soak::ClearSpot(HWND target, HWND top, POINT& p) {
    if (!Settle()) return false;
    const RECT r = e2e::ScreenRect(target);
    const bool recent = target == lastHwnd_ && GetTickCount() - lastTick_ < 1000;
    if (recent && std::abs(p.x - lastPoint_.x) <= 4 && std::abs(p.y - lastPoint_.y) <= 4) {
        if (target == top) return false;
        p.x = p.x + 10 < r.right - 1 ? p.x + 10 : p.x - 10;
        if (p.x <= r.left || p.x >= r.right - 1) return false;
    }
    e2e::Activate(top);
    return GetAncestor(WindowFromPoint(p), GA_ROOT) == top;
}

void Soak::Remember(HWND target, POINT p) {
    lastHwnd_ = target;
    lastPoint_ = p;
    lastTick_ = GetTickCount();
    ++real_;
}

bool Soak::RealClick(HWND target, HWND top, POINT p) {
    if (!ClearSpot(target, top, p)) return false;
    e2e::ClickAt(p.x, p.y);
    Remember(target, p);
    return true;
}

bool Soak::RealClickControl(HWND control, HWND top) {
    const RECT r = e2e::ScreenRect(control);
    const POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return RealClick(control, top, p);
}

bool Soak::RealFrameClick(HWND top, LRESULT hit) {
    if (!Settle()) return false;
    e2e::Activate(top);
    POINT p;
    return e2e::FrameButtonPoint(top, hit, p) && RealClick(top, top, p);
}

// ---- records -----------------------------------------------------------------------------

void Soak::ExpectIm(const std::wstring& text) {
    const std::string bytes = e2e::AnsiBytes(text);
    const int d = ++deliveries_;
    const bool withText = !bytes.empty();
    if (withText) expected_.push_back({"im.input", WM_SETTEXT, false, bytes, d, true, true});
    expected_.push_back({"im.send", WM_LBUTTONDOWN, true, "", d, true, withText});
    expected_.push_back({"im.send", WM_LBUTTONUP, true, "", d, true, withText});
}

void Soak::ExpectChat(const std::wstring& text) {
    const int d = ++deliveries_;
    expected_.push_back({"chat.input", WM_SETTEXT, false, e2e::AnsiBytes(text), d, false, false});
    expected_.push_back({"chat.send", WM_LBUTTONDOWN, false, "", d, false, false});
    expected_.push_back({"chat.send", WM_LBUTTONUP, false, "", d, false, false});
}

void Soak::PollRecords() {
    std::vector<e2e::Record> fresh;
    tail_.Poll(fresh);
    for (const e2e::Record& r : fresh) {
        if (r.message == STANDIN_MARKER_MESSAGE)
            ++markers_;
        else
            got_.push_back(r);
    }
}

// Waits up to `ms` until the messages the actions so far must send have
// arrived; they, and nothing else, must be what arrived since the last look.
bool Soak::CheckRecords(DWORD ms) {
    e2e::WaitUntil([&] { return PollRecords(), got_.size() >= expected_.size(); }, ms);
    PollRecords();
    std::vector<e2e::Expected> want;
    for (const Exp& e : expected_) want.push_back(e.Want());
    bool same = e2e::SameSequence(got_, want.data(), want.size());
    if (!same && SameButInterleaved(got_, expected_)) {
        ++interleaved_;
        same = true;
    }
    if (!same) {
        char context[160];
        std::snprintf(context, sizeof context, "seed %llu, action #%d (%s)",
                      static_cast<unsigned long long>(seed_), index_,
                      index_ >= 0 ? kActions[kind_].name : "start");
        want.push_back(END_SEQUENCE);
        // Dumps both sides; the failure itself is counted by Fail().
        e2e::ok_sequence_(__FILE__, __LINE__, got_, want.data(), context);
        Mismatch("the stand-in received other messages than the actions must send");
    }
    got_.clear();
    expected_.clear();
    return same;
}

// The stand-in handles a marker posted to it after everything that was posted
// to it before; what arrived until then is compared (or, after a failure, dropped).
bool Soak::Flush(bool compare) {
    HWND chat = deliveries::StandinWindow(standin_, L"AIM_ChatWnd");
    const int want = markers_ + 1;
    PostMessageW(chat, STANDIN_MARKER_MESSAGE, 0, 0);
    if (!e2e::WaitUntil([&] { return PollRecords(), markers_ >= want; }, kEffectMs))
        return Mismatch("the stand-in messenger stopped answering");
    if (compare) return CheckRecords(0);
    got_.clear();
    expected_.clear();
    return true;
}

bool Soak::Alive() {
    if (!pallimo_.Running()) return Mismatch("Pallimo is not running");
    return deliveries::Answers(main_, kAliveMs) || Mismatch("Pallimo does not answer");
}

// Pallimo's windows, texts, list and icon against the model.
bool Soak::CheckState() {
    switch (m_.main) {
        case Place::Shown:
            if (!e2e::IsShown(main_)) return Mismatch("the smiley window is not shown");
            break;
        case Place::Tray:
            if (IsWindowVisible(main_) || !IsIconic(main_))
                return Mismatch("the smiley window is not minimised into the tray");
            break;
        case Place::Hidden:
            if (IsWindowVisible(main_))
                return Mismatch("the smiley window shows beside the custom codes window");
            break;
    }
    if (smileys::IconKept(main_) != (m_.main == Place::Tray))
        return Mismatch(m_.main == Place::Tray ? "no notification icon while in the tray"
                                               : "a notification icon while not in the tray");
    if (e2e::TextOf(MainCtl(mids::kCodeBox)) != m_.text1 ||
        e2e::TextOf(MainCtl(mids::kTagTailBox)) != m_.text2)
        return Mismatch("the smiley window's Text1/Text2 are \"" +
                        e2e::Printable(e2e::TextOf(MainCtl(mids::kCodeBox))) + "\" / \"" +
                        e2e::Printable(e2e::TextOf(MainCtl(mids::kTagTailBox))) +
                        "\", the model has \"" + e2e::Printable(m_.text1) + "\" / \"" +
                        e2e::Printable(m_.text2) + "\"");
    const DWORD pid = pallimo_.Id();
    if (e2e::TopLevels(fids::kClass, pid).size() != (m_.custom ? 1u : 0u) ||
        e2e::TopLevels(instructions_window_ids::kClass, pid).size() != (m_.help ? 1u : 0u) ||
        e2e::TopLevels(about_window_ids::kClass, pid).size() != (m_.about ? 1u : 0u))
        return Mismatch(
            "the custom codes, Instructions and About windows are not those open in the model");
    if (m_.custom) {
        if (!IsWindow(form_) || !e2e::IsShown(form_))
            return Mismatch("the custom codes window is not shown");
        const int count = Count();
        if (count != static_cast<int>(m_.items.size()))
            return Mismatch("the list holds " + std::to_string(count) + " items, the model " +
                            std::to_string(m_.items.size()));
        // A few items: the first, the last, and some between.
        for (int probe = 0; probe < 6 && count > 0; ++probe) {
            const int i = probe == 0 ? 0 : probe == 1 ? count - 1 : probe_.Below(count);
            const std::wstring& want = m_.items[static_cast<std::size_t>(i)];
            const LRESULT length = SendMessageW(FormCtl(fids::kCodeList), LB_GETTEXTLEN, i, 0);
            const bool same = want.size() > 4000 ? length == static_cast<LRESULT>(want.size())
                                                 : customs::Item(form_, i) == want;
            if (!same)
                return Mismatch("list item " + std::to_string(i) + " is \"" +
                                e2e::Printable(customs::Item(form_, i)) + "\", the model has \"" +
                                e2e::Printable(want) + "\"");
        }
        if (e2e::TextOf(FormCtl(fids::kCodeBox)) != m_.code)
            return Mismatch("the code box holds \"" +
                            e2e::Printable(e2e::TextOf(FormCtl(fids::kCodeBox))) +
                            "\", the model \"" + e2e::Printable(m_.code) + "\"");
        if (e2e::TextOf(FormCtl(fids::kFileNameBox)) != m_.path)
            return Mismatch("the file-name box holds \"" +
                            e2e::Printable(e2e::TextOf(FormCtl(fids::kFileNameBox))) +
                            "\", the model \"" + e2e::Printable(m_.path) + "\"");
        if (customs::Checked(form_, fids::kSendChatOption) != m_.chat ||
            customs::Checked(form_, fids::kSendImOption) == m_.chat)
            return Mismatch("the chosen destination is not the model's");
    }
    return CheckLeftovers();
}

bool Soak::CheckLeftovers() {
    for (const wchar_t* folder : {L"", L"\\sub", L"\\folder"})
        if (customs::LeftoverTemps(e2e::WorkDir() + folder) != 0)
            return Mismatch("a save left a temporary file behind");
    return true;
}

bool Soak::CheckFile(const std::wstring& name) {
    const FileState& f = FileOf(name);
    const std::wstring path = PathOf(name);
    const DWORD attrs = GetFileAttributesW(path.c_str());
    switch (f.node) {
        case Node::Device:
            return true;
        case Node::Missing:
            return attrs == INVALID_FILE_ATTRIBUTES ||
                   Mismatch("\"" + e2e::Printable(name) +
                            "\" exists, but nothing may have made it");
        case Node::Folder:
            return (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0) ||
                   Mismatch("the folder \"" + e2e::Printable(name) + "\" is no longer a folder");
        case Node::File:
            break;
    }
    if (attrs == INVALID_FILE_ATTRIBUTES)
        return Mismatch("\"" + e2e::Printable(name) + "\" is gone");
    if (((attrs & FILE_ATTRIBUTE_READONLY) != 0) != f.readOnly)
        return Mismatch("\"" + e2e::Printable(name) + "\" changed its read-only attribute");
    const std::string bytes = customs::ReadBytes(path);
    if (bytes != f.bytes)
        return Mismatch("\"" + e2e::Printable(name) + "\" holds " + std::to_string(bytes.size()) +
                        " bytes that are not the " + std::to_string(f.bytes.size()) + " expected");
    return true;
}

// The message boxes the model has, in turn, each once the one before it is
// closed: each names its file; closed with its OK button. Then none stands.
bool Soak::CloseBoxes() {
    while (!told_.empty()) {
        const Told t = told_.front();
        told_.pop_front();
        const std::wstring want = std::wstring(t.save ? L"The list could not be saved to \""
                                                      : L"The list could not be loaded from \"") +
                                  t.name + L"\".";
        HWND box = form_ != nullptr ? customs::WaitForBox(form_, kLoadMs) : nullptr;
        if (box == nullptr)
            return Mismatch(std::string("no message box told the ") +
                            (t.save ? "save to \"" : "load of \"") + e2e::Printable(t.name) + "\"");
        const std::wstring text = customs::BoxText(box);
        if (text.compare(0, want.size(), want) != 0)
            return Mismatch("a message box says \"" + e2e::Printable(text) + "\", not \"" +
                            e2e::Printable(want) + "...\"");
        if (!customs::CloseBox(box)) return Mismatch("a message box does not close");
        ++toldCount_;
    }
    HWND extra = form_ != nullptr && IsWindow(form_) ? customs::Box(form_) : nullptr;
    return extra == nullptr ||
           Mismatch("a message box says \"" + e2e::Printable(customs::BoxText(extra)) + "\"");
}

bool Soak::CheckAllFiles(bool all) {
    for (const auto& entry : files_) {
        if (!all && entry.second.bytes.size() > (1u << 20)) continue;
        if (!CheckFile(entry.first)) return false;
    }
    return true;
}

// ---- the model of files ------------------------------------------------------------------

FileState& Soak::FileOf(const std::wstring& name) { return files_[name]; }

// Whether a save to this name must replace the file (or make it).
bool Soak::SaveWrites(const std::wstring& name) {
    if (name.empty()) return false;
    const FileState& f = FileOf(name);
    return (f.node == Node::File && !f.readOnly) || (f.node == Node::Missing && f.parentExists);
}

std::vector<std::wstring> Soak::Fields(const std::wstring& name) {
    std::vector<std::wstring> items;
    if (name.empty() || FileOf(name).node != Node::File) return items;
    for (const std::string& field : listfile::ReadListFields(FileOf(name).bytes))
        items.push_back(ItemOfField(field));
    return items;
}

void Soak::ModelSave(const std::wstring& name) {
    if (!SaveWrites(name)) return;
    std::vector<std::string> lines;
    for (const std::wstring& item : m_.items) lines.push_back(e2e::AnsiBytes(item));
    FileState& f = FileOf(name);
    f.node = Node::File;
    f.bytes = listfile::ListFileBytes(lines);
}

// A file prepared as hostile input that a save replaced gets its bytes back,
// so that later loads meet it again.
bool Soak::RestoreHostile(const std::wstring& name) {
    const auto it = hostile_.find(name);
    if (it == hostile_.end()) return true;
    FileState& f = FileOf(name);
    if (f.node == it->second.node && f.bytes == it->second.bytes) return true;
    f = it->second;
    if (f.node == Node::Missing)
        return DeleteFileW(PathOf(name).c_str()) ||
               Mismatch("cannot delete " + e2e::Printable(name));
    return customs::WriteBytes(PathOf(name), f.bytes) ||
           Mismatch("cannot rewrite " + e2e::Printable(name));
}

// The jobs that ran in turn: what each save writes and each load adds, and
// the boxes that tell of those that cannot be done.
void Soak::ModelJobs(const std::vector<Job>& jobs, std::vector<std::wstring>& saved) {
    for (const Job& job : jobs) {
        if (job.save) {
            if (!SaveWrites(job.path)) ExpectTold(true, job.path);
            ModelSave(job.path);
            saved.push_back(job.path);
        } else {
            if (Unopenable(job.path)) ExpectTold(false, job.path);
            const std::vector<std::wstring> fields = Fields(job.path);
            m_.items.insert(m_.items.end(), fields.begin(), fields.end());
        }
    }
}

// Every file a save was aimed at holds the model's bytes: the list it saved,
// or, refused, what it held before. Nothing is left beside it.
bool Soak::VerifySaves(const std::vector<std::wstring>& names) {
    for (const std::wstring& name : names)
        if (!CheckFile(name)) return false;
    if (!CheckLeftovers()) return false;
    for (const std::wstring& name : names)
        if (!RestoreHostile(name)) return false;
    return true;
}

std::wstring Soak::RandomPath() {
    const int r = rng_.Below(100);
    if (r < 5) return std::wstring();
    if (r < 60) return kSaveNames[rng_.Below(sizeof kSaveNames / sizeof kSaveNames[0])];
    return kHostileNames[rng_.Below(sizeof kHostileNames / sizeof kHostileNames[0])];
}

// ---- the actions ---------------------------------------------------------------------------

bool Shown(const Model& m) { return m.main == Place::Shown; }
bool Big(const Model& m) { return m.items.size() > 5000; }

const Soak::Action Soak::kActions[] = {
    {"style", [](const Model& m) { return Shown(m) ? 180 : 0; }, false,
     [](Soak& s) { return s.Style(); }},
    {"face", [](const Model& m) { return Shown(m) ? 180 : 0; }, false,
     [](Soak& s) { return s.Face(); }},
    {"face-keys", [](const Model& m) { return Shown(m) ? 30 : 0; }, false,
     [](Soak& s) { return s.FaceKeys(false); }},
    {"face-menu", [](const Model& m) { return Shown(m) ? 30 : 0; }, false,
     [](Soak& s) { return s.FaceKeys(true); }},
    {"Command3", [](const Model& m) { return Shown(m) ? 50 : 0; }, false,
     [](Soak& s) { return s.Command3(); }},
    {"smiley-burst", [](const Model& m) { return Shown(m) ? 40 : 0; }, true,
     [](Soak& s) { return s.SmileyBurst(); }},
    {"edit-hidden-box", [](const Model& m) { return Shown(m) ? 10 : 0; }, false,
     [](Soak& s) { return s.EditHidden(); }},
    {"open-custom", [](const Model& m) { return Shown(m) ? 70 : 0; }, false,
     [](Soak& s) { return s.OpenCustom(); }},
    {"minimise", [](const Model& m) { return Shown(m) ? 40 : 0; }, false,
     [](Soak& s) { return s.Minimise(); }},
    {"tray-ignored", [](const Model& m) { return m.main == Place::Tray ? 30 : 0; }, false,
     [](Soak& s) { return s.TrayIgnore(); }},
    {"tray-restore", [](const Model& m) { return m.main == Place::Tray ? 100 : 0; }, false,
     [](Soak& s) { return s.TrayRestore(); }},
    {"close-smiley", [](const Model& m) { return Shown(m)                ? 3
                                                 : m.main == Place::Tray ? 2
                                                                         : 0; },
     true, [](Soak& s) { return s.CloseSmiley(); }},
    {"type-code", [](const Model& m) { return m.custom ? 60 : 0; }, false,
     [](Soak& s) { return s.TypeCode(); }},
    {"set-code", [](const Model& m) { return m.custom ? 60 : 0; }, false,
     [](Soak& s) { return s.SetCode(); }},
    {"click-code-box", [](const Model& m) { return m.custom && !m.code.empty() ? 15 : 0; }, false,
     [](Soak& s) { return s.ClickCodeBox(); }},
    {"add", [](const Model& m) { return m.custom ? 140 : 0; }, false,
     [](Soak& s) { return s.Add(); }},
    {"clear", [](const Model& m) { return m.custom ? Big(m) ? 300 : 30 : 0; }, false,
     [](Soak& s) { return s.Clear(); }},
    {"set-path", [](const Model& m) { return m.custom ? 80 : 0; }, false,
     [](Soak& s) { return s.SetPath(true); }},
    {"save", [](const Model& m) { return m.custom ? 80 : 0; }, false,
     [](Soak& s) { return s.Save(); }},
    {"load", [](const Model& m) { return m.custom ? Big(m) ? 10 : 80 : 0; }, false,
     [](Soak& s) { return s.Load(); }},
    {"double-click", [](const Model& m) { return m.custom ? 140 : 0; }, false,
     [](Soak& s) { return s.DoubleClick(); }},
    {"delete", [](const Model& m) { return m.custom && !m.items.empty() ? 40 : 0; }, false,
     [](Soak& s) { return s.Delete(); }},
    {"destination", [](const Model& m) { return m.custom ? 50 : 0; }, false,
     [](Soak& s) { return s.Destination(); }},
    {"open-help", [](const Model& m) { return m.custom ? 12 : 0; }, false,
     [](Soak& s) { return s.OpenInfo(false); }},
    {"open-about", [](const Model& m) { return m.custom ? 12 : 0; }, false,
     [](Soak& s) { return s.OpenInfo(true); }},
    {"close-custom", [](const Model& m) { return m.custom ? 30 : 0; }, false,
     [](Soak& s) { return s.CloseCustom(); }},
    {"load-with-actions", [](const Model& m) { return m.custom && !Big(m) ? 12 : 0; }, true,
     [](Soak& s) { return s.LoadWithActions(); }},
    {"close-during-load", [](const Model& m) { return m.custom ? 8 : 0; }, true,
     [](Soak& s) { return s.CloseDuringLoad(); }},
    {"custom-burst", [](const Model& m) { return m.custom ? 35 : 0; }, true,
     [](Soak& s) { return s.CustomBurst(); }},
    {"close-info", [](const Model& m) { return m.help || m.about ? 40 : 0; }, false,
     [](Soak& s) { return s.CloseInfo(); }},
};
const int Soak::kActionCount = static_cast<int>(sizeof kActions / sizeof kActions[0]);

// An action that can be done in the model's state, chosen by its weight.
int Soak::Choose() {
    int total = 0;
    for (const Action& a : kActions) total += a.weight(m_);
    int r = rng_.Below(total);
    for (int i = 0; i < kActionCount; ++i) {
        const int w = kActions[i].weight(m_);
        if (r < w) return i;
        r -= w;
    }
    return 0;
}

// ---- the smiley window

bool Soak::Style() {
    const int s = rng_.Below(static_cast<int>(catalogue::kStyleCount));
    const bool real = rng_.Chance(kRealPercent);
    const int how = rng_.Below(4);
    const std::wstring code = catalogue::QuotedCode(catalogue::kStyles[s].code);
    HWND option = MainCtl(mids::kFirstStyle + s);
    const bool changes = m_.text1 != code;
    m_.text1 = code;
    if (real && changes && RealClickControl(option, main_))
        return Effect([&] { return e2e::TextOf(MainCtl(mids::kCodeBox)) == code; },
                      "a click on a style option did not choose its code");
    const WPARAM command = MAKEWPARAM(mids::kFirstStyle + s, BN_CLICKED);
    if (how < 2)
        return SendOrPost(how == 0, main_, WM_COMMAND, command, reinterpret_cast<LPARAM>(option));
    return SendOrPost(how == 2, option, BM_CLICK);
}

bool Soak::Face() {
    const int f = rng_.Below(static_cast<int>(catalogue::kFaceCount));
    const bool real = rng_.Chance(kRealPercent);
    const bool send = rng_.Chance(50);
    HWND image = MainCtl(mids::kFirstFace + f);
    m_.text2 = catalogue::TagTail(catalogue::kFaces[f].emoticon);
    ExpectIm(catalogue::SmileyTag(m_.text1, m_.text2));
    // The tag arriving in the stand-in shows that the click was handled.
    if (real && RealClickControl(image, main_)) return true;
    return SendOrPost(send, main_, WM_COMMAND, MAKEWPARAM(mids::kFirstFace + f, STN_CLICKED),
                      reinterpret_cast<LPARAM>(image));
}

// The face beside face `f` on the screen in direction (dx, dy), as the arrow
// keys move: the nearest one in that direction on the same row or column;
// `f` itself at an edge.
int FaceBeside(HWND main, int f, int dx, int dy) {
    const RECT from = e2e::ScreenRect(e2e::Child(main, mids::kFirstFace + f));
    int best = f, bestDistance = 0;
    for (int i = 0; i < static_cast<int>(catalogue::kFaceCount); ++i) {
        const RECT to = e2e::ScreenRect(e2e::Child(main, mids::kFirstFace + i));
        const bool inLine = dx != 0 ? to.top == from.top : to.left == from.left;
        const int distance = dx * (to.left - from.left) + dy * (to.top - from.top);
        if (inLine && distance > 0 && (best == f || distance < bestDistance)) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// The clipboard's text, or "<none>".
std::wstring ClipboardText() {
    std::wstring text = L"<none>";
    if (!OpenClipboard(nullptr)) return text;
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    if (const wchar_t* at = h != nullptr ? static_cast<const wchar_t*>(GlobalLock(h)) : nullptr) {
        text = at;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

// The faces by keyboard, with real keys: Tab reaches the current face, the
// arrows move among the faces as they stand, and Space or Enter sends the one
// with the focus. Or its menu (Shift+F10): "Send", "Send to chat room",
// "Copy", or Esc, which does nothing.
bool Soak::FaceKeys(bool menu) {
    static const struct {
        WORD vk;
        int dx, dy;
    } kArrows[] = {{VK_LEFT, -1, 0}, {VK_RIGHT, 1, 0}, {VK_UP, 0, -1}, {VK_DOWN, 0, 1}};
    const int arrows = rng_.Below(4);
    const int choice = rng_.Below(menu ? 4 : 2);
    if (!Settle()) return false;
    e2e::Activate(main_);
    const auto faceOf = [&](HWND w) {
        const int id = GetDlgCtrlID(w);
        return w != nullptr && GetParent(w) == main_ && id >= mids::kFirstFace &&
                       id < mids::kFirstFace + static_cast<int>(catalogue::kFaceCount)
                   ? id - mids::kFirstFace
                   : -1;
    };
    for (int i = 0; i < 16 && faceOf(e2e::FocusOf(main_)) < 0; ++i) {
        HWND before = e2e::FocusOf(main_);
        e2e::PressKey(VK_TAB);
        if (!Effect([&] { return e2e::FocusOf(main_) != before; }, "Tab did not move the focus"))
            return false;
    }
    int face = faceOf(e2e::FocusOf(main_));
    if (face < 0) return Mismatch("Tab did not reach the faces");
    for (int i = 0; i < arrows; ++i) {
        const auto& a = kArrows[rng_.Below(4)];
        const int next = FaceBeside(main_, face, a.dx, a.dy);
        e2e::PressKey(a.vk);
        // At an edge nothing shows; the keys after it are handled after it.
        if (next != face && !Effect([&] { return faceOf(e2e::FocusOf(main_)) == next; },
                                    "an arrow key did not move to the face beside"))
            return false;
        face = next;
    }
    const std::wstring tail = catalogue::TagTail(catalogue::kFaces[face].emoticon);
    const std::wstring tag = catalogue::SmileyTag(m_.text1, tail);
    ++real_;
    if (!menu) {
        m_.text2 = tail;
        ExpectIm(tag);
        e2e::PressKey(choice == 0 ? VK_SPACE : VK_RETURN);
        return true;
    }
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    const auto menuUp = [&] {
        return !e2e::TopLevels([&](HWND w) {
                    return IsWindowVisible(w) && e2e::ClassOf(w) == L"#32768" &&
                           e2e::ProcessOf(w) == pallimo_.Id();
                }).empty();
    };
    e2e::PressKey(VK_F10, VK_SHIFT);
    if (!Effect(menuUp, "Shift+F10 on a face did not open its menu")) return false;
    static const WORD kItemKeys[] = {'S', 'H', 'C', VK_ESCAPE};
    if (choice == 0) {
        m_.text2 = tail;
        ExpectIm(tag);
    } else if (choice == 1) {
        m_.text2 = tail;
        ExpectChat(tag);
    }
    e2e::PressKey(kItemKeys[choice]);
    if (!Effect([&] { return !menuUp(); }, "the face's menu did not close")) return false;
    if (choice == 2 && !Effect([&] { return ClipboardText() == tag; },
                               "\"Copy\" did not put the face's tag on the clipboard: \"" +
                                   e2e::Printable(ClipboardText()) + "\""))
        return false;
    return true;
}

bool Soak::Command3() {
    const bool send = rng_.Chance(50);
    ExpectIm(catalogue::SmileyTag(m_.text1, m_.text2));
    return SendOrPost(send, MainCtl(mids::kSendButton), BM_CLICK);
}

// Clicks posted all at once: every face after the first is handled inside
// the first delivery's wait, and its tag goes out after the one before.
bool Soak::SmileyBurst() {
    const int steps = 2 + rng_.Below(5);
    for (int i = 0; i < steps; ++i) {
        const int r = rng_.Below(100);
        if (r < 55) {
            const int f = rng_.Below(static_cast<int>(catalogue::kFaceCount));
            m_.text2 = catalogue::TagTail(catalogue::kFaces[f].emoticon);
            ExpectIm(catalogue::SmileyTag(m_.text1, m_.text2));
            Post(main_, WM_COMMAND, MAKEWPARAM(mids::kFirstFace + f, STN_CLICKED),
                 reinterpret_cast<LPARAM>(MainCtl(mids::kFirstFace + f)));
        } else if (r < 80) {
            const int s = rng_.Below(static_cast<int>(catalogue::kStyleCount));
            m_.text1 = catalogue::QuotedCode(catalogue::kStyles[s].code);
            Post(main_, WM_COMMAND, MAKEWPARAM(mids::kFirstStyle + s, BN_CLICKED),
                 reinterpret_cast<LPARAM>(MainCtl(mids::kFirstStyle + s)));
        } else {
            ExpectIm(catalogue::SmileyTag(m_.text1, m_.text2));
            Post(MainCtl(mids::kSendButton), BM_CLICK);
        }
    }
    // Sometimes the window is minimised, or "Extra" pressed, right after the
    // clicks: handled inside a delivery's wait, with deliveries still to go.
    const int end = rng_.Below(100);
    if (end < 10) {
        m_.main = Place::Tray;
        Post(main_, WM_SYSCOMMAND, SC_MINIMIZE);
        if (!Settle()) return false;
        return Effect([&] { return !IsWindowVisible(main_) && IsIconic(main_); },
                      "minimising after a burst of clicks did not hide the smiley window");
    }
    if (end < 20) {
        OpenedCustom();
        Post(MainCtl(mids::kExtraButton), BM_CLICK);
        if (!Settle()) return false;
        return Effect(
            [&] {
                form_ = FindForm();
                return form_ != nullptr && e2e::IsShown(form_) && !IsWindowVisible(main_);
            },
            "\"Extra\" after a burst of clicks did not show the custom codes window");
    }
    return true;
}

// Text1 and Text2 are ordinary text boxes reached with the keyboard: what is
// put there goes into the next tag as it stands.
bool Soak::EditHidden() {
    const bool first = rng_.Chance(50);
    const std::wstring text = RandomCode(rng_, 24);
    (first ? m_.text1 : m_.text2) = text;
    return Send(MainCtl(first ? mids::kCodeBox : mids::kTagTailBox), WM_SETTEXT, 0,
                reinterpret_cast<LPARAM>(text.c_str()));
}

void Soak::OpenedCustom() {
    m_.custom = true;
    m_.main = Place::Hidden;
    m_.items.clear();
    m_.code = kPrompt;
    m_.path = kStartPath;
    m_.chat = false;
}

bool Soak::OpenCustom() {
    const bool real = rng_.Chance(kRealPercent);
    const int how = rng_.Below(4);
    OpenedCustom();
    HWND extra = MainCtl(mids::kExtraButton);
    if (!(real && RealClickControl(extra, main_))) {
        if (!SendOrPost(how % 2 == 0, MainCtl(how < 2 ? mids::kExtraButton : mids::kMoreButton),
                        BM_CLICK))
            return false;
        if (!Settle()) return false;
    }
    return Effect(
        [&] {
            form_ = FindForm();
            return form_ != nullptr && e2e::IsShown(form_) && !IsWindowVisible(main_);
        },
        "\"Extra\"/\"More\" did not show the custom codes window in place of the smiley window");
}

bool Soak::Minimise() {
    const bool real = rng_.Chance(kRealPercent);
    const bool send = rng_.Chance(50);
    m_.main = Place::Tray;
    const char* how = "with the caption button";
    if (!(real && RealFrameClick(main_, HTMINBUTTON))) {
        how = send ? "with SC_MINIMIZE sent" : "with SC_MINIMIZE posted";
        if (!SendOrPost(send, main_, WM_SYSCOMMAND, SC_MINIMIZE)) return false;
    }
    if (e2e::WaitUntil([&] { return !IsWindowVisible(main_) && IsIconic(main_); }, kEffectMs))
        return true;
    return Mismatch(std::string("minimising ") + how + " did not hide the smiley window (" +
                    (IsWindowVisible(main_) ? "visible" : "hidden") + ", " +
                    (IsIconic(main_) ? "minimised" : "not minimised") + ")");
}

const LPARAM kIgnoredNotes[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONUP,
                                WM_MBUTTONDOWN};
const LPARAM kRestoringNotes[] = {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP};

// Pointer activity over the icon other than a release leaves the window in the tray.
bool Soak::TrayIgnore() {
    const int notes = 1 + rng_.Below(3);
    for (int i = 0; i < notes; ++i)
        Post(main_, tray::kNotifyMessage, tray::kIconId, kIgnoredNotes[rng_.Below(5)]);
    if (!Settle()) return false;
    return (!IsWindowVisible(main_) && IsIconic(main_)) ||
           Mismatch("a notification other than a release restored the smiley window");
}

bool Soak::TrayRestore() {
    if (rng_.Chance(30))
        Post(main_, tray::kNotifyMessage, tray::kIconId, kIgnoredNotes[rng_.Below(5)]);
    Post(main_, tray::kNotifyMessage, tray::kIconId, kRestoringNotes[rng_.Below(3)]);
    m_.main = Place::Shown;
    if (!Settle()) return false;
    return Effect([&] { return e2e::IsShown(main_); },
                  "a release on the icon did not restore the smiley window");
}

// Closing the smiley window ends the program with every window; it starts again.
bool Soak::CloseSmiley() {
    const bool real = rng_.Chance(kRealPercent);
    if (!Settle()) return false;
    if (!(m_.main == Place::Shown && real && RealFrameClick(main_, HTCLOSE))) Post(main_, WM_CLOSE);
    posted_ = false;
    if (!pallimo_.Wait(kEffectMs))
        return Mismatch("closing the smiley window did not end the program");
    if (pallimo_.ExitCode() != 0)
        return Mismatch("the program ended with exit code " + std::to_string(pallimo_.ExitCode()));
    if (smileys::IconKept(main_)) return Mismatch("the notification icon outlived the program");
    if (!Flush(true)) return false;
    return Start();
}

// ---- the custom codes window

bool Soak::TypeCode() {
    const std::wstring code = RandomCode(rng_, 28);
    const bool real = rng_.Chance(kRealPercent);
    // The click empties the box; typing then shows that it was handled.
    if (real && !code.empty() && RealClickControl(FormCtl(fids::kCodeBox), form_)) {
        e2e::TypeText(code);
        m_.code = code;
        return Effect([&] { return e2e::TextOf(FormCtl(fids::kCodeBox)) == code; },
                      "typed text did not arrive in the code box");
    }
    m_.code = code;
    return Send(FormCtl(fids::kCodeBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(code.c_str()));
}

bool Soak::SetCode() {
    m_.code = RandomCode(rng_, 120);
    return Send(FormCtl(fids::kCodeBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_.code.c_str()));
}

// Every click into the code box empties it.
bool Soak::ClickCodeBox() {
    if (!RealClickControl(FormCtl(fids::kCodeBox), form_)) return true;  // covered: nothing done
    m_.code.clear();
    return Effect([&] { return e2e::TextOf(FormCtl(fids::kCodeBox)).empty(); },
                  "a click into the code box did not empty it");
}

// A form button pressed with a message: BM_CLICK sent or posted, or the menu
// command when it has one.
void Soak::PostFormButton(int buttonId, int menuId) {
    if (menuId != 0 && rng_.Chance(40))
        Post(form_, WM_COMMAND, MAKEWPARAM(menuId, 0), 0);
    else
        Post(FormCtl(buttonId), BM_CLICK);
}

bool Soak::Add() {
    const bool real = rng_.Chance(kRealPercent);
    const bool send = rng_.Chance(50);
    m_.items.push_back(m_.code);
    if (real && RealClickControl(FormCtl(fids::kAddButton), form_))
        return Effect([&] { return Count() == static_cast<int>(m_.items.size()); },
                      "\"Add\" added no item");
    return SendOrPost(send, FormCtl(fids::kAddButton), BM_CLICK);
}

bool Soak::Clear() {
    const bool real = rng_.Chance(kRealPercent);
    const int how = rng_.Below(3);
    const bool send = rng_.Chance(50);
    const bool visible = !m_.items.empty() || !m_.path.empty();
    m_.items.clear();
    m_.path.clear();
    if (real && visible && RealClickControl(FormCtl(fids::kClearButton), form_))
        return Effect(
            [&] { return Count() == 0 && e2e::TextOf(FormCtl(fids::kFileNameBox)).empty(); },
            "\"Clear\" did not empty the list and the file name");
    if (how == 2)
        return SendOrPost(send, form_, WM_COMMAND, MAKEWPARAM(fids::kFileClearItem, 0), 0);
    return SendOrPost(how == 0, FormCtl(fids::kClearButton), BM_CLICK);
}

bool Soak::SetPathDirect(const std::wstring& path) {
    m_.path = path;
    return Send(FormCtl(fids::kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

// The unseen file-name box, reached with Tab from the code box and typed into,
// or set with a message.
bool Soak::SetPath(bool allowTyping) {
    const std::wstring path = RandomPath();
    const bool real = allowTyping && rng_.Chance(kRealPercent);
    if (real && !path.empty() && path.size() < 40 && path != m_.path &&
        RealClickControl(FormCtl(fids::kCodeBox), form_)) {
        m_.code.clear();
        e2e::PressKey(VK_TAB);
        e2e::TypeText(path);
        m_.path = path;
        return Effect([&] { return e2e::TextOf(FormCtl(fids::kFileNameBox)) == path; },
                      "the typed file name did not arrive in the file-name box");
    }
    return SetPathDirect(path);
}

bool Soak::Save() {
    const bool real = rng_.Chance(kRealPercent);
    const bool sent = rng_.Chance(50);
    const bool menu = rng_.Chance(40);
    const std::wstring name = m_.path;
    const bool writes = SaveWrites(name);
    // A sent press would wait for the box that tells the refusal to close.
    if (!writes) ExpectTold(true, name);
    const bool send = sent && writes;
    const bool existed = FileOf(name).node == Node::File;
    const std::string before = FileOf(name).bytes;
    ModelSave(name);
    // A real press only where the file shows that it was handled.
    const bool visible = writes && (!existed || FileOf(name).bytes != before);
    WIN32_FILE_ATTRIBUTE_DATA old = {};
    const bool had = GetFileAttributesExW(PathOf(name).c_str(), GetFileExInfoStandard, &old) != 0;
    if (real && visible && RealClickControl(FormCtl(fids::kSaveButton), form_)) {
        // A file that is open cannot be replaced (under Wine not even when
        // the reader shares it for deletion), and the save would be refused:
        // wait for its new size or time without opening it, then read it once.
        const auto replaced = [&] {
            WIN32_FILE_ATTRIBUTE_DATA now = {};
            if (!GetFileAttributesExW(PathOf(name).c_str(), GetFileExInfoStandard, &now))
                return false;
            return !had || now.nFileSizeLow != old.nFileSizeLow ||
                   now.nFileSizeHigh != old.nFileSizeHigh ||
                   CompareFileTime(&now.ftLastWriteTime, &old.ftLastWriteTime) != 0;
        };
        // Until the file is replaced, however long the machine takes (a save
        // pressed during a load also waits for the load).
        e2e::WaitUntil(replaced, kLoadMs);
        const std::string want = FileOf(name).bytes;
        const std::string got = customs::ReadBytes(PathOf(name));
        if (got != want)
            return Mismatch("\"Save\" pressed did not write \"" + e2e::Printable(name) +
                            "\": it holds " + std::to_string(got.size()) + " bytes, " +
                            (got == before ? "as before" : "neither as before nor") + " the " +
                            std::to_string(want.size()) + " expected");
    } else if (menu) {
        if (!SendOrPost(send, form_, WM_COMMAND, MAKEWPARAM(fids::kFileSaveItem, 0), 0))
            return false;
    } else if (!SendOrPost(send, FormCtl(fids::kSaveButton), BM_CLICK)) {
        return false;
    }
    if (!Settle()) return false;
    return VerifySaves({name});
}

bool Soak::Load() {
    const bool real = rng_.Chance(kRealPercent);
    const bool refused = Unopenable(m_.path);
    if (refused) ExpectTold(false, m_.path);
    const bool send = rng_.Chance(50) && !refused;
    const bool menu = rng_.Chance(40);
    const std::vector<std::wstring> fields = Fields(m_.path);
    m_.items.insert(m_.items.end(), fields.begin(), fields.end());
    if (!(real && !fields.empty() && RealClickControl(FormCtl(fids::kLoadButton), form_))) {
        if (menu) {
            if (!SendOrPost(send, form_, WM_COMMAND, MAKEWPARAM(fids::kFileLoadItem, 0), 0))
                return false;
        } else if (!SendOrPost(send, FormCtl(fids::kLoadButton), BM_CLICK)) {
            return false;
        }
    }
    if (!Settle()) return false;
    return Effect([&] { return Count() == static_cast<int>(m_.items.size()); },
                  "\"Load\" of \"" + e2e::Printable(m_.path) + "\" ended with " +
                      std::to_string(Count()) + " items, not " + std::to_string(m_.items.size()),
                  kLoadMs);
}

// Delete in the list, posted as the key arrives: the selected item goes.
void Soak::PostDelete(int index) {
    HWND list = FormCtl(fids::kCodeList);
    Post(list, LB_SETCURSEL, static_cast<WPARAM>(index));
    Post(list, WM_KEYDOWN, VK_DELETE, 0x01530001);
    Post(list, WM_KEYUP, VK_DELETE, static_cast<LPARAM>(0xC1530001u));
}

bool Soak::Delete() {
    const int index = rng_.Below(static_cast<int>(m_.items.size()));
    m_.items.erase(m_.items.begin() + index);
    PostDelete(index);
    if (!Settle()) return false;
    return Effect([&] { return Count() == static_cast<int>(m_.items.size()); },
                  "Delete did not take out the selected item");
}

// A real double click on a list item scrolled into sight.
bool Soak::RealDoubleClickItem(int index) {
    HWND list = FormCtl(fids::kCodeList);
    if (!Send(list, LB_SETTOPINDEX, static_cast<WPARAM>(index))) return false;
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    const int h = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    RECT client = {};
    GetClientRect(list, &client);
    const int row = index - top;
    if (h <= 0 || row < 0 || (row + 1) * h > client.bottom) return false;
    POINT p = {client.right > 40 ? 20 : client.right / 2, row * h + h / 2};
    ClientToScreen(list, &p);
    if (!ClearSpot(list, form_, p)) return false;
    e2e::DoubleClickAt(p.x, p.y);
    Remember(list, p);
    return true;
}

void Soak::PostDoubleClick(int index) {
    HWND list = FormCtl(fids::kCodeList);
    Post(list, LB_SETCURSEL, static_cast<WPARAM>(index));
    Post(form_, WM_COMMAND, MAKEWPARAM(fids::kCodeList, LBN_DBLCLK),
         reinterpret_cast<LPARAM>(list));
}

// A double click sends the selected item, unchanged, to the chosen
// destination; with nothing selected, the empty text.
bool Soak::DoubleClick() {
    const bool none = m_.items.empty() || rng_.Chance(5);
    const int index = none ? -1 : rng_.Below(static_cast<int>(m_.items.size()));
    const bool real = rng_.Chance(kRealPercent);
    const int how = rng_.Below(3);
    ExpectDelivery(none ? std::wstring() : m_.items[static_cast<std::size_t>(index)]);
    // The delivery arriving in the stand-in shows that the double click was handled.
    if (!none && real && RealDoubleClickItem(index)) return true;
    if (!failure_.empty()) return false;
    HWND list = FormCtl(fids::kCodeList);
    if (how == 0) {
        PostDoubleClick(index);
        return true;
    }
    return Send(list, LB_SETCURSEL, static_cast<WPARAM>(index)) &&
           SendOrPost(how == 1, form_, WM_COMMAND, MAKEWPARAM(fids::kCodeList, LBN_DBLCLK),
                      reinterpret_cast<LPARAM>(list));
}

void Soak::PostDestination(bool chat) {
    m_.chat = chat;
    Post(FormCtl(chat ? fids::kSendChatOption : fids::kSendImOption), BM_CLICK);
}

bool Soak::Destination() {
    const bool chat = rng_.Chance(50);
    const bool real = rng_.Chance(kRealPercent);
    const bool send = rng_.Chance(50);
    const bool changes = chat != m_.chat;
    m_.chat = chat;
    HWND option = FormCtl(chat ? fids::kSendChatOption : fids::kSendImOption);
    if (real && changes && RealClickControl(option, form_))
        return Effect(
            [&] {
                return customs::Checked(form_, chat ? fids::kSendChatOption : fids::kSendImOption);
            },
            "a click on a destination did not choose it");
    return SendOrPost(send, option, BM_CLICK);
}

// The Help menu's windows. They are moved clear of the other windows once
// shown, so that real clicks meant for those reach them.
bool Soak::OpenInfo(bool about) {
    const bool send = rng_.Chance(50);
    const bool wasOpen = about ? m_.about : m_.help;
    (about ? m_.about : m_.help) = true;
    if (!SendOrPost(send, form_, WM_COMMAND,
                    MAKEWPARAM(about ? fids::kHelpAboutItem : fids::kHelpInstructionsItem, 0), 0) ||
        !Settle())
        return false;
    const wchar_t* cls = about ? about_window_ids::kClass : instructions_window_ids::kClass;
    HWND& window = about ? about_ : help_;
    HWND before = window;
    if (!Effect(
            [&] {
                window = e2e::FindTopLevel(cls, nullptr, pallimo_.Id());
                return window != nullptr && e2e::IsShown(window);
            },
            about ? "\"About\" showed no About window"
                  : "\"Instructions\" showed no Instructions window"))
        return false;
    if (wasOpen && window != before)
        return Mismatch("a second window opened instead of the open one");
    if (e2e::TopLevels(cls, pallimo_.Id()).size() != 1)
        return Mismatch("more than one window of a kind");
    SetWindowPos(window, nullptr, about ? 20 : 330, about ? 470 : 450, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool Soak::CloseInfo() {
    const bool about = m_.about && (!m_.help || rng_.Chance(50));
    const bool real = rng_.Chance(kRealPercent);
    const int how = rng_.Below(3);
    HWND window = about ? about_ : help_;
    (about ? m_.about : m_.help) = false;
    bool done = false;
    if (real) {
        done = about && how == 0
                   ? RealClickControl(e2e::Child(window, about_window_ids::kOkButton), window)
                   : RealFrameClick(window, HTCLOSE);
    }
    if (!done) {
        if (about && how == 0)
            Post(e2e::Child(window, about_window_ids::kOkButton), BM_CLICK);
        else
            Post(window, WM_CLOSE);
        if (!Settle()) return false;
    }
    return Effect([&] { return !IsWindow(window); }, "the Instructions/About window did not close");
}

bool Soak::CloseCustom() {
    const bool real = rng_.Chance(kRealPercent);
    const int how = rng_.Below(3);
    HWND form = form_;
    m_.custom = false;
    m_.main = Place::Shown;
    if (!(real && RealFrameClick(form, HTCLOSE))) {
        if (how == 0)
            Post(form, WM_CLOSE);
        else if (!SendOrPost(how == 1, form, WM_COMMAND, MAKEWPARAM(fids::kFileExitItem, 0), 0))
            return false;
        if (!Settle()) return false;
    }
    if (!Effect([&] { return !IsWindow(form) && e2e::IsShown(main_); },
                "closing the custom codes window did not bring the smiley window back"))
        return false;
    form_ = nullptr;
    return true;
}

// A load with things done while it reads: double clicks on items already in
// the list go out at once and Delete takes them out at once; Save and Load wait for the load and
// run after it, in order, with the file name they were pressed with. A last Load of a file with
// items shows when all of it has ended.
bool Soak::LoadWithActions() {
    if (!SetPathDirect(L"medium.txt")) return false;
    const std::vector<std::wstring> loaded = Fields(m_.path);
    std::vector<Job> jobs;
    PostFormButton(fids::kLoadButton, fids::kFileLoadItem);
    const int steps = 1 + rng_.Below(5);
    // The items there before the load stay in front of what it adds: a
    // double click or a Delete during it reaches them by their index. No
    // Delete follows a Save: the Save waits for the load only while the load
    // runs, and one that ended early would write the list before the Delete.
    bool saving = false;
    for (int i = 0; i < steps; ++i) {
        const int r = rng_.Below(100);
        if (r < 30 && !m_.items.empty()) {
            const int index = rng_.Below(static_cast<int>(m_.items.size()));
            ExpectDelivery(m_.items[static_cast<std::size_t>(index)]);
            PostDoubleClick(index);
        } else if (r < 40 && !m_.items.empty() && !saving) {
            const int index = rng_.Below(static_cast<int>(m_.items.size()));
            m_.items.erase(m_.items.begin() + index);
            PostDelete(index);
        } else if (r < 55) {
            PostDestination(rng_.Chance(50));
        } else if (r < 80) {
            const std::wstring target =
                kSaveNames[rng_.Below(sizeof kSaveNames / sizeof kSaveNames[0])];
            if (!SetPathDirect(target)) return false;
            // Saves to one file one after the other wait as one.
            if (jobs.empty() || !jobs.back().save || jobs.back().path != target)
                jobs.push_back({true, target});
            PostFormButton(fids::kSaveButton, fids::kFileSaveItem);
            saving = true;
        } else {
            const std::wstring source = rng_.Chance(50) ? L"tags.txt" : L"lonecr.txt";
            if (!SetPathDirect(source)) return false;
            jobs.push_back({false, source});
            PostFormButton(fids::kLoadButton, fids::kFileLoadItem);
        }
    }
    if (!SetPathDirect(L"plain.txt")) return false;
    jobs.push_back({false, L"plain.txt"});
    PostFormButton(fids::kLoadButton, fids::kFileLoadItem);

    m_.items.insert(m_.items.end(), loaded.begin(), loaded.end());
    std::vector<std::wstring> saved;
    ModelJobs(jobs, saved);
    // Each box holds up what waits behind it until it is closed.
    if (!Settle() || !CloseBoxes()) return false;
    if (!Effect([&] { return Count() == static_cast<int>(m_.items.size()); },
                "a load with actions during it ended with " + std::to_string(Count()) +
                    " items, not " + std::to_string(m_.items.size()),
                kLoadMs))
        return false;
    return VerifySaves(saved);
}

// Closing the window in the middle of a long load ends the load; a Save that
// was waiting for it goes with the window. Sometimes the window is opened
// again at once, in the middle of what the closing interrupted.
bool Soak::CloseDuringLoad() {
    if (!SetPathDirect(kLongName)) return false;
    HWND form = form_;
    PostFormButton(fids::kLoadButton, fids::kFileLoadItem);
    const int clicks = rng_.Below(3);
    for (int i = 0; i < clicks && !m_.items.empty(); ++i) {
        const int index = rng_.Below(static_cast<int>(m_.items.size()));
        ExpectDelivery(m_.items[static_cast<std::size_t>(index)]);
        PostDoubleClick(index);
    }
    std::wstring target;
    std::string ifRun;
    if (rng_.Chance(50)) {
        target = kSaveNames[rng_.Below(sizeof kSaveNames / sizeof kSaveNames[0])];
        if (!SetPathDirect(target)) return false;
        // Had the load ended before the close, the save would have written the whole list.
        std::vector<std::wstring> whole = m_.items;
        const std::vector<std::wstring> loaded = Fields(kLongName);
        whole.insert(whole.end(), loaded.begin(), loaded.end());
        std::vector<std::string> lines;
        for (const std::wstring& item : whole) lines.push_back(e2e::AnsiBytes(item));
        ifRun = listfile::ListFileBytes(lines);
        PostFormButton(fids::kSaveButton, fids::kFileSaveItem);
    }
    const bool reopen = rng_.Chance(30);
    if (rng_.Chance(50))
        Post(form, WM_CLOSE);
    else
        Post(form, WM_COMMAND, MAKEWPARAM(fids::kFileExitItem, 0), 0);
    if (reopen) Post(MainCtl(mids::kExtraButton), BM_CLICK);
    m_.custom = false;
    m_.main = Place::Shown;
    form_ = nullptr;
    if (reopen) OpenedCustom();
    if (!Settle()) return false;
    if (!Effect(
            [&] {
                if (IsWindow(form)) return false;
                if (!reopen) return e2e::IsShown(main_);
                form_ = FindForm();
                return form_ != nullptr && e2e::IsShown(form_) && !IsWindowVisible(main_);
            },
            "closing during a load did not close the custom codes window"))
        return false;
    if (!target.empty() && SaveWrites(target) && customs::ReadBytes(PathOf(target)) == ifRun) {
        // The load ended before the close arrived: the waiting save ran, whole.
        ++lateCloses_;
        FileOf(target).node = Node::File;
        FileOf(target).bytes = ifRun;
    }
    // Whatever the ended load still had to read goes nowhere.
    if (!Barrier() || !Barrier()) return false;
    if (reopen && Count() != 0)
        return Mismatch("the window opened again holds items of the ended load");
    std::vector<std::wstring> names;
    if (!target.empty()) names.push_back(target);
    names.push_back(kLongName);
    return VerifySaves(names);
}

// Clicks and presses posted at once: each runs in turn, inside the first
// delivery's wait where there is one; deliveries go out in order. A Load or a
// close, when there is one, comes last. A save or load that cannot be done
// tells so in a box, and the saves and loads pressed while it stands wait for
// it, as behind a load; a close takes the box and them along.
bool Soak::CustomBurst() {
    const int steps = 2 + rng_.Below(5);
    std::vector<std::wstring> saved;
    bool loading = false;
    bool boxUp = false;
    std::vector<Job> waiting;
    for (int i = 0; i < steps && m_.custom; ++i) {
        const bool last = i == steps - 1;
        const int r = rng_.Below(100);
        if (r < 35) {
            const int index = m_.items.empty() ? -1 : rng_.Below(static_cast<int>(m_.items.size()));
            ExpectDelivery(index < 0 ? std::wstring() : m_.items[static_cast<std::size_t>(index)]);
            PostDoubleClick(index);
        } else if (r < 50) {
            PostDestination(rng_.Chance(50));
        } else if (r < 65) {
            m_.items.push_back(m_.code);
            Post(FormCtl(fids::kAddButton), BM_CLICK);
        } else if (r < 72) {
            m_.items.clear();
            m_.path.clear();
            waiting.clear();
            PostFormButton(fids::kClearButton, fids::kFileClearItem);
        } else if (r < 88) {
            if (!boxUp) {
                ModelSave(m_.path);
                saved.push_back(m_.path);
                if (!SaveWrites(m_.path)) {
                    ExpectTold(true, m_.path);
                    boxUp = true;
                }
            } else if (waiting.empty() || !waiting.back().save || waiting.back().path != m_.path) {
                waiting.push_back({true, m_.path});
            }
            PostFormButton(fids::kSaveButton, fids::kFileSaveItem);
        } else if (r < 95 && last) {
            if (!boxUp) {
                if (Unopenable(m_.path)) ExpectTold(false, m_.path);
                const std::vector<std::wstring> fields = Fields(m_.path);
                m_.items.insert(m_.items.end(), fields.begin(), fields.end());
            } else {
                waiting.push_back({false, m_.path});
            }
            loading = true;
            PostFormButton(fids::kLoadButton, fids::kFileLoadItem);
        } else if (last) {
            m_.custom = false;
            m_.main = Place::Shown;
            told_.clear();
            waiting.clear();
            Post(form_, WM_CLOSE);
        }
    }
    // What waited for the first box runs once it is closed, in order.
    ModelJobs(waiting, saved);
    if (!Settle() || !CloseBoxes()) return false;
    if (loading && !Effect([&] { return Count() == static_cast<int>(m_.items.size()); },
                           "a load at the end of a burst ended with the wrong count", kLoadMs))
        return false;
    if (!m_.custom) {
        HWND form = form_;
        if (!Effect([&] { return !IsWindow(form) && e2e::IsShown(main_); },
                    "a close at the end of a burst did not close the custom codes window"))
            return false;
        form_ = nullptr;
    }
    return VerifySaves(saved);
}

// ---- the run ---------------------------------------------------------------------------------

int Soak::Run() {
    e2e::Trace("soak: seed %llu, %d actions, ANSI code page %u",
               static_cast<unsigned long long>(seed_), actions_, GetACP());
    if (!ok(PrepareFiles(), "the soak's files are in place")) return e2e::Finish();
    if (!ok(standin_.Start(), "the stand-in messenger starts")) return e2e::Finish();
    if (!ok(tail_.Open(standin_.RecordPath()), "the stand-in's record opens")) return e2e::Finish();
    if (!Start()) {
        ok(false, "Pallimo starts: %s", failure_.c_str());
        return e2e::Finish();
    }
    // A click lost by Wine on a desktop that has just started is given again,
    // before the counted actions begin.
    const std::wstring red = catalogue::QuotedCode(catalogue::kStyles[1].code);
    for (int attempt = 0; attempt < 3 && e2e::TextOf(MainCtl(mids::kCodeBox)) != red; ++attempt) {
        e2e::Activate(main_);
        e2e::Click(MainCtl(mids::kFirstStyle + 1));
        e2e::WaitUntil([&] { return e2e::TextOf(MainCtl(mids::kCodeBox)) == red; }, 3000);
    }
    m_.text1 = e2e::TextOf(MainCtl(mids::kCodeBox));

    const DWORD started = GetTickCount();
    int done = 0;
    for (index_ = 0; index_ < actions_; ++index_) {
        if (seconds_ > 0 && GetTickCount() - started > static_cast<DWORD>(seconds_) * 1000) {
            e2e::Trace("soak: time budget of %d s spent, stopping", seconds_);
            break;
        }
        kind_ = Choose();
        ++perKind_[static_cast<std::size_t>(kind_)];
        failure_.clear();
        bool passed =
            kActions[kind_].run(*this) && Settle() && CloseBoxes() && CheckRecords(kEffectMs);
        if (passed && (index_ % kCheckEvery == kCheckEvery - 1 || kActions[kind_].heavy))
            passed = Alive() && Flush(true) && CheckState();
        if (passed && index_ % kFilesEvery == kFilesEvery - 1) passed = CheckAllFiles(false);
        if (!passed) Fail(failure_.empty() ? "no details" : failure_);
        ++done;
        if (done % 500 == 0)
            e2e::Trace("soak: %d actions, %lu s, %d failures", done,
                       (GetTickCount() - started) / 1000, crashes_ + hangs_ + mismatches_);
        if (crashes_ + hangs_ + mismatches_ >= 20) {
            e2e::Trace("soak: too many failures, stopping");
            break;
        }
    }
    // At the end: everything arrived and nothing more, every file as the model has it.
    index_ = -1;
    failure_.clear();
    if (!(Alive() && Flush(true) && CheckState() && CheckAllFiles(true)))
        Fail(failure_.empty() ? "final check" : failure_);
    const double seconds = (GetTickCount() - started) / 1000.0;

    e2e::Trace("soak: seed %llu: %d actions, %.1f seconds, %d crashes, %d hangs, %d mismatches",
               static_cast<unsigned long long>(seed_), done, seconds, crashes_, hangs_,
               mismatches_);
    std::string kinds;
    for (int k = 0; k < kActionCount; ++k)
        kinds += std::string(k ? ", " : "") + kActions[k].name + " " +
                 std::to_string(perKind_[static_cast<std::size_t>(k)]);
    e2e::Trace("soak: per kind: %s", kinds.c_str());
    e2e::Trace(
        "soak: %d real clicks or keys, %.1f actions/s, %d restarts after failures, "
        "%d closes that came after their load had ended, %d actions whose messages the "
        "messenger took in another allowed order, %d failed saves and loads told",
        real_, seconds > 0 ? done / seconds : 0.0, restarts_, lateCloses_, interleaved_,
        toldCount_);

    SetFileAttributesW(PathOf(L"readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    pallimo_.Kill();
    return e2e::Finish();
}

}  // namespace

int main() {
    const std::uint64_t seed = EnvNumber(L"PALLIMO_SOAK_SEED", kDefaultSeed);
    const int actions = static_cast<int>(EnvNumber(L"PALLIMO_SOAK_ACTIONS", kDefaultActions));
    const int seconds = static_cast<int>(EnvNumber(L"PALLIMO_SOAK_SECONDS", kDefaultSeconds));
    Soak soak(seed, actions, seconds);
    return soak.Run();
}
