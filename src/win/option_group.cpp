#include "win/option_group.h"

namespace win {

void OptionGroup::Reset(std::size_t option) {
    for (std::size_t i = 0; i < count_; ++i) {
        controls_.SetCheck(i, i == option);
        controls_.SetTabStop(i, i == option);
    }
    chosen_ = option;
}

// A group that steps by itself has chosen the option before giving it the
// focus: a click that comes with the focus chooses nothing (an option can get
// the focus without a step, when the window takes the focus back).
void OptionGroup::OnClick(std::size_t option, bool takingFocus) {
    if (option >= count_ || (takingFocus && arrows_ == Arrows::kOwn)) return;
    Choose(option);
}

// The next or the previous option, round from the last to the first, is
// chosen before it has the focus, so that it reports no click for it.
bool OptionGroup::OnArrow(std::size_t option, int step) {
    if (arrows_ != Arrows::kOwn || option >= count_) return false;
    const std::size_t next = step > 0 ? (option + 1) % count_ : (option + count_ - 1) % count_;
    Choose(next);
    controls_.SetFocus(next);
    controls_.ShowFocusCues();
    return true;
}

void OptionGroup::Choose(std::size_t option) {
    if (option != chosen_) {
        controls_.SetCheck(chosen_, false);
        controls_.SetTabStop(chosen_, false);
        controls_.SetCheck(option, true);
        controls_.SetTabStop(option, true);
        chosen_ = option;
    }
    controls_.Chosen(option);
}

}  // namespace win
