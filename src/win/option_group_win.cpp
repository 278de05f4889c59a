#include "win/option_group_win.h"

#include <utility>

#include "win/layout.h"
#include "win/text.h"

namespace win {

void OptionButtons::Attach(HWND window, std::vector<HWND> buttons, std::size_t chosen) {
    window_ = window;
    buttons_ = std::move(buttons);
    group_.Reset(chosen);
}

std::size_t OptionButtons::IndexOf(HWND control) const {
    std::size_t i = 0;
    while (i < buttons_.size() && (control == nullptr || buttons_[i] != control)) ++i;
    return i;
}

bool OptionButtons::OnClicked(HWND control) {
    const std::size_t option = IndexOf(control);
    if (option == buttons_.size()) return false;
    group_.OnClick(option, OptionTakingFocus(control));
    return true;
}

bool OptionButtons::OnKey(HWND control, WPARAM vk) {
    if (vk != VK_DOWN && vk != VK_RIGHT && vk != VK_UP && vk != VK_LEFT) return false;
    return group_.OnArrow(IndexOf(control), vk == VK_DOWN || vk == VK_RIGHT ? 1 : -1);
}

void OptionButtons::SetCheck(std::size_t option, bool checked) {
    SetChecked(buttons_[option], checked);
}
void OptionButtons::SetTabStop(std::size_t option, bool stop) {
    win::SetTabStop(buttons_[option], stop);
}
void OptionButtons::SetFocus(std::size_t option) { ::SetFocus(buttons_[option]); }
void OptionButtons::ShowFocusCues() { win::ShowFocusCues(window_); }
void OptionButtons::Chosen(std::size_t option) {
    if (chosen_) chosen_(option);
}

}  // namespace win
