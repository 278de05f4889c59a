#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "fake_winsys.h"
#include "win/steady_clock.h"

using delivery::Handle;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

// Every test drives one delivery over its own in-memory window tree.
class DeliveryTest : public ::testing::Test {
  protected:
    FakeWindowSystem ws;
    delivery::MessengerDelivery messenger{ws};
};
using ChatSend = DeliveryTest;
using IMSend = DeliveryTest;
using Deliveries = DeliveryTest;
using TimeOut = DeliveryTest;

// The chat room as the messenger lays it out: a formatting button ahead of the
// text areas, so pressing "the first icon button" would be the wrong one.
struct ChatRoom {
    explicit ChatRoom(FakeWindowSystem& ws, bool secondArea = true) {
        chat = ws.Add("AIM_ChatWnd");
        format = ws.Add("_Oscar_IconBtn", chat);
        area1 = ws.Add("WndAte32Class", chat);
        if (secondArea) input = ws.Add("WndAte32Class", chat);
        send = ws.Add("_Oscar_IconBtn", chat);
        ws.Add("_Oscar_IconBtn", chat);
    }
    Handle chat = 0, format = 0, area1 = 0, input = 0, send = 0;
};

struct ImWindow {
    explicit ImWindow(FakeWindowSystem& ws, bool withCombo = true) {
        im = ws.Add("AIM_IMessage");
        if (withCombo) {
            combo = ws.Add("_Oscar_PersistantCombo", im);
            edit = ws.Add("Edit", combo);
        }
        area1 = ws.Add("WndAte32Class", im);
        input = ws.Add("WndAte32Class", im);
        send = ws.Add("_Oscar_IconBtn", im);
        ws.Add("_Oscar_IconBtn", im);
    }
    Handle im = 0, combo = 0, edit = 0, area1 = 0, input = 0, send = 0;
};

std::string HandleText(Handle h) { return std::to_string(h); }

std::vector<std::string> ReadinessPass(const ImWindow& w) {
    return {"pump", "FindWindowA(AIM_IMessage) = " + HandleText(w.im),
            "FindWindowExA(" + HandleText(w.im) +
                ", 0, _Oscar_PersistantCombo) = " + HandleText(w.combo),
            "FindWindowExA(" + HandleText(w.combo) + ", 0, Edit) = " + HandleText(w.edit)};
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Everything IMSend does after its readiness wait, for a window laid out as `w`;
// after an earlier instant message it first asks whether that press was taken.
std::vector<std::string> ImDelivery(const ImWindow& w, const std::string& setText,
                                    bool afterAnother = false) {
    std::vector<std::string> seq;
    if (afterAnother) seq.push_back("AskBox(" + HandleText(w.input) + ") = empty");
    seq.insert(
        seq.end(),
        {
            "Sleep(0)",
            "FindWindowA(AIM_IMessage) = " + HandleText(w.im),
            "FindWindowExA(" + HandleText(w.im) + ", 0, WndAte32Class) = " + HandleText(w.area1),
            "GetWindow(" + HandleText(w.area1) + ", GW_HWNDNEXT) = " + HandleText(w.input),
        });
    if (!setText.empty()) seq.push_back(setText);
    seq.insert(seq.end(), {
                              "FindWindowA(AIM_IMessage) = " + HandleText(w.im),
                              "FindWindowExA(" + HandleText(w.im) +
                                  ", 0, _Oscar_IconBtn) = " + HandleText(w.send),
                              "PostMessageA(" + HandleText(w.send) + ", WM_LBUTTONDOWN, 0, 0)",
                              "Sleep(0)",
                              "PostMessageA(" + HandleText(w.send) + ", WM_LBUTTONUP, 0, 0)",
                              "Sleep(0)",
                          });
    return seq;
}

// One whole instant message of `text` into a window laid out as `w`: a
// readiness pass that finds it, then the delivery.
std::vector<std::string> ImSendOf(const ImWindow& w, const std::string& text,
                                  bool afterAnother = false) {
    return Join(
        {ReadinessPass(w),
         ImDelivery(w, "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"" + text + "\")",
                    afterAnother)});
}

}  // namespace

TEST_F(ChatSend, SetsTheSecondTextAreaAndPressesTheFirstIconButtonAfterIt) {
    ChatRoom room(ws);
    messenger.ChatSend(L" --^V- Pallimo Loaded -V^-- ");
    EXPECT_THAT(ws.calls,
                ElementsAre("FindWindowA(AIM_ChatWnd) = 1",
                            "FindWindowExA(1, 0, WndAte32Class) = " + HandleText(room.area1),
                            "FindWindowExA(1, " + HandleText(room.area1) +
                                ", WndAte32Class) = " + HandleText(room.input),
                            "SendMessageA(" + HandleText(room.input) +
                                ", WM_SETTEXT, \" --^V- Pallimo Loaded -V^-- \")",
                            "FindWindowExA(1, " + HandleText(room.input) +
                                ", _Oscar_IconBtn) = " + HandleText(room.send),
                            "SendMessageA(" + HandleText(room.send) + ", WM_LBUTTONDOWN, 0, 0)",
                            "SendMessageA(" + HandleText(room.send) + ", WM_LBUTTONUP, 0, 0)"));
    EXPECT_EQ(ws.TextOf(room.input), L" --^V- Pallimo Loaded -V^-- ");
}

