// One Pallimo per user session. The first start holds a named mutex in the
// session's own namespace; a later start finds the running one's smiley
// window by a message only Pallimo answers, asks it to come forward and ends.
#pragma once
#include <windows.h>

#include <cstdint>

namespace app {

// The message a later start sends the running smiley window: it answers
// kForwardAnswer once it stands and has come forward, kStartingAnswer while
// it is still opening; any other window answers neither.
UINT ForwardMessage();
constexpr LRESULT kForwardAnswer = 0x506C6D31;   // "Plm1"
constexpr LRESULT kStartingAnswer = 0x506C6D30;  // "Plm0"

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

// Asks the running Pallimo's smiley window (class `windowClass`) once to come
// forward: kCame when it did, kStarting while it is still opening, kNone when
// no window answers (none stands yet, or it is ending).
enum class Forward { kCame, kStarting, kNone };
Forward AskRunningForward(const wchar_t* windowClass);

// The program's start: true when this is to be the session's Pallimo.
// Otherwise the running one has been asked to come forward, waiting for it
// up to `budgetMs` while it starts; `cameForward` says whether it did. A
// Pallimo that ends meanwhile leaves the session to this one.
bool ClaimOrForward(SingleInstance& instance, const wchar_t* windowClass, std::uint32_t budgetMs,
                    bool& cameForward);

}  // namespace app
