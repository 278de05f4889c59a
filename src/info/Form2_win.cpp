#include "info/Form2_win.h"

#include "info/info_ids.h"
#include "info/info_win.h"

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
const win::ControlRow kRows[] = {
    {Form2_ids::kFrame1, "Frame1", Kind::Frame, L"Instructions", 120, 120, 3855, 1215, 0, 0},
    {Form2_ids::kText1, "Text1", Kind::MultiLineText, kInstructions, 120, 240, 3615, 855,
     Form2_ids::kFrame1, 0},
};

const win::ToolFormLook kLook = {
    Form2_ids::kClass, L"Help",       4050,  1470,
    CW_USEDEFAULT,     CW_USEDEFAULT, kRows, sizeof kRows / sizeof kRows[0],
    Form2_ids::kText1};

}  // namespace

Form2::Form2() : ToolForm(kLook) {}

void Form2::OnBuilt() { HookKeys(Control(Form2_ids::kText1)); }

// The window's whole content comes from its layout.
void Form2::Form_Load() {}

// A multi-line text box under dialog navigation closes its window on Esc; the
// close box is the only way this window closes.
bool Form2::TakesKey(HWND control, WPARAM vk) const { return vk == VK_ESCAPE; }

void ShowInstructions() {
    static Form2 form;
    form.Show();
}

}  // namespace info