TEST_F(ChatSend, EmptyTextClearsTheInputBoxAndStillPressesSend) {
    ChatRoom room(ws);
    messenger.ChatSend(L"left over");
    ws.calls.clear();
    messenger.ChatSend(L"");
    EXPECT_EQ(ws.calls[3], "SendMessageA(" + HandleText(room.input) + ", WM_SETTEXT, \"\")");
    EXPECT_EQ(ws.TextOf(room.input), L"");
    EXPECT_EQ(ws.calls.back(), "SendMessageA(" + HandleText(room.send) + ", WM_LBUTTONUP, 0, 0)");
}

TEST_F(ChatSend, WithOneTextAreaTheTextReachesNoWindowAndTheFirstIconButtonIsPressed) {
    ChatRoom room(ws, /*secondArea=*/false);
    messenger.ChatSend(L"hello");
    EXPECT_THAT(ws.calls,
                ElementsAre("FindWindowA(AIM_ChatWnd) = 1",
                            "FindWindowExA(1, 0, WndAte32Class) = " + HandleText(room.area1),
                            "FindWindowExA(1, " + HandleText(room.area1) + ", WndAte32Class) = 0",
                            "SendMessageA(0, WM_SETTEXT, \"hello\")",
                            "FindWindowExA(1, 0, _Oscar_IconBtn) = " + HandleText(room.format),
                            "SendMessageA(" + HandleText(room.format) + ", WM_LBUTTONDOWN, 0, 0)",
                            "SendMessageA(" + HandleText(room.format) + ", WM_LBUTTONUP, 0, 0)"));
    EXPECT_EQ(ws.TextOf(room.area1), L"");
}

TEST_F(ChatSend, WithNoChatRoomEveryLookupGivesZeroAndNothingIsTouched) {
    ImWindow im(ws);  // an IM window's own text areas must not be mistaken for the chat room's
    messenger.ChatSend(L"x");
    EXPECT_THAT(
        ws.calls,
        ElementsAre("FindWindowA(AIM_ChatWnd) = 0", "FindWindowExA(0, 0, WndAte32Class) = 0",
                    "FindWindowExA(0, 0, WndAte32Class) = 0", "SendMessageA(0, WM_SETTEXT, \"x\")",
                    "FindWindowExA(0, 0, _Oscar_IconBtn) = 0",
                    "SendMessageA(0, WM_LBUTTONDOWN, 0, 0)",
                    "SendMessageA(0, WM_LBUTTONUP, 0, 0)"));
    EXPECT_EQ(ws.TextOf(im.input), L"");
}

TEST_F(ChatSend, UsesTheChatRoomHighestInTheZOrder) {
    ChatRoom lower(ws);
    ChatRoom upper(ws);
    messenger.ChatSend(L"hi");
    EXPECT_EQ(ws.TextOf(upper.input), L"hi");
    EXPECT_EQ(ws.TextOf(lower.input), L"");
    EXPECT_EQ(ws.calls.back(), "SendMessageA(" + HandleText(upper.send) + ", WM_LBUTTONUP, 0, 0)");
}

TEST_F(IMSend, ReadyWindowTakesOnePassThenSetsTheInputAndPostsTheClick) {
    ImWindow w(ws);
    const std::wstring tag = L"<font sml=\"AgHSE5E=\">;-)</font>";
    messenger.IMSend(tag);
    EXPECT_THAT(ws.calls, ElementsAreArray(ImSendOf(w, "<font sml=\"AgHSE5E=\">;-)</font>")));
    EXPECT_EQ(ws.TextOf(w.input), tag);
}

TEST_F(IMSend, WithoutTheComboAndItsEditAllTenPassesRunThenItDeliversAnyway) {
    ImWindow w(ws, /*withCombo=*/false);
    messenger.IMSend(L"hey");
    std::vector<std::string> expected;
    for (int i = 0; i < delivery::kReadinessPasses; ++i) {
        auto pass = ReadinessPass(w);
        expected.insert(expected.end(), pass.begin(), pass.end());
    }
    auto rest = ImDelivery(w, "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"hey\")");
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_THAT(ws.calls, ElementsAreArray(expected));
    EXPECT_EQ(ws.TextOf(w.input), L"hey");
}

TEST_F(IMSend, WithNoWindowItSpendsTenPassesAndReachesNothing) {
    ChatRoom room(ws);
    messenger.IMSend(L"lost");
    EXPECT_EQ(std::count(ws.calls.begin(), ws.calls.end(), "pump"), 10);
    EXPECT_THAT(
        std::vector<std::string>(ws.calls.end() - 10, ws.calls.end()),
        ElementsAre("FindWindowA(AIM_IMessage) = 0", "FindWindowExA(0, 0, WndAte32Class) = 0",
                    "GetWindow(0, GW_HWNDNEXT) = 0", "SendMessageA(0, WM_SETTEXT, \"lost\")",
                    "FindWindowA(AIM_IMessage) = 0", "FindWindowExA(0, 0, _Oscar_IconBtn) = 0",
                    "PostMessageA(0, WM_LBUTTONDOWN, 0, 0)", "Sleep(0)",
                    "PostMessageA(0, WM_LBUTTONUP, 0, 0)", "Sleep(0)"));
    EXPECT_EQ(ws.TextOf(room.input), L"");
}

