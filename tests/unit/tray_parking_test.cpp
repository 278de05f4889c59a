// Minimising into the notification area, as event -> actions tables over a
// window and a shell whose answers each row sets.
#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <string>

#include "action_log.h"
#include "app/tray_parking.h"

using tray::IconAdd;
using tray::TrayParking;

namespace {

// The window as the system keeps it (minimised, visible) and a shell that
// answers the adds with the answers a row queued.
class ScriptedPlace : public tray::ParkingPlace {
  public:
    IconAdd AddIcon(bool changeFirst) override {
        const IconAdd answer = answers.empty() ? IconAdd::kThere : answers.front();
        if (!answers.empty()) answers.pop_front();
        log.Add(std::string(changeFirst ? "change-or-add" : "add") + (answer == IconAdd::kThere ? ""
                                                                      : answer == IconAdd::kBusy
                                                                          ? ": busy"
                                                                          : ": refused"));
        return answer;
    }
    void DeleteIcon() override { log.Add("delete icon"); }
    void Hide() override {
        log.Add("hide");
        visible = false;
    }
    void ShowMinimised() override {
        log.Add("show minimised");
        visible = true;
        minimised = true;
    }
    void Restore() override {
        log.Add("restore");
        minimised = false;
    }
    void ShowInFront() override {
        log.Add("show in front");
        visible = true;
        minimised = false;
    }
    void SetRetryTimer() override { log.Add("set timer"); }
    void KillRetryTimer() override { log.Add("kill timer"); }
    bool Visible() const override { return visible; }
    bool Minimised() const override { return minimised; }

    ActionLog log;
    std::deque<IconAdd> answers;
    bool visible = true;
    bool minimised = false;
};

enum class Event {
    kMinimise,  // the user minimises the shown window
    kRestore,   // restored from the taskbar
    kMaximise,
    kTimer,
    kIconClick,
    kTaskbarCreated,
    kClose,
};

struct Row {
    Event event;
    std::initializer_list<IconAdd> answers;  // the shell's, for this row's adds
    const char* actions;
};

void Play(std::initializer_list<Row> rows) {
    ScriptedPlace place;
    TrayParking parking(place);
    int n = 0;
    for (const Row& row : rows) {
        ++n;
        place.answers.assign(row.answers.begin(), row.answers.end());
        switch (row.event) {
            case Event::kMinimise:
                place.minimised = true;
                parking.OnMinimised();
                break;
            case Event::kRestore:
                place.minimised = false;
                parking.OnRestored();
                break;
            case Event::kMaximise:
                parking.OnMaximised();
                break;
            case Event::kTimer:
                parking.OnRetryTimer();
                break;
            case Event::kIconClick:
                parking.OnIconClicked();
                break;
            case Event::kTaskbarCreated:
                parking.OnTaskbarCreated();
                break;
            case Event::kClose:
                parking.OnClosed();
                break;
        }
        EXPECT_EQ(place.log.Take(), row.actions) << "row " << n;
    }
}

const IconAdd kThere = IconAdd::kThere, kRefused = IconAdd::kRefused, kBusy = IconAdd::kBusy;

}  // namespace

TEST(TrayParking, IconThenHiddenAndBackByTheIcon) {
    Play({
        {Event::kMinimise, {kThere}, "add, kill timer, hide"},
        // Minimised once more while hidden (the first show minimised).
        {Event::kMinimise, {}, ""},
        {Event::kIconClick, {}, "show in front, delete icon"},
        // Restored without a refusal before: no icon to take away.
        {Event::kMinimise, {kThere}, "add, kill timer, hide"},
        {Event::kRestore, {}, ""},
        {Event::kClose, {}, "delete icon"},
    });
}

TEST(TrayParking, RefusedStaysOnTheTaskbarAndTriesOnceMore) {
    Play({
        {Event::kMinimise, {kRefused}, "add: refused, set timer"},
        {Event::kTimer, {kThere}, "kill timer, add, hide"},
        {Event::kIconClick, {}, "show in front, delete icon"},
        // Refused twice: the window stays minimised on the taskbar, and no
        // third try comes.
        {Event::kMinimise, {kRefused}, "add: refused, set timer"},
        {Event::kTimer, {kRefused}, "kill timer, add: refused"},
        // The shell showed the icon all the same: restored from the taskbar,
        // the window takes it away, once.
        {Event::kRestore, {}, "delete icon"},
        {Event::kRestore, {}, ""},
        // Restored before the second try: the try asks nothing, and the
        // icon that may have come goes.
        {Event::kMinimise, {kRefused}, "add: refused, set timer"},
        {Event::kRestore, {}, "delete icon"},
        {Event::kTimer, {}, "kill timer"},
    });
}

// A refusal that took a second or more came from a busy shell, which may add
// the icon late: the second try first asks for the icon that came since.
TEST(TrayParking, BusyShellIsAskedForTheLateIconFirst) {
    Play({
        {Event::kMinimise, {kBusy}, "add: busy, set timer"},
        {Event::kTimer, {kThere}, "kill timer, change-or-add, hide"},
        {Event::kIconClick, {}, "show in front, delete icon"},
        {Event::kMinimise, {kRefused}, "add: refused, set timer"},
        {Event::kTimer, {kThere}, "kill timer, add, hide"},
    });
}

TEST(TrayParking, RestartedTaskbarAndMaximising) {
    Play({
        // Shown: a restarted taskbar changes nothing.
        {Event::kTaskbarCreated, {}, ""},
        {Event::kMinimise, {kThere}, "add, kill timer, hide"},
        // It has forgotten the icon of the window in the tray.
        {Event::kTaskbarCreated, {kThere}, "add, kill timer, hide"},
        // Refused there, the hidden window comes onto the taskbar.
        {Event::kTaskbarCreated, {kRefused}, "add: refused, show minimised, set timer"},
        {Event::kTimer, {kThere}, "kill timer, add, hide"},
        // The window has one size: maximised, it shows as it is, out of the tray.
        {Event::kMaximise, {}, "restore, delete icon"},
    });
}
