// An option group over a window's real option buttons: the portable rules of
// win::OptionGroup, and the few calls that carry them out.
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "win/option_group.h"

namespace win {

class OptionButtons : private OptionControls {
  public:
    // `chosen` hears of every choice the user makes (may be empty).
    OptionButtons(std::size_t count, OptionGroup::Arrows arrows,
                  std::function<void(std::size_t)> chosen)
        : group_(*this, count, arrows), chosen_(std::move(chosen)) {}

    // The window's options, built afresh, in the group's order; `chosen` is
    // drawn chosen and is the group's Tab stop.
    void Attach(HWND window, std::vector<HWND> buttons, std::size_t chosen);
    std::size_t chosen() const { return group_.chosen(); }

    // A click (BN_CLICKED) from `control`; false when it is none of the group's.
    bool OnClicked(HWND control);
    // Key `vk` pressed on `control`; true when the group took it.
    bool OnKey(HWND control, WPARAM vk);

  private:
    std::size_t IndexOf(HWND control) const;  // the count for none of the group's

    void SetCheck(std::size_t option, bool checked) override;
    void SetTabStop(std::size_t option, bool stop) override;
    void SetFocus(std::size_t option) override;
    void ShowFocusCues() override;
    void Chosen(std::size_t option) override;

    OptionGroup group_;
    const std::function<void(std::size_t)> chosen_;
    HWND window_ = nullptr;
    std::vector<HWND> buttons_;
};

}  // namespace win