TEST_F(IMSend, StopsWaitingOnThePassWhereTheWindowBecomesReady) {
    int pumps = 0;
    std::unique_ptr<ImWindow> opened;
    ws.onPump = [&] {
        if (++pumps == 3) opened = std::make_unique<ImWindow>(ws);
    };
    messenger.IMSend(L"late");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(pumps, 3);
    EXPECT_EQ(ws.TextOf(opened->input), L"late");
}

TEST_F(IMSend, EmptyTextLeavesTheInputBoxAloneAndStillClicks) {
    ImWindow w(ws);
    ws.SendSetText(w.input, L"typed by the user", 0);
    ws.calls.clear();
    messenger.IMSend(L"");
    EXPECT_THAT(ws.calls, ElementsAreArray(Join({ReadinessPass(w), ImDelivery(w, "")})));
    EXPECT_EQ(ws.TextOf(w.input), L"typed by the user");
}

TEST_F(IMSend, InputBoxIsWhateverFollowsTheFirstTextAreaAndMissingOneSetsNothing) {
    const Handle im = ws.Add("AIM_IMessage");
    const Handle combo = ws.Add("_Oscar_PersistantCombo", im);
    ws.Add("Edit", combo);
    const Handle send = ws.Add("_Oscar_IconBtn", im);
    const Handle area1 = ws.Add("WndAte32Class", im);  // last child: nothing follows it
    messenger.IMSend(L"t");
    EXPECT_THAT(ws.calls, Contains("GetWindow(" + HandleText(area1) + ", GW_HWNDNEXT) = 0"));
    EXPECT_THAT(ws.calls, Contains("SendMessageA(0, WM_SETTEXT, \"t\")"));
    EXPECT_THAT(ws.calls, Contains("PostMessageA(" + HandleText(send) + ", WM_LBUTTONUP, 0, 0)"));
}

TEST_F(IMSend, EachLookupTakesTheWindowHighestAtThatMoment) {
    ImWindow lower(ws);
    ImWindow upper(ws);
    std::unique_ptr<ImWindow> raised;
    // A window that opens while the readiness wait pumps events is used from then on.
    ws.onPump = [&] {
        if (raised == nullptr) raised = std::make_unique<ImWindow>(ws);
    };
    messenger.IMSend(L"z");
    ASSERT_NE(raised, nullptr);
    EXPECT_EQ(ws.TextOf(raised->input), L"z");
    EXPECT_EQ(ws.TextOf(upper.input), L"");
    EXPECT_EQ(ws.TextOf(lower.input), L"");
    EXPECT_EQ(ws.calls.back(), "Sleep(0)");
    EXPECT_EQ(ws.calls[ws.calls.size() - 2],
              "PostMessageA(" + HandleText(raised->send) + ", WM_LBUTTONUP, 0, 0)");
}

// Clicks handled inside a delivery's wait go out after it, oldest first, and
// never nest: an inner set-text would overwrite the input box before the
// outer Send press was handled.
TEST_F(Deliveries, AskedForDuringAWaitGoOutAfterItInOrder) {
    ImWindow w(ws, /*withCombo=*/false);  // ten passes: plenty of events handled meanwhile
    ChatRoom room(ws);
    int pumps = 0;
    ws.onPump = [&] {
        ++pumps;
        if (pumps == 1) messenger.IMSend(L"second");
        if (pumps == 2) messenger.ChatSend(L"third");
        if (pumps == 3) messenger.IMSend(L"fourth");
    };
    messenger.IMSend(L"first");
    const std::string imIn = HandleText(w.input), imSend = HandleText(w.send),
                      chIn = HandleText(room.input), chSend = HandleText(room.send);
    EXPECT_THAT(ws.CallsWith({"WM_SETTEXT", "WM_LBUTTONUP"}),
                ElementsAre("SendMessageA(" + imIn + ", WM_SETTEXT, \"first\")",
                            "PostMessageA(" + imSend + ", WM_LBUTTONUP, 0, 0)",
                            "SendMessageA(" + imIn + ", WM_SETTEXT, \"second\")",
                            "PostMessageA(" + imSend + ", WM_LBUTTONUP, 0, 0)",
                            "SendMessageA(" + chIn + ", WM_SETTEXT, \"third\")",
                            "SendMessageA(" + chSend + ", WM_LBUTTONUP, 0, 0)",
                            "SendMessageA(" + imIn + ", WM_SETTEXT, \"fourth\")",
                            "PostMessageA(" + imSend + ", WM_LBUTTONUP, 0, 0)"));
    // Nothing is left waiting or running: the next one goes out at once, alone.
    ws.calls.clear();
    messenger.IMSend(L"fifth");
    EXPECT_THAT(ws.CallsWith({"WM_SETTEXT"}),
                ElementsAre("SendMessageA(" + imIn + ", WM_SETTEXT, \"fifth\")"));
}

