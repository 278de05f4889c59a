// The delivery routines over the real window system, and the forms the
// program's windows call.
#pragma once
#include <windows.h>

#include <string>

#include "messenger/delivery.h"

namespace Module1 {

// How long a sent message may wait for the messenger to handle it. A
// messenger that stops reading its queue costs at most this per message.
constexpr UINT kSendBoundMs = 2000;
// How long a question about the input box may wait for an answer.
constexpr UINT kAskBoundMs = 250;

class Win32WindowSystem : public WindowSystem {
public:
    Handle FindTopWindow(const char* className) override;
    Handle FindChildWindow(Handle parent, Handle after, const char* className) override;
    Handle NextSibling(Handle window) override;
    void SendSetText(Handle window, const std::wstring& text) override;
    void SendButton(Handle window, unsigned message) override;
    void PostButton(Handle window, unsigned message) override;
    void PumpEvents() override;
    void WaitForEvents(std::uint32_t ms) override;
    void Sleep(std::uint32_t ms) override;
    std::uint32_t NowMs() override;
    bool HasText(Handle window) override;
};

// Finds the first direct child of `parent` (the top-level windows when parent
// is null) after `after` whose class matches without regard to case. Walks
// the children itself: Wine's FindWindowEx stops when `after` is of another class.
HWND FindChildByClass(HWND parent, HWND after, const char* className);

void ChatSend(const std::wstring& text);
void IMSend(const std::wstring& text);
void TimeOut(double seconds);

}  // namespace Module1
