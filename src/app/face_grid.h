// The smiley window's faces as the keyboard meets them: one stop of the Tab
// key (the current face), a grid the arrows move in by the faces' places on
// the screen, and a hint below the current face while the keyboard is on it.
// Portable rules; the window's side is the small interface below.
#pragma once
#include <cstddef>

namespace faces {

// What the grid does to the faces and their hint.
class FaceControls {
  public:
    virtual void SetTabStop(std::size_t face, bool stop) = 0;
    // A screen reader that follows the focused control's name says the face.
    virtual void AnnounceName(std::size_t face) = 0;
    virtual void Focus(std::size_t face) = 0;  // when it has not the focus already
    // The keyboard is in use: the focus rectangle shows even if the mouse hid it.
    virtual void ShowFocusCues() = 0;
    // Shows the hint below `face`; false (and no hint) where it cannot stand:
    // the face has not the focus, or the window is minimised.
    virtual bool ShowHint(std::size_t face) = 0;
    virtual void HideHint() = 0;
    virtual void Send(std::size_t face) = 0;  // as a click on it does

  protected:
    ~FaceControls() = default;
};

enum class FaceKey { kLeft, kRight, kUp, kDown, kSend, kOther };

class FaceGrid {
  public:
    explicit FaceGrid(FaceControls& controls) : controls_(controls) {}

    // The face next to `face` on the screen, `dx` or `dy` (one of them 0)
    // away: the nearest one in that direction on the same row or column;
    // `face` itself at an edge.
    static std::size_t Beside(std::size_t face, int dx, int dy);

    // The window's faces were built afresh: the first is the Tab stop.
    void Reset();
    std::size_t current() const { return current_; }

    // The focus came to `face`; `fromFace` when another face had it, `tab`
    // when the Tab key brought it.
    void OnFocusGained(std::size_t face, bool fromFace, bool tab);
    // The focus left the current face; `toFace` when another face takes it.
    void OnFocusLost(bool toFace);
    // A key on `face`; `repeat` for the presses of a key held down. True when
    // the grid took it.
    bool OnKey(std::size_t face, FaceKey key, bool repeat);
    // The keyboard comes to the current face with its hint, as with Tab.
    void FocusCurrent() { MoveTo(current_); }
    // The window moved: the hint follows its face.
    void OnMoved();
    // The window was minimised or hidden: the hint goes, even where the face
    // keeps the focus.
    void OnHidden() { ShowHint(false); }
    // A menu stands over the faces meanwhile: the hint goes until it closes.
    void OnMenuOpening();
    void OnMenuClosed();

  private:
    void MoveTo(std::size_t face);
    void ShowHint(bool shown);

    FaceControls& controls_;
    std::size_t current_ = 0;
    bool hinted_ = false;   // the hint stands below the current face
    bool menuHid_ = false;  // a menu took the hint away
};

}  // namespace faces