// Once the program ends (its window closed inside a delivery's wait), nothing
// more reaches the messenger: not the running delivery, nor what waits, nor
// what is asked for later; a TimeOut returns at its next handling of events.
TEST_F(Deliveries, StopEndsTheRunningOneAndDropsTheRest) {
    ImWindow w(ws, /*withCombo=*/false);
    int pumps = 0;
    ws.onPump = [&] {
        if (++pumps == 1) messenger.ChatSend(L"waiting");
        if (pumps == 2) messenger.Stop();
    };
    messenger.IMSend(L"running");
    messenger.IMSend(L"later");
    messenger.TimeOut(3600);
    EXPECT_EQ(pumps, 3);
    EXPECT_THAT(ws.CallsWith({"WM_SETTEXT", "WM_LBUTTON"}), IsEmpty());
}

// A sent message lets other programs' sent messages in while it waits: the
// program can end inside one (another program sends its window WM_CLOSE).
// The message that was in flight is the last thing that happens: no press,
// no release, no question and no message box after it.
TEST(DeliveryStoppedInsideASend, NothingFollowsTheMessageInWhoseWaitItStopped) {
    struct Row {
        const char* what;
        bool im;
        int stopInSend;  // which sent message or question, counting from 1
        std::function<void(FakeWindowSystem&, Handle input, Handle send)> setUp;
        const char* last;  // the last call, with {in} and {send} for the handles
    };
    const auto none = [](FakeWindowSystem&, Handle, Handle) {};
    const Row rows[] = {
        {"chat text", false, 1, none, "SendMessageA({in}, WM_SETTEXT, \"x\")"},
        {"chat press", false, 2, none, "SendMessageA({send}, WM_LBUTTONDOWN, 0, 0)"},
        {"chat press that ran out its bound", false, 2,
         [](FakeWindowSystem& ws, Handle, Handle send) { ws.hung = {send}; },
         "SendMessageA({send}, WM_LBUTTONDOWN, 0, 0) = no answer"},
        {"chat text refused", false, 1,
         [](FakeWindowSystem& ws, Handle in, Handle) { ws.blocked = {in}; },
         "SendMessageA({in}, WM_SETTEXT, \"x\") = blocked"},
        {"im text", true, 1, none, "SendMessageA({in}, WM_SETTEXT, \"x\")"},
        {"im text refused", true, 1,
         [](FakeWindowSystem& ws, Handle in, Handle) { ws.blocked = {in}; },
         "SendMessageA({in}, WM_SETTEXT, \"x\") = blocked"},
        {"im text that ran out its bound", true, 1,
         [](FakeWindowSystem& ws, Handle in, Handle) { ws.hung = {in}; },
         "SendMessageA({in}, WM_SETTEXT, \"x\") = no answer"},
        // The second message's question whether the first one's press was taken.
        {"im question", true, 2, none, "AskBox({in}) = empty"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeWindowSystem ws;
        delivery::MessengerDelivery messenger{ws};
        Handle in = 0, send = 0;
        if (row.im) {
            ImWindow w(ws);
            in = w.input;
            send = w.send;
        } else {
            ChatRoom room(ws);
            in = room.input;
            send = room.send;
        }
        row.setUp(ws, in, send);
        ws.duringSend = row.stopInSend;
        ws.onSend = [&] {
            messenger.ChatSend(L"queued");
            messenger.Stop();
        };
        if (row.im) {
            if (row.stopInSend == 2) messenger.IMSend(L"first");
            messenger.IMSend(L"x");
        } else {
            messenger.ChatSend(L"x");
        }
        std::string last = row.last;
        last.replace(last.find('{'), last.find('}') - last.find('{') + 1,
                     last.find("{in}") != std::string::npos ? HandleText(in) : HandleText(send));
        ASSERT_FALSE(ws.calls.empty());
        EXPECT_EQ(ws.calls.back(), last);
        EXPECT_THAT(ws.CallsWith({"queued", "TellBlocked", "Probe"}), IsEmpty());
        messenger.IMSend(L"after");
        EXPECT_EQ(ws.calls.back(), last);
    }
}

TEST_F(Deliveries, ABurstOfAThousandNeverNestsAndKeepsItsOrder) {
    ImWindow w(ws);
    int depth = 0, deepest = 0, asked = 1;
    ws.onPump = [&] {
        deepest = std::max(deepest, ++depth);
        // Every pass finds the next queued click, until a thousand were asked for.
        if (asked < 1000) messenger.IMSend(std::to_wstring(asked++));
        --depth;
    };
    messenger.IMSend(L"0");
    const std::vector<std::string> texts = ws.CallsWith({"WM_SETTEXT"});
    ASSERT_EQ(texts.size(), 1000u);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(texts[i], "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"" +
                                std::to_string(i) + "\")");
    EXPECT_EQ(deepest, 1);
}

TEST_F(Deliveries, AfterOneEndsTheNextRunsAtOnce) {
    ImWindow w(ws);
    messenger.IMSend(L"a");
    ws.calls.clear();
    messenger.IMSend(L"b");
    EXPECT_THAT(ws.calls, ElementsAreArray(ImSendOf(w, "b", true)));
}

TEST_F(Deliveries, TheNextTextWaitsUntilTheMessengerHasSentThePreviousOne) {
    ImWindow w(ws);
    messenger.IMSend(L"a");
    ws.calls.clear();
    ws.busyChecks = 2;  // the messenger still has the posted press in its queue twice
    messenger.IMSend(L"b");
    const std::vector<std::string> waited = {
        "AskBox(" + HandleText(w.input) + ") = text", "wait 1", "pump",
        "AskBox(" + HandleText(w.input) + ") = text", "wait 1", "pump"};
    EXPECT_THAT(ws.calls,
                ElementsAreArray(Join(
                    {ReadinessPass(w), waited,
                     ImDelivery(w, "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"b\")",
                                true)})));
}

TEST_F(Deliveries, AMessengerThatNeverSendsHoldsTheNextTextOnlySoLong) {
    ImWindow w(ws);
    messenger.IMSend(L"a");
    ws.busyChecks = 1 << 30;
    ws.tick = 100;
    messenger.IMSend(L"b");
    EXPECT_EQ(ws.TextOf(w.input), L"b");
    const std::size_t asked = ws.CallsWith({"AskBox"}).size();
    EXPECT_GT(asked, 5u);
    EXPECT_LE(asked, delivery::kPressBoundMs / 100);
}

TEST_F(Deliveries, ChatMessagesAndMissingWindowsLeaveNothingToWaitFor) {
    ChatRoom room(ws);
    messenger.IMSend(L"to no IM window");  // no button was pressed
    messenger.ChatSend(L"chat");           // its press is sent and handled at once
    ws.calls.clear();
    ImWindow w(ws);
    messenger.IMSend(L"x");
    EXPECT_THAT(ws.calls, ElementsAreArray(ImSendOf(w, "x")));
}

// An empty text sets nothing, yet its Send press sends whatever the box holds
// when the messenger gets to it, the user's own typing included: the next
// text must not replace that before it went out.
TEST_F(Deliveries, AfterAnEmptyTextTheNextWaitsUntilTheBoxIsEmpty) {
    ImWindow w(ws);
    ws.SendSetText(w.input, L"typed by the user", 0);
    messenger.IMSend(L"");
    EXPECT_EQ(ws.TextOf(w.input), L"typed by the user");
    ws.calls.clear();
    ws.busyChecks = 1;  // the press is still queued at the first question
    messenger.IMSend(L"b");
    const std::vector<std::string> waited = {"AskBox(" + HandleText(w.input) + ") = text", "wait 1",
                                             "pump"};
    EXPECT_THAT(ws.calls,
                ElementsAreArray(Join(
                    {ReadinessPass(w), waited,
                     ImDelivery(w, "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"b\")",
                                true)})));
}

std::vector<std::string> ChatLookups(const ChatRoom& r) {
    return {"FindWindowA(AIM_ChatWnd) = " + HandleText(r.chat),
            "FindWindowExA(" + HandleText(r.chat) + ", 0, WndAte32Class) = " + HandleText(r.area1),
            "FindWindowExA(" + HandleText(r.chat) + ", " + HandleText(r.area1) +
                ", WndAte32Class) = " + HandleText(r.input)};
}

// A messenger that let a send run out its bound costs that bound once: the
// rest of that delivery is not tried (a press would send whatever the box
// holds when it wakes), it is asked once, without waiting, to say when it
// reads its queue again, and every later delivery to any of its windows is
// passed over at once until that answer has come, with one of the program's
// events.
TEST_F(Deliveries, AfterASendRunsOutItsBoundTheMessengerIsPassedOverUntilItAnswers) {
    ChatRoom room(ws);
    ImWindow w(ws);
    ws.hung = {room.input, w.input};
    messenger.ChatSend(L"one");
    messenger.IMSend(L"x");  // another window of the same messenger: no second bound
    messenger.ChatSend(L"two");
    ws.hung.clear();  // it reads its queue again: the answer comes with the next pump
    ws.onPump = [&] { ws.Answer(0); };
    messenger.IMSend(L"y");
    messenger.ChatSend(L"three");
    const std::string in = HandleText(room.input), send = HandleText(room.send);
    EXPECT_THAT(ws.CallsWith({"Send", "Post", "Probe", "wait"}),
                ElementsAre("SendMessageA(" + in + ", WM_SETTEXT, \"one\") = no answer",
                            "Probe(" + in + ")",
                            "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"y\")",
                            "PostMessageA(" + HandleText(w.send) + ", WM_LBUTTONDOWN, 0, 0)",
                            "PostMessageA(" + HandleText(w.send) + ", WM_LBUTTONUP, 0, 0)",
                            "SendMessageA(" + in + ", WM_SETTEXT, \"three\")",
                            "SendMessageA(" + send + ", WM_LBUTTONDOWN, 0, 0)",
                            "SendMessageA(" + send + ", WM_LBUTTONUP, 0, 0)"));
}

// Answers are told apart by the question they answer: one that comes after its
// thread was forgotten (eight others hung since) does not clear that thread
// when it hangs again; only the answer to the newest question does.
TEST_F(Deliveries, OnlyTheAnswerToTheNewestQuestionClearsAMessenger) {
    ChatRoom room(ws);
    ws.hung = {room.input};
    for (unsigned thread = 1; thread <= 9; ++thread) {  // a new hung messenger each time
        ws.threads[room.input] = thread;
        messenger.ChatSend(L"a");
    }
    ws.threads[room.input] = 1;  // forgotten, so sent to again: another bound
    messenger.ChatSend(L"b");
    ASSERT_EQ(ws.probes.size(), 10u);
    ws.Answer(0);  // the first question's late answer
    messenger.ChatSend(L"c");
    ws.Answer(9);
    ws.hung.clear();
    messenger.ChatSend(L"d");
    const std::vector<std::string> texts = ws.CallsWith({"WM_SETTEXT"});
    EXPECT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts.end()[-2],
              "SendMessageA(" + HandleText(room.input) + ", WM_SETTEXT, \"b\") = no answer");
    EXPECT_EQ(texts.back(), "SendMessageA(" + HandleText(room.input) + ", WM_SETTEXT, \"d\")");
}

