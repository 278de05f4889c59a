// An in-memory window tree standing in for the window system: it answers the
// lookups as Windows does and records every call as a line of text, so a test
// states the exact expected call sequence as data.
#pragma once
#include <algorithm>
#include <cctype>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "messenger/delivery.h"

class FakeWindowSystem : public delivery::WindowSystem {
  public:
    using Handle = delivery::Handle;

    // Adds a window; top-level windows added later stand higher in the Z order,
    // children are kept in the order they were added.
    Handle Add(const std::string& cls, Handle parent = 0) {
        windows_.push_back({cls, parent, true, {}, {}});
        const Handle h = windows_.size();
        if (parent == 0)
            top_.insert(top_.begin(), h);
        else
            windows_[parent - 1].children.push_back(h);
        return h;
    }
    void Remove(Handle h) { windows_[h - 1].alive = false; }

    Handle FindTopWindow(const char* cls) override {
        Handle found = 0;
        for (Handle h : top_)
            if (Matches(h, cls)) {
                found = h;
                break;
            }
        Log("FindWindowA(" + std::string(cls) + ") = " + std::to_string(found));
        return found;
    }
    Handle FindChildWindow(Handle parent, Handle after, const char* cls) override {
        const std::vector<Handle>& list = parent == 0 ? top_ : windows_[parent - 1].children;
        auto it = list.begin();
        if (after != 0) {
            it = std::find(list.begin(), list.end(), after);
            if (it != list.end()) ++it;
        }
        Handle found = 0;
        for (; it != list.end(); ++it)
            if (Matches(*it, cls)) {
                found = *it;
                break;
            }
        Log("FindWindowExA(" + std::to_string(parent) + ", " + std::to_string(after) + ", " + cls +
            ") = " + std::to_string(found));
        return found;
    }
    Handle NextSibling(Handle w) override {
        Handle found = 0;
        if (w != 0 && Alive(w)) {
            const Handle parent = windows_[w - 1].parent;
            const std::vector<Handle>& list = parent == 0 ? top_ : windows_[parent - 1].children;
            auto it = std::find(list.begin(), list.end(), w);
            if (it != list.end() && ++it != list.end()) found = *it;
        }
        Log("GetWindow(" + std::to_string(w) + ", GW_HWNDNEXT) = " + std::to_string(found));
        return found;
    }
    delivery::Sent SendSetText(Handle w, const std::wstring& text, std::uint32_t bound) override {
        const delivery::Sent r = SendOutcome(w, bound);
        Log("SendMessageA(" + std::to_string(w) + ", WM_SETTEXT, \"" + Narrow(text) + "\")" +
            Suffix(r));
        if (r == delivery::Sent::Done) windows_[w - 1].text = text;
        WhileSending();
        return r;
    }
    delivery::Sent SendButton(Handle w, unsigned msg, std::uint32_t bound) override {
        const delivery::Sent r = SendOutcome(w, bound);
        Log("SendMessageA(" + std::to_string(w) + ", " + MsgName(msg) + ", 0, 0)" + Suffix(r));
        WhileSending();
        return r;
    }
    delivery::Sent PostButton(Handle w, unsigned msg) override {
        const delivery::Sent r = Outcome(w, false);
        Log("PostMessageA(" + std::to_string(w) + ", " + MsgName(msg) + ", 0, 0)" + Suffix(r));
        return r;
    }
    // The question is put if the window is there; the test answers it (or
    // not) later with Answer, as the program's pump would.
    bool Probe(Handle w, delivery::ProbeAnswer& answer) override {
        Log("Probe(" + std::to_string(w) + ")" + (Alive(w) ? "" : " = gone"));
        if (Alive(w)) probes.push_back(&answer);
        return Alive(w);
    }
    // The messenger answers question `i` (the oldest is 0); a question is
    // answered once.
    void Answer(std::size_t i) {
        if (delivery::ProbeAnswer* answer = std::exchange(probes.at(i), nullptr))
            answer->Answered();
    }
    // Every window belongs to messenger thread 1 unless `threads` says otherwise.
    unsigned ThreadOf(Handle w) override {
        if (!Alive(w)) return 0;
        const auto it = threads.find(w);
        return it == threads.end() ? 1 : it->second;
    }
    bool TellBlocked(Handle owner) override {
        Log("TellBlocked(" + std::to_string(owner) + ")");
        return tellShows;
    }
    void PumpEvents() override {
        Log("pump");
        if (onPump) onPump();
    }
    void WaitForEvents(std::uint32_t ms) override {
        Log("wait " + std::to_string(ms));
        now += ms;
    }
    void Sleep(std::uint32_t ms) override { Log("Sleep(" + std::to_string(ms) + ")"); }
    std::uint32_t NowMs() override {
        const std::uint32_t t = now;
        now += tick;
        return t;
    }

