#include "info/instructions_window_win.h"

#include "info/info_ids.h"

namespace info {

namespace {

// Every line ends with CR LF, the last one too, so the box has an empty sixth
// line the caret can reach.
const wchar_t kInstructions[] =
    L"- Just add the smilyer code Where Specified\r\n"
    L"- Then Save Your List\r\n"
    L"- Load Your List Uopn Use\r\n"
    L"- Chose Where you want to send\r\n"
    L"- Double click onthe list to send\r\n";

using win::Kind;
namespace ids = instructions_window_ids;
// clang-format off
const win::ControlRow kRows[] = {
    // id                       name     kind                 caption          left top  width height in                       extra
    {ids::kInstructionsFrame,   "Frame1", Kind::Frame,         L"Instructions", 120, 120, 3855, 1215, 0,                       0},
    {ids::kInstructionsBox,     "Text1",  Kind::MultiLineText, kInstructions,   120, 240, 3615, 855,  ids::kInstructionsFrame, 0},
};
// clang-format on

const win::WindowPlan kPlan = win::WindowPlan(ids::kClass, L"Help")
                                  .ClientSize(4050, 1470)
                                  .Controls(kRows)
                                  .FirstFocus(ids::kInstructionsBox);

}  // namespace

InstructionsWindow::InstructionsWindow() : LayoutWindow(kPlan) {}

// A multi-line text box under dialog navigation closes its window on Esc; the
// close box is the only way this window closes.
bool InstructionsWindow::OnKey(HWND control, WPARAM vk, bool repeat) {
    return vk == VK_ESCAPE && control == Control(instructions_window_ids::kInstructionsBox);
}

}  // namespace info