// The window asked closed before the messenger read the question: only its
// own thread can destroy it (or that thread ended), so the messenger no longer
// hangs there, and the next delivery goes out.
TEST_F(Deliveries, WhenTheWindowAskedIsGoneTheMessengerIsSentToAgain) {
    ChatRoom room(ws);
    ImWindow w(ws);
    ws.hung = {room.input};
    messenger.ChatSend(L"a");
    ws.Remove(room.input);
    messenger.IMSend(L"b");
    messenger.IMSend(L"c");
    EXPECT_THAT(
        ws.CallsWith({"Probe", "WM_SETTEXT"}),
        ElementsAre("SendMessageA(" + HandleText(room.input) + ", WM_SETTEXT, \"a\") = no answer",
                    "Probe(" + HandleText(room.input) + ")",
                    "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"b\")",
                    "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"c\")"));
    ws.hung = {w.input};  // nothing is left of that hang: a new one is asked about
    messenger.IMSend(L"d");
    EXPECT_EQ(ws.calls.back(), "Probe(" + HandleText(w.input) + ")");
}

// A hung messenger is passed over whatever the text: an empty text's press
// would wait in its queue and send whatever the box holds when it wakes; and
// the box the previous press was aimed at is not asked about either.
TEST_F(Deliveries, NothingIsAskedOrPostedToAHungMessengerEvenForAnEmptyText) {
    ChatRoom room(ws);
    ImWindow w(ws);
    messenger.IMSend(L"a");  // its press leaves a box to wait for
    ws.hung = {room.input};
    messenger.ChatSend(L"b");  // the messenger hangs
    ws.calls.clear();
    messenger.IMSend(L"c");
    messenger.IMSend(L"");
    EXPECT_THAT(ws.CallsWith({"AskBox", "WM_SETTEXT", "PostMessageA"}), IsEmpty());
    EXPECT_EQ(std::count(ws.calls.begin(), ws.calls.end(), "pump"), 2);  // both were asked for
}

