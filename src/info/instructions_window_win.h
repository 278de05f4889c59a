// The Instructions window: five lines of usage notes for the custom codes
// window, in a text box the user may scroll, select, copy and even edit.
// Modeless and without an owner, it outlives the window that asked for it.
#pragma once
#include "win/layout_window.h"

namespace info {

class InstructionsWindow : public win::LayoutWindow {
  public:
    InstructionsWindow();

  private:
    bool OnKey(HWND control, WPARAM vk, bool repeat) override;
};

}  // namespace info
