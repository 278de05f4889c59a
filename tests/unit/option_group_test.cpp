// The option group's rules as event -> actions tables, each table one run of
// events on one group.
#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <string>

#include "action_log.h"
#include "win/option_group.h"

using win::OptionGroup;

namespace {

class RecordedOptions : public win::OptionControls {
  public:
    void SetCheck(std::size_t option, bool checked) override {
        log.Add(checked ? "check" : "uncheck", option);
    }
    void SetTabStop(std::size_t option, bool stop) override {
        log.Add(stop ? "stop" : "nostop", option);
    }
    void SetFocus(std::size_t option) override { log.Add("focus", option); }
    void ShowFocusCues() override { log.Add("cues"); }
    void Chosen(std::size_t option) override { log.Add("chosen", option); }
    ActionLog log;
};

enum class Event { kReset, kClick, kFocusClick, kArrow };

struct Row {
    Event event;
    std::size_t option;
    int step;             // the arrow's: +1 down or right, -1 up or left
    const char* actions;  // what the group asked, in order
    std::size_t chosen;   // the chosen option afterwards
};

// A new window: the first is drawn chosen and is the one Tab stop.
const char kFresh[] =
    "check 0, stop 0, uncheck 1, nostop 1, uncheck 2, nostop 2, uncheck 3, nostop 3";

// Plays the rows in order on one group of four options.
void Play(OptionGroup::Arrows arrows, std::initializer_list<Row> rows) {
    RecordedOptions options;
    OptionGroup group(options, 4, arrows);
    int n = 0;
    for (const Row& row : rows) {
        ++n;
        switch (row.event) {
            case Event::kReset:
                group.Reset(row.option);
                break;
            case Event::kClick:
                group.OnClick(row.option, false);
                break;
            case Event::kFocusClick:
                group.OnClick(row.option, true);
                break;
            case Event::kArrow:
                if (!group.OnArrow(row.option, row.step)) options.log.Add("not taken");
                break;
        }
        EXPECT_EQ(options.log.Take(), row.actions) << "row " << n;
        EXPECT_EQ(group.chosen(), row.chosen) << "row " << n;
    }
}

}  // namespace

// The smiley window's styles: the group steps with the arrows itself.
TEST(OptionGroup, StepsByItselfRoundTheEnds) {
    Play(OptionGroup::Arrows::kOwn,
         {
             {Event::kReset, 0, 0, kFresh, 0},
             // A click moves the check mark and the Tab stop, and chooses.
             {Event::kClick, 2, 0, "uncheck 0, nostop 0, check 2, stop 2, chosen 2", 2},
             // The chosen one clicked again chooses it again (its code anew).
             {Event::kClick, 2, 0, "chosen 2", 2},
             // The click Windows sends when an unchecked option gets the focus
             // (the window taking the focus back) chooses nothing.
             {Event::kFocusClick, 1, 0, "", 2},
             // An arrow chooses the next one before it gets the focus.
             {Event::kArrow, 2, 1, "uncheck 2, nostop 2, check 3, stop 3, chosen 3, focus 3, cues",
              3},
             // From the last, round to the first, and back again.
             {Event::kArrow, 3, 1, "uncheck 3, nostop 3, check 0, stop 0, chosen 0, focus 0, cues",
              0},
             {Event::kArrow, 0, -1, "uncheck 0, nostop 0, check 3, stop 3, chosen 3, focus 3, cues",
              3},
             {Event::kArrow, 3, -1, "uncheck 3, nostop 3, check 2, stop 2, chosen 2, focus 2, cues",
              2},
             // Not one of the group's options: nothing.
             {Event::kArrow, 4, 1, "not taken", 2},
             {Event::kClick, 4, 0, "", 2},
         });
}

// The custom codes window's destinations: the dialog manager moves the focus
// with the arrows, and on Windows the option that gets it reports a click.
TEST(OptionGroup, LeavesTheArrowsToTheDialogManager) {
    Play(OptionGroup::Arrows::kDialogManager,
         {
             {Event::kReset, 0, 0, kFresh, 0},
             {Event::kArrow, 0, 1, "not taken", 0},
             // That click is the dialog manager's step: it chooses.
             {Event::kFocusClick, 1, 0, "uncheck 0, nostop 0, check 1, stop 1, chosen 1", 1},
             {Event::kClick, 0, 0, "uncheck 1, nostop 1, check 0, stop 0, chosen 0", 0},
         });
}