// A messenger busy with the previous Send press lets the question about its
// box time out, yet it takes the next text: that is no hang, nothing is
// passed over, and no later message is either.
TEST_F(Deliveries, AQuestionThatTimesOutIsNoHangAndNothingIsPassedOver) {
    ImWindow w(ws);
    messenger.IMSend(L"a");
    ws.slow = {w.input};
    ws.calls.clear();
    messenger.IMSend(L"b");
    messenger.IMSend(L"c");
    const auto rest = ImDelivery(w, "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"c\")");
    EXPECT_THAT(ws.calls,
                ElementsAreArray(Join(
                    {ReadinessPass(w),
                     {"AskBox(" + HandleText(w.input) + ") = no answer"},
                     ImDelivery(w, "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"b\")"),
                     ReadinessPass(w),
                     {"AskBox(" + HandleText(w.input) + ") = no answer"},
                     rest})));
}

// The messenger stopped answering while its Send button was pressed: it still
// gets the release, which comes after the press once it wakes, so the button
// does not stay down; then the messenger counts as hung.
TEST_F(Deliveries, ATimedOutButtonPressIsFollowedByItsReleaseAndTheMessengerIsPassedOverNextTime) {
    ChatRoom room(ws);
    ws.hung = {room.send};
    messenger.ChatSend(L"a");
    ws.hung = {room.send, room.input};
    messenger.ChatSend(L"b");
    const std::string in = HandleText(room.input), send = HandleText(room.send);
    EXPECT_THAT(ws.calls,
                ElementsAreArray(
                    Join({ChatLookups(room),
                          {"SendMessageA(" + in + ", WM_SETTEXT, \"a\")",
                           "FindWindowExA(1, " + in + ", _Oscar_IconBtn) = " + send,
                           "SendMessageA(" + send + ", WM_LBUTTONDOWN, 0, 0) = no answer",
                           "PostMessageA(" + send + ", WM_LBUTTONUP, 0, 0)", "Probe(" + send + ")"},
                          ChatLookups(room)})));
}

