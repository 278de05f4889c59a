#include "info/about_window_win.h"

#include <initializer_list>
#include <string>

#include "info/info_ids.h"
#include "info/links_win.h"

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
namespace ids = about_window_ids;
constexpr int kPanel = ids::kPanel;
// clang-format off
const win::ControlRow kRows[] = {
    // id                 name        kind          caption                    left top   width height in      extra
    {ids::kPanel,         "Picture1", Kind::Panel,  nullptr,                   120, 120,  3495, 2535, 0,      0},
    {ids::kNameLabel,     "Label1",   Kind::Label,  L"Program Name: Pallimo",  120, 120,  2415, 255,  kPanel, 0},
    {ids::kVersionLabel,  "Label2",   Kind::Label,  L"Version: 1.5",           120, 360,  1935, 255,  kPanel, 0},
    {ids::kAuthorLabel,   "Label3",   Kind::Label,  L"Coded By: Tarrow",       120, 600,  1575, 255,  kPanel, 0},
    {ids::kRule,          "Line1",    Kind::Line,   nullptr,                   120, 1200, 3000, 0,    kPanel, 0},
    {ids::kContactLabel,  "Label5",   Kind::Label,  L"Contact Info",           120, 1320, 2055, 255,  kPanel, 0},
    {ids::kEmailLabel,    "Label6",   Kind::Label,  L"E-mail - ",              120, 1560, 615,  255,  kPanel, 0},
    {ids::kEmailLink,     "Label7",   Kind::Label,  kEmail,                    960, 1560, 2295, 255,  kPanel, 0},
    {ids::kWebsiteLabel,  "Label8",   Kind::Label,  L"Website -",              120, 1800, 735,  255,  kPanel, 0},
    {ids::kWebsiteLink,   "Label9",   Kind::Label,  kWebsite,                  960, 1800, 1695, 255,  kPanel, 0},
    {ids::kOkButton,      "Command1", Kind::Button, L"OK",                     960, 2160, 1215, 255,  kPanel, 0},
};
// clang-format on

using Window = AboutWindow;
const win::CommandRow kCommands[] = {
    {ids::kOkButton, BN_CLICKED, win::Handler(&Window::OnOk)},
    {ids::kEmailLink, STN_CLICKED, win::Handler(&Window::OnEmailLink)},
    {ids::kWebsiteLink, STN_CLICKED, win::Handler(&Window::OnWebsiteLink)},
};

// The client area stands at a fixed place near the screen's top-left corner.
const win::WindowPlan kPlan = win::WindowPlan(ids::kClass, L"About")
                                  .ClientSize(3720, 2820)
                                  .ClientPlace(45, 315)
                                  .Controls(kRows)
                                  .Commands(kCommands)
                                  .FirstFocus(ids::kPanel);

}  // namespace

AboutWindow::AboutWindow() : LayoutWindow(kPlan) {}

void AboutWindow::OnCreate() {
    linkFont_ = win::CreatePointFont(L"Tahoma", 825, dpi(), true);
    for (int id : {about_window_ids::kEmailLink, about_window_ids::kWebsiteLink})
        SendMessageW(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
}

// "OK" is neither the default nor the cancel button: Enter presses it only
// while it has the focus, and Esc does nothing.
void AboutWindow::OnOk() { DestroyWindow(hwnd_); }

void AboutWindow::OnEmailLink() { links::OpenLink(std::wstring(L"mailto:") + kEmail); }

void AboutWindow::OnWebsiteLink() { links::OpenLink(kWebsite); }

HBRUSH AboutWindow::OnCtlColorStatic(HDC dc, HWND control) {
    const bool link = control == Control(about_window_ids::kEmailLink) ||
                      control == Control(about_window_ids::kWebsiteLink);
    SetTextColor(dc, link ? LinkColour() : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

// The links' colour follows High Contrast as it is switched on or off.
LRESULT AboutWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOLORCHANGE || (msg == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST))
        for (int id : {about_window_ids::kEmailLink, about_window_ids::kWebsiteLink})
            if (HWND link = Control(id)) InvalidateRect(link, nullptr, TRUE);
    return LayoutWindow::HandleMessage(msg, wParam, lParam);
}

// Tab order runs the panel, "OK", the panel: the dialog navigation would go
// into the panel but never back out of it.
bool AboutWindow::OnKey(HWND control, WPARAM vk, bool repeat) {
    if (vk != VK_TAB || control != Control(about_window_ids::kOkButton)) return false;
    if (!repeat) SetFocus(Control(about_window_ids::kPanel));
    return true;
}

void AboutWindow::OnDestroyed() {
    LayoutWindow::OnDestroyed();
    linkFont_.reset();
}

}  // namespace info
