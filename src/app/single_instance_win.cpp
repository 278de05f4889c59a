#include "app/single_instance_win.h"

#include "win/pump.h"

namespace app {

namespace {

// Names of our own: another program's mutex or message never matches.
const wchar_t kMutexName[] = L"Local\\Pallimo-8E1C5D2A-one-per-session";
const wchar_t kMessageName[] = L"Pallimo-8E1C5D2A-come-forward";

// How long one running window has to answer before it counts as busy.
constexpr UINT kAnswerMs = 1000;
constexpr std::uint32_t kRetryMs = 100;

}  // namespace

UINT ForwardMessage() { return RegisterWindowMessageW(kMessageName); }

SingleInstance::~SingleInstance() {
    if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool SingleInstance::Claim() {
    if (mutex_ != nullptr) CloseHandle(mutex_);
    mutex_ = CreateMutexW(nullptr, FALSE, kMutexName);
    const DWORD error = GetLastError();
    if (mutex_ == nullptr) {
        // Refused: a Pallimo with higher rights holds it, and is asked to
        // come forward. Not made for another reason: a Pallimo that does not
        // start at all would help nobody.
        return error != ERROR_ACCESS_DENIED;
    }
    if (error != ERROR_ALREADY_EXISTS) return true;
    // Not held while waiting: two later starts would otherwise keep it alive
    // for each other after the running Pallimo has ended.
    CloseHandle(mutex_);
    mutex_ = nullptr;
    return false;
}

Forward AskRunningForward(const wchar_t* windowClass) {
    const UINT message = ForwardMessage();
    if (message == 0) return Forward::kNone;
    Forward result = Forward::kNone;
    // Every window of the class, in case another program took the name:
    // only the one that answers as Pallimo does is ours.
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        // This start was the user's last input: it may hand the right to
        // take the foreground on to the running Pallimo.
        AllowSetForegroundWindow(process);
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs,
                                &answer) == 0)
            continue;
        if (static_cast<LRESULT>(answer) == kForwardAnswer) return Forward::kCame;
        if (static_cast<LRESULT>(answer) == kStartingAnswer) result = Forward::kStarting;
    }
    return result;
}

bool ClaimOrForward(SingleInstance& instance, const wchar_t* windowClass, std::uint32_t budgetMs,
                    bool& cameForward) {
    cameForward = false;
    const std::uint32_t start = win::NowMs();
    for (;;) {
        if (instance.Claim()) return true;
        if (AskRunningForward(windowClass) == Forward::kCame) {
            cameForward = true;
            return false;
        }
        if (win::NowMs() - start >= budgetMs) return false;
        Sleep(kRetryMs);
    }
}

}  // namespace app
