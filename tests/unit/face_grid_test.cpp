// The faces by keyboard: where the arrows go, which face is the Tab stop, and
// when the hint below it shows, as event -> actions tables.
#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <string>

#include "action_log.h"
#include "app/face_grid.h"

using faces::FaceGrid;
using faces::FaceKey;

namespace {

constexpr std::size_t kNone = 99;  // the focus is on no face

// The faces as Windows treats them: focusing a face tells the grid that the
// face that had the focus lost it and the new one got it; a hint stands only
// below the focused face of a window that is not minimised.
class ScreenFaces : public faces::FaceControls {
  public:
    void SetTabStop(std::size_t face, bool stop) override {
        log.Add(stop ? "stop" : "nostop", face);
    }
    void AnnounceName(std::size_t face) override { log.Add("name", face); }
    void Focus(std::size_t face) override {
        log.Add("focus", face);
        if (focus == face) return;
        const bool fromFace = focus != kNone;
        focus = face;
        if (fromFace) grid->OnFocusLost(true);
        grid->OnFocusGained(face, fromFace, false);
    }
    void ShowFocusCues() override { log.Add("cues"); }
    bool ShowHint(std::size_t face) override {
        if (focus != face || minimised) {
            HideHint();
            return false;
        }
        log.Add("hint", face);
        return true;
    }
    void HideHint() override { log.Add("hide hint"); }
    void Send(std::size_t face) override { log.Add("send", face); }

    FaceGrid* grid = nullptr;
    ActionLog log;
    std::size_t focus = kNone;
    bool minimised = false;
};

enum class Event {
    kReset,
    kTabTo,      // Tab (or Shift+Tab) brings the focus to the face from elsewhere
    kFocusFrom,  // the focus comes to the face from elsewhere without Tab
    kLeave,      // the focus goes to a control that is no face
    kKey,        // a key on the focused face
    kHeldKey,    // the same key held down
    kMove,       // the window moves
    kMinimise,   // minimised: the window moves away, then is hidden
    kRestore,
    kMenu,  // a face's menu opens and closes
};

struct Row {
    Event event;
    std::size_t face;  // kTabTo, kFocusFrom
    FaceKey key;       // kKey, kHeldKey
    const char* actions;
};

void Play(std::initializer_list<Row> rows) {
    ScreenFaces screen;
    FaceGrid grid(screen);
    screen.grid = &grid;
    int n = 0;
    for (const Row& row : rows) {
        ++n;
        switch (row.event) {
            case Event::kReset:
                grid.Reset();
                break;
            case Event::kTabTo:
            case Event::kFocusFrom:
                screen.focus = row.face;
                grid.OnFocusGained(row.face, false, row.event == Event::kTabTo);
                break;
            case Event::kLeave:
                screen.focus = kNone;
                grid.OnFocusLost(false);
                break;
            case Event::kKey:
            case Event::kHeldKey:
                if (!grid.OnKey(screen.focus, row.key, row.event == Event::kHeldKey))
                    screen.log.Add("not taken");
                break;
            case Event::kMove:
                grid.OnMoved();
                break;
            case Event::kMinimise:
                screen.minimised = true;
                grid.OnMoved();
                grid.OnHidden();
                break;
            case Event::kRestore:
                screen.minimised = false;
                break;
            case Event::kMenu:
                grid.OnMenuOpening();
                screen.log.Add("menu");
                grid.OnMenuClosed();
                break;
        }
        EXPECT_EQ(screen.log.Take(), row.actions) << "row " << n;
    }
}

const FaceKey kLeft = FaceKey::kLeft, kRight = FaceKey::kRight, kUp = FaceKey::kUp,
              kDown = FaceKey::kDown, kSend = FaceKey::kSend, kOther = FaceKey::kOther;

}  // namespace

// The faces stand in a 4 by 4 grid, column by column: 0 1 2 3 on the left
// (from the top), then 5 4 6 7, 8 9 10 11, 12 13 14 15.
TEST(FaceGrid, ArrowsGoToTheNearestFaceInLineAndStopAtTheEdges) {
    const struct {
        std::size_t from;
        int dx, dy;
        std::size_t to;
    } rows[] = {
        {0, 0, -1, 0},  {0, -1, 0, 0},   {0, 1, 0, 5},    {0, 0, 1, 1},   {5, 0, 1, 4},
        {4, 0, -1, 5},  {4, 1, 0, 9},    {9, 1, 0, 13},   {13, 1, 0, 13}, {13, 0, 1, 14},
        {15, 0, 1, 15}, {15, -1, 0, 11}, {12, 0, -1, 12}, {3, -1, 0, 3},  {6, -1, 0, 2},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FaceGrid::Beside(row.from, row.dx, row.dy), row.to)
            << "from " << row.from << " by " << row.dx << "," << row.dy;
}

TEST(FaceGrid, CurrentFaceAndItsHint) {
    Play({
        // The first face is the faces' one Tab stop.
        {Event::kReset, 0, kOther, "stop 0"},
        // Tab brings the hint.
        {Event::kTabTo, 0, kOther, "hint 0"},
        // At an edge the arrow stays, with the hint.
        {Event::kKey, 0, kUp, "cues, focus 0, hint 0"},
        {Event::kKey, 0, kLeft, "cues, focus 0, hint 0"},
        // An arrow moves the focus, the Tab stop, the name and the hint.
        {Event::kKey, 0, kRight, "cues, focus 5, nostop 0, stop 5, name 5, hint 5"},
        {Event::kKey, 0, kDown, "cues, focus 4, nostop 5, stop 4, name 4, hint 4"},
        // Space and Enter send the face, once however long held.
        {Event::kKey, 0, kSend, "send 4"},
        {Event::kHeldKey, 0, kSend, ""},
        {Event::kKey, 0, kOther, "not taken"},
        // The hint follows the moving window, and leaves for a face's menu.
        {Event::kMove, 0, kOther, "hint 4"},
        {Event::kMenu, 0, kOther, "hide hint, menu, hint 4"},
        // Leaving the faces takes it away; coming back without Tab (the
        // window taking the focus back) does not bring it.
        {Event::kLeave, 0, kOther, "hide hint"},
        {Event::kMove, 0, kOther, ""},
        {Event::kMenu, 0, kOther, "hide hint, menu, hide hint"},
        {Event::kFocusFrom, 4, kOther, "hide hint"},
        {Event::kKey, 0, kRight, "cues, focus 9, nostop 4, stop 9, name 9, hint 9"},
        // Minimised or hidden, the window takes it away, even where the face
        // keeps the focus; restored, the focus alone does not bring it back.
        {Event::kMinimise, 0, kOther, "hide hint, hide hint"},
        {Event::kRestore, 0, kOther, ""},
        {Event::kMove, 0, kOther, ""},
        {Event::kFocusFrom, 9, kOther, "hide hint"},
        // Tab onto another face than the current one makes it current.
        {Event::kTabTo, 14, kOther, "nostop 9, stop 14, name 14, hint 14"},
    });
}
