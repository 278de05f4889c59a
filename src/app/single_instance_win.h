// One Pallimo per user session. The first start holds a named mutex in the
// session's own namespace; a later start finds the running one's smiley
// window by a message only Pallimo answers, asks it to come forward and ends.
#pragma once
#include <windows.h>

#include <cstdint>

namespace app {

// The message a later start sends the running smiley window: it answers
// kForwardAnswer once it has come forward. Still opening or ending, it answers
// nothing else, as any other window does, and the later start asks again.
UINT ForwardMessage();
constexpr LRESULT kForwardAnswer = 0x506C6D31;  // "Plm1"

class SingleInstance {
  public:
    SingleInstance() = default;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    ~SingleInstance();

    // True when this is the session's first Pallimo, or when the mutex can
    // be neither made nor opened. May be asked again.
    bool Claim();

  private:
    HANDLE mutex_ = nullptr;
};

// What a start comes to: it runs as the session's Pallimo, or the running one
// came forward, or none answered within the wait.
enum class Start { kRun, kCameForward, kNoAnswer };

// Claims the session for this start, else asks the running Pallimo's smiley
// window (class `windowClass`) to come forward, for up to `budgetMs` while it
// starts. A Pallimo that ends meanwhile leaves the session to this one.
Start ClaimOrForward(SingleInstance& instance, const wchar_t* windowClass, std::uint32_t budgetMs);

}  // namespace app
