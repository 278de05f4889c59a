// The window system delivery works over, on Win32: the messenger's windows
// found by class, messages sent with a bound, and the program's own events.
#pragma once
#include <windows.h>

#include <string>

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
    bool Probe(Handle window, ProbeAnswer& answer) override;
    unsigned ThreadOf(Handle window) override;
    bool TellBlocked(Handle owner) override;
    void PumpEvents() override;
    void WaitForEvents(std::uint32_t ms) override;
    void Sleep(std::uint32_t ms) override;
    std::uint32_t NowMs() override;
    Box AskBox(Handle window, std::uint32_t boundMs) override;
};

// A window as delivery takes it: the owner of ChatSend and IMSend.
inline Handle ToHandle(HWND window) { return reinterpret_cast<Handle>(window); }

}  // namespace delivery
