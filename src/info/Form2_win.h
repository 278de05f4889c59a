// The Instructions window: five lines of usage notes for the custom codes
// window, in a text box the user may scroll, select, copy and even edit.
#pragma once
#include "win/tool_form.h"

namespace info {

class Form2 : public win::ToolForm {
public:
    Form2();

private:
    void OnBuilt() override;
    void Form_Load() override;
    bool TakesKey(HWND control, WPARAM vk) const override;
};

}  // namespace info
