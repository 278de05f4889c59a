#include "info/Form3_win.h"

#include <initializer_list>
#include <string>

#include "info/info_ids.h"
#include "info/info_win.h"
#include "info/url_win.h"

namespace info {

namespace {

// The links show exactly what they open (the e-mail link behind "mailto:").
const wchar_t kEmail[] = L"tarrow@pallimo.example";
const wchar_t kWebsite[] = L"http://pal.example/";

const COLORREF kLinkColour = RGB(0, 0, 192);

// Dark blue is unreadable on a High Contrast background: while High Contrast
// is on, the links take the system's hyperlink colour.
COLORREF LinkColour() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0)
        return GetSysColor(COLOR_HOTLIGHT);
    return kLinkColour;
}

using win::Kind;
constexpr int kPanel = Form3_ids::kPicture1;
const win::ControlRow kRows[] = {
    {Form3_ids::kPicture1, "Picture1", Kind::Panel, nullptr, 120, 120, 3495, 2535, 0, 0},
    {Form3_ids::kLabel1, "Label1", Kind::Label, L"Program Name: Pallimo", 120, 120, 2415, 255,
     kPanel, 0},
    {Form3_ids::kLabel2, "Label2", Kind::Label, L"Version: 1.5", 120, 360, 1935, 255, kPanel, 0},
    {Form3_ids::kLabel3, "Label3", Kind::Label, L"Coded By: Tarrow", 120, 600, 1575, 255, kPanel,
     0},
    {Form3_ids::kLine1, "Line1", Kind::Line, nullptr, 120, 1200, 3000, 0, kPanel, 0},
    {Form3_ids::kLabel5, "Label5", Kind::Label, L"Contact Info", 120, 1320, 2055, 255, kPanel, 0},
    {Form3_ids::kLabel6, "Label6", Kind::Label, L"E-mail - ", 120, 1560, 615, 255, kPanel, 0},
    {Form3_ids::kLabel7, "Label7", Kind::Label, kEmail, 960, 1560, 2295, 255, kPanel, 0},
    {Form3_ids::kLabel8, "Label8", Kind::Label, L"Website -", 120, 1800, 735, 255, kPanel, 0},
    {Form3_ids::kLabel9, "Label9", Kind::Label, kWebsite, 960, 1800, 1695, 255, kPanel, 0},
    {Form3_ids::kCommand1, "Command1", Kind::Button, L"OK", 960, 2160, 1215, 255, kPanel, 0},
};

// The client area stands at a fixed place near the screen's top-left corner.
const win::ToolFormLook kLook = {
    Form3_ids::kClass,   L"About", 3720, 2820, 45, 315, kRows, sizeof kRows / sizeof kRows[0],
    Form3_ids::kPicture1};

}  // namespace

Form3::Form3() : ToolForm(kLook) {}

Form3::~Form3() {
    if (exists()) DestroyWindow(hwnd_);
}

void Form3::OnBuilt() {
    linkFont_ = win::CreatePointFont(L"Tahoma", 825, dpi(), true);
    for (int id : {Form3_ids::kLabel7, Form3_ids::kLabel9})
        SendMessageW(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
    HookKeys(Control(Form3_ids::kCommand1));
}

// The window's whole content comes from its layout.
void Form3::Form_Load() {}

void Form3::Command1_Click() { DestroyWindow(hwnd_); }

void Form3::Label7_Click() { url::OpenLink(std::wstring(L"mailto:") + kEmail); }

void Form3::Label9_Click() { url::OpenLink(kWebsite); }

void Form3::OnCommand(int id, int code, HWND control) {
    HWND ok = Control(Form3_ids::kCommand1);
    // "OK" is neither the default nor the cancel button: Enter presses it only
    // while it has the focus, and Esc does nothing.
    if (id == IDOK && control == nullptr) {
        if (GetFocus() == ok) Command1_Click();
        return;
    }
    if (control == nullptr || control != Control(id)) return;
    if (id == Form3_ids::kCommand1 && code == BN_CLICKED)
        Command1_Click();
    else if (id == Form3_ids::kLabel7 && code == STN_CLICKED)
        Label7_Click();
    else if (id == Form3_ids::kLabel9 && code == STN_CLICKED)
        Label9_Click();
}

HBRUSH Form3::OnCtlColorStatic(HDC dc, HWND control) {
    const bool link =
        control == Control(Form3_ids::kLabel7) || control == Control(Form3_ids::kLabel9);
    SetTextColor(dc, link ? LinkColour() : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

// The links' colour follows High Contrast as it is switched on or off.
LRESULT Form3::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOLORCHANGE || (msg == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST))
        for (int id : {Form3_ids::kLabel7, Form3_ids::kLabel9})
            if (HWND link = Control(id)) InvalidateRect(link, nullptr, TRUE);
    return ToolForm::HandleMessage(msg, wParam, lParam);
}

// Tab order runs Picture1, "OK", Picture1: the dialog navigation would go
// into the panel but never back out of it.
bool Form3::TakesKey(HWND control, WPARAM vk) const { return vk == VK_TAB; }

void Form3::OnKey(HWND control, WPARAM vk) { SetFocus(Control(Form3_ids::kPicture1)); }

void Form3::OnDestroyed() {
    ToolForm::OnDestroyed();
    linkFont_.reset();
}

void ShowAbout() {
    static Form3 form;
    form.Show();
}

}  // namespace info