// A click holds Pallimo for one bound in all: the question about the box and
// every message after it share it. A chat room whose messenger takes 1.9 s per
// message gets its text in, and the press only what is left; running out of
// it counts as no answer.
TEST_F(Deliveries, EveryMessageOfADeliveryGetsOnlyWhatIsLeftOfOneBound) {
    ImWindow w(ws);
    messenger.IMSend(L"a");
    ws.slow = {w.input};
    ws.bounds.clear();
    messenger.IMSend(L"b");
    EXPECT_THAT(ws.bounds,
                ElementsAre(delivery::kAskBoundMs, delivery::kSendBoundMs - delivery::kAskBoundMs));
    ChatRoom room(ws);
    ws.answerMs = 1900;
    ws.bounds.clear();
    ws.calls.clear();
    const std::uint32_t start = ws.now;
    messenger.ChatSend(L"c");
    EXPECT_THAT(ws.bounds, ElementsAre(2000u, 100u));
    EXPECT_EQ(ws.now - start, delivery::kSendBoundMs);
    EXPECT_EQ(ws.calls.back(), "Probe(" + HandleText(room.send) + ")");
}

// A text that takes nearly the whole bound leaves no time for the press: the
// delivery ends there, with no lone release, and the messenger, slow but not
// hung, is not passed over next time.
TEST_F(Deliveries, ATextThatTakesTheWholeBoundEndsTheClickOnly) {
    ChatRoom room(ws);
    ws.answerMs = 1960;  // 40 ms left: too little to send a message in
    messenger.ChatSend(L"a");
    EXPECT_THAT(ws.calls,
                Contains("SendMessageA(" + HandleText(room.input) + ", WM_SETTEXT, \"a\")"));
    EXPECT_THAT(ws.CallsWith({"LBUTTON", "Probe"}), IsEmpty());
    ws.answerMs = 0;
    ws.calls.clear();
    messenger.ChatSend(L"b");
    EXPECT_EQ(ws.calls.back(), "SendMessageA(" + HandleText(room.send) + ", WM_LBUTTONUP, 0, 0)");
}

// A release that runs out the bound is cancelled with the button left down, if
// the press was taken: a posted release follows it.
TEST_F(Deliveries, ATimedOutButtonReleaseIsPostedAgain) {
    ChatRoom room(ws);
    ws.answerMs = 900;  // text and press in time, the release gets 200 ms
    messenger.ChatSend(L"a");
    const std::string send = HandleText(room.send);
    EXPECT_THAT(
        std::vector<std::string>(ws.calls.end() - 3, ws.calls.end()),
        ElementsAre("SendMessageA(" + send + ", WM_LBUTTONUP, 0, 0) = no answer",
                    "PostMessageA(" + send + ", WM_LBUTTONUP, 0, 0)", "Probe(" + send + ")"));
}

// A messenger with higher rights refuses the text and the presses (privilege
// isolation): the delivery ends at once, leaves nothing to wait for, and the
// user is told why once, over the window the action came from.
TEST_F(Deliveries, ARefusedMessageEndsTheDeliveryAndTheUserIsToldOnce) {
    ImWindow w(ws);
    ChatRoom room(ws);
    ws.blocked = {w.input, w.send, room.input, room.send};
    const Handle smileyWindow = 77, customWindow = 78;
    messenger.IMSend(L"a", smileyWindow);
    EXPECT_THAT(
        ws.calls,
        ElementsAreArray(Join(
            {ReadinessPass(w),
             {"Sleep(0)", "FindWindowA(AIM_IMessage) = " + HandleText(w.im),
              "FindWindowExA(" + HandleText(w.im) + ", 0, WndAte32Class) = " + HandleText(w.area1),
              "GetWindow(" + HandleText(w.area1) + ", GW_HWNDNEXT) = " + HandleText(w.input),
              "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"a\") = blocked",
              "TellBlocked(77)"}})));
    ws.calls.clear();
    messenger.ChatSend(L"c", customWindow);
    messenger.IMSend(L"", customWindow);
    EXPECT_THAT(ws.calls, Contains("SendMessageA(" + HandleText(room.input) +
                                   ", WM_SETTEXT, \"c\") = blocked"));
    EXPECT_EQ(ws.calls.back(),
              "PostMessageA(" + HandleText(w.send) + ", WM_LBUTTONDOWN, 0, 0) = blocked");
    EXPECT_THAT(ws.CallsWith({"TellBlocked", "LBUTTONUP"}), IsEmpty());
    ws.blocked.clear();
    ws.calls.clear();
    messenger.IMSend(L"b");  // nothing was pressed: nothing to wait for
    EXPECT_THAT(ws.calls, ElementsAreArray(ImSendOf(w, "b")));
}