    // The messenger takes the text out of its input box once it has handled
    // the posted Send press: here after `busyChecks` more questions.
    delivery::Box AskBox(Handle w, std::uint32_t bound) override {
        bounds.push_back(bound);
        if (hung.count(w) != 0 || slow.count(w) != 0) {
            now += bound;
            Log("AskBox(" + std::to_string(w) + ") = no answer");
            WhileSending();
            return delivery::Box::NoAnswer;
        }
        if (busyChecks > 0) {
            --busyChecks;
        } else if (Alive(w)) {
            windows_[w - 1].text.clear();
        }
        const bool has = Alive(w) && !windows_[w - 1].text.empty();
        Log("AskBox(" + std::to_string(w) + ") = " + (has ? "text" : "empty"));
        WhileSending();
        return has ? delivery::Box::HasText : delivery::Box::Empty;
    }

    std::wstring TextOf(Handle h) const { return windows_[h - 1].text; }
    // The calls that contain any of `parts`, in order.
    std::vector<std::string> CallsWith(std::initializer_list<const char*> parts) const {
        std::vector<std::string> found;
        for (const std::string& c : calls)
            if (std::any_of(parts.begin(), parts.end(),
                            [&](const char* p) { return c.find(p) != std::string::npos; }))
                found.push_back(c);
        return found;
    }

    std::vector<std::string> calls;
    std::function<void()> onPump;  // runs inside every pump, as a queued event would
    // Runs inside the `duringSend`-th sent message or question (counting from
    // 1), as a message another program sends meanwhile would.
    std::function<void()> onSend;
    int duringSend = 0;
    std::uint32_t now = 0;     // the clock
    std::uint32_t tick = 0;    // how far the clock moves on every reading
    int busyChecks = 0;        // how many questions come before the messenger sends
    std::set<Handle> hung;     // windows whose sends and questions time out
    std::set<Handle> slow;     // windows whose questions time out, yet sends are handled
    bool tellShows = true;     // whether the message box can be shown
    std::set<Handle> blocked;  // windows that refuse what is sent or posted (higher rights)
    std::set<Handle> failing;  // windows where sending and posting fail for no known reason
    std::map<Handle, unsigned> threads;  // the messenger thread of a window, when not 1
    std::uint32_t answerMs = 0;          // how long the messenger takes to handle a sent message
    std::vector<std::uint32_t> bounds;   // the bound of every message sent or question asked
    std::vector<delivery::ProbeAnswer*>
        probes;  // every question put, oldest first; 0 once answered

  private:
    struct Window {
        std::string cls;
        Handle parent;
        bool alive;
        std::vector<Handle> children;
        std::wstring text;
    };

    delivery::Sent Outcome(Handle w, bool sent) const {
        if (w == 0 || !Alive(w)) return delivery::Sent::NoWindow;
        if (blocked.count(w) != 0) return delivery::Sent::Blocked;
        if (failing.count(w) != 0) return delivery::Sent::Failed;
        if (sent && hung.count(w) != 0) return delivery::Sent::NoAnswer;
        return delivery::Sent::Done;
    }
    // A sent message takes the messenger's time, or the whole bound if it gets
    // no answer within it.
    delivery::Sent SendOutcome(Handle w, std::uint32_t bound) {
        bounds.push_back(bound);
        delivery::Sent r = Outcome(w, true);
        if (r == delivery::Sent::Done && answerMs > bound) r = delivery::Sent::NoAnswer;
        if (r == delivery::Sent::NoAnswer) now += bound;
        if (r == delivery::Sent::Done) now += answerMs;
        return r;
    }
    static std::string Suffix(delivery::Sent r) {
        if (r == delivery::Sent::NoAnswer) return " = no answer";
        if (r == delivery::Sent::Blocked) return " = blocked";
        if (r == delivery::Sent::Failed) return " = failed";
        return "";
    }
    bool Alive(Handle h) const { return h >= 1 && h <= windows_.size() && windows_[h - 1].alive; }
    bool Matches(Handle h, const char* cls) const {
        if (!Alive(h)) return false;
        const std::string& a = windows_[h - 1].cls;
        const std::string b = cls;
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    }
    static std::string MsgName(unsigned msg) {
        if (msg == delivery::kWmLButtonDown) return "WM_LBUTTONDOWN";
        if (msg == delivery::kWmLButtonUp) return "WM_LBUTTONUP";
        return std::to_string(msg);
    }
    static std::string Narrow(const std::wstring& w) {
        std::string s;
        for (wchar_t c : w) s += c < 128 ? static_cast<char>(c) : '?';
        return s;
    }
    void Log(std::string line) { calls.push_back(std::move(line)); }
    void WhileSending() {
        if (++sends_ == duringSend && onSend) onSend();
    }

    std::vector<Window> windows_;
    std::vector<Handle> top_;  // highest in the Z order first
    int sends_ = 0;
};
