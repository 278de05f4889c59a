// The rules of a group of options (radio buttons) as a dialog keeps them:
// one is chosen and drawn checked, and it alone is a stop of the Tab key, so
// tabbing through the window passes the group once and chooses nothing.
// Portable: the window's side of it is the small interface below.
#pragma once
#include <cstddef>

namespace win {

// What the group does to its options and its window.
class OptionControls {
  public:
    virtual void SetCheck(std::size_t option, bool checked) = 0;
    virtual void SetTabStop(std::size_t option, bool stop) = 0;
    virtual void SetFocus(std::size_t option) = 0;
    // The keyboard is in use: the focus rectangle shows even if the mouse hid it.
    virtual void ShowFocusCues() = 0;
    // The user chose `option` (again, perhaps): the window acts on it.
    virtual void Chosen(std::size_t option) = 0;

  protected:
    ~OptionControls() = default;
};

class OptionGroup {
  public:
    // Who moves among the options with the arrow keys: the group itself, or
    // the dialog manager. The dialog manager only moves the focus; Windows
    // then reports a click on the unchecked option that got it, and that
    // click chooses it (Wine reports none: there the arrows choose nothing).
    enum class Arrows { kOwn, kDialogManager };

    OptionGroup(OptionControls& controls, std::size_t count, Arrows arrows)
        : controls_(controls), count_(count), arrows_(arrows) {}

    // Marks `option` chosen and every other one not, as a new window shows them.
    void Reset(std::size_t option);
    std::size_t chosen() const { return chosen_; }

    // A click on `option`; `takingFocus` when Windows reports it because the
    // unchecked option is getting the focus.
    void OnClick(std::size_t option, bool takingFocus);
    // An arrow key on `option`: `step` +1 (down, right) or -1 (up, left).
    // True when the group took the key.
    bool OnArrow(std::size_t option, int step);

  private:
    void Choose(std::size_t option);

    OptionControls& controls_;
    const std::size_t count_;
    const Arrows arrows_;
    std::size_t chosen_ = 0;
};

}  // namespace win
