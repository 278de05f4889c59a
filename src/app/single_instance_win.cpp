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

namespace {

// Asks every window of the class once, in case another program took the
// name: only one that answers as Pallimo does is ours. True when it came.
bool AskRunningForward(UINT message, const wchar_t* windowClass) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        // This start was the user's last input: it may hand the right to
        // take the foreground on to the running Pallimo.
        AllowSetForegroundWindow(process);
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs,
                                &answer) != 0 &&
            static_cast<LRESULT>(answer) == kForwardAnswer)
            return true;
    }
    return false;
}

}  // namespace

Start ClaimOrForward(SingleInstance& instance, const wchar_t* windowClass, std::uint32_t budgetMs) {
    const UINT message = ForwardMessage();
    const std::uint32_t start = win::NowMs();
    for (;;) {
        if (instance.Claim()) return Start::kRun;
        if (message != 0 && AskRunningForward(message, windowClass)) return Start::kCameForward;
        if (win::NowMs() - start >= budgetMs) return Start::kNoAnswer;
        Sleep(kRetryMs);
    }
}

}  // namespace app
