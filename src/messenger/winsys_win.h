// The delivery's window system over the real windows.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "messenger/delivery.h"

namespace delivery {

class Win32WindowSystem : public WindowSystem {
  public:
    Handle FindTopWindow(const char* className) override;
    Handle FindChildWindow(Handle parent, Handle after, const char* className) override;
    Handle NextSibling(Handle window) override;
    Sent SendSetText(Handle window, const std::wstring& text, std::uint32_t boundMs) override;
    Sent SendButton(Handle window, unsigned message, std::uint32_t boundMs) override;
    Sent PostButton(Handle window, unsigned message) override;
    bool Probe(Handle window, std::uintptr_t probe) override;
    unsigned ThreadOf(Handle window) override;
    bool TellBlocked(Handle owner) override;
    void PumpEvents() override;
    void WaitForEvents(std::uint32_t ms) override;
    void Sleep(std::uint32_t ms) override;
    std::uint32_t NowMs() override;
    Box AskBox(Handle window, std::uint32_t boundMs) override;

    // Who hears that the messenger answered a probe (MessengerDelivery::ProbeAnswered).
    void OnProbeAnswered(std::function<void(std::uintptr_t)> answered) {
        probeAnswered_ = std::move(answered);
    }

  private:
    struct Ticket;
    static void CALLBACK ProbeReturned(HWND, UINT, ULONG_PTR data, LRESULT);
    std::function<void(std::uintptr_t)> probeAnswered_;
};

// Finds the first direct child of `parent` (the top-level windows when parent
// is null) after `after` whose class matches without regard to case. Walks
// the children itself: Wine's FindWindowEx stops when `after` is of another class.
HWND FindChildByClass(HWND parent, HWND after, const char* className);

inline Handle ToHandle(HWND window) { return reinterpret_cast<Handle>(window); }

}  // namespace delivery