// A message that fails for no known reason to a window that is still there
// ends the delivery: a press would send whatever the box holds. The messenger
// is not taken for hung, and the user is not told.
TEST_F(Deliveries, AFailureWithoutAReasonEndsTheDeliveryOnly) {
    ChatRoom room(ws);
    ImWindow w(ws);
    ws.failing = {room.input, w.input};
    messenger.ChatSend(L"a");
    messenger.IMSend(L"b");
    EXPECT_EQ(ws.calls.back(),
              "SendMessageA(" + HandleText(w.input) + ", WM_SETTEXT, \"b\") = failed");
    ws.failing.clear();
    ws.calls.clear();
    messenger.ChatSend(L"c");
    EXPECT_THAT(ws.calls,
                ElementsAreArray(
                    Join({ChatLookups(room),
                          {"SendMessageA(" + HandleText(room.input) + ", WM_SETTEXT, \"c\")",
                           "FindWindowExA(1, " + HandleText(room.input) +
                               ", _Oscar_IconBtn) = " + HandleText(room.send),
                           "SendMessageA(" + HandleText(room.send) + ", WM_LBUTTONDOWN, 0, 0)",
                           "SendMessageA(" + HandleText(room.send) + ", WM_LBUTTONUP, 0, 0)"}})));
    ws.failing = {room.send};
    messenger.ChatSend(L"d");
    EXPECT_EQ(ws.calls.back(),
              "SendMessageA(" + HandleText(room.send) + ", WM_LBUTTONDOWN, 0, 0) = failed");
    EXPECT_TRUE(ws.probes.empty());
}

// A delivery queued behind another tells the user over its own window.
TEST_F(Deliveries, ARefusedDeliveryQueuedBehindAnotherIsToldOverItsOwnWindow) {
    ImWindow w(ws);
    ws.blocked = {w.input};
    bool queued = false;
    ws.onPump = [&] {
        if (!queued) messenger.IMSend(L"b", 78);
        queued = true;
    };
    messenger.IMSend(L"", 77);  // sets nothing, so nothing of it is refused
    EXPECT_EQ(ws.calls.back(), "TellBlocked(78)");
}

// A message box that could not be shown does not count as telling the user.
TEST_F(Deliveries, TheUserIsToldOnceTheBoxCouldBeShown) {
    ChatRoom room(ws);
    ws.blocked = {room.input};
    ws.tellShows = false;
    messenger.ChatSend(L"a", 77);
    ws.tellShows = true;
    messenger.ChatSend(L"b", 78);
    messenger.ChatSend(L"c", 79);
    EXPECT_THAT(ws.CallsWith({"TellBlocked"}), ElementsAre("TellBlocked(77)", "TellBlocked(78)"));
}

TEST_F(TimeOut, ZeroNegativeAndNotANumberReturnAtOnceWithoutPumping) {
    for (double s : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        messenger.TimeOut(s);
        EXPECT_TRUE(ws.calls.empty()) << s;
    }
}

TEST_F(TimeOut, WaitsForEventsInsteadOfSpinningAndLastsAtLeastTheDuration) {
    ws.now = 5000;
    messenger.TimeOut(1);
    EXPECT_THAT(ws.calls, ElementsAre("wait 1000", "pump"));
    EXPECT_GE(ws.now, 6000u);
}

TEST_F(TimeOut, HandlesEventsAsTheyComeUntilTheDurationHasPassed) {
    ws.tick = 300;  // every reading of the clock finds 300 ms more: events keep waking it
    messenger.TimeOut(1);
    // Readings at 0 (start), 300, then each wait adds its remainder.
    ASSERT_GE(ws.calls.size(), 2u);
    EXPECT_EQ(ws.calls[0], "wait 700");
    EXPECT_EQ(ws.calls[1], "pump");
    EXPECT_EQ(ws.calls.back(), "pump");
}

TEST_F(TimeOut, KeepsCountingRightAcrossTheClockWrap) {
    ws.now = 0xFFFFFF00u;  // the millisecond clock wraps 256 ms into the wait
    messenger.TimeOut(1);
    EXPECT_THAT(ws.calls, ElementsAre("wait 1000", "pump"));
}

TEST_F(TimeOut, FractionsRoundUpSoTheWaitIsNeverShort) {
    messenger.TimeOut(0.0004);
    EXPECT_THAT(ws.calls, ElementsAre("wait 1", "pump"));
}

TEST_F(TimeOut, LongWaitsAreCappedRatherThanOverflowing) {
    messenger.TimeOut(2147484);  // beyond a signed 32-bit count of milliseconds
    EXPECT_THAT(ws.calls, ElementsAre("wait 2147483647", "pump"));
}

// On some multi-core machines the performance counter differs between cores,
// so a later reading can be behind an earlier one: the clock must not follow
// it back, or `NowMs() - start` wraps and a wait ends at once.
TEST(SteadyMs, NeverGoesBackWhenTheCounterDoes) {
    win::SteadyMs clock;
    const std::uint64_t f = 1000000;
    const std::uint32_t start = clock.FromCounter(10 * f, f);
    EXPECT_EQ(start, 10000u);
    EXPECT_EQ(clock.FromCounter(10 * f - f / 100, f) - start, 0u);  // 10 ms behind
    EXPECT_EQ(clock.FromCounter(10 * f + f / 2, f) - start, 500u);
    EXPECT_EQ(clock.FromCounter(10 * f + f / 4, f) - start, 500u);  // behind again
    // 50 days of a 100 ns counter: counts times 1000 would overflow 64 bits.
    win::SteadyMs fine;
    const std::uint64_t day50 = 50ULL * 86400 * 10000000;
    const std::uint32_t then = fine.FromCounter(day50, 10000000);
    EXPECT_EQ(fine.FromCounter(day50 + 10000000, 10000000) - then, 1000u);
}
