// Every control of the four windows stands at its layout rectangle, converted
// from twips at the screen's DPI (the test runs at 96, 120 and 144 DPI), and
// every window fits on the screen.
#include <windows.h>

#include <string>

#include "forms_util.h"
#include "harness.h"

namespace {

int g_dpi = 96;

int Px(int twips) { return MulDiv(twips, g_dpi, 1440); }

// A one-line label or an option button whose caption is wider than its row
// at this DPI is as wide as its caption, in the windows' font (Tahoma 8.25
// points): the width it needs to show its caption whole, and not a pixel
// more. An option's caption is its circle (12 pixels at 96 DPI, scaled, and
// one), a gap of half a "0" and its text with a pixel either side, as the
// button control lays it out (BCM_GETIDEALSIZE). At 96 DPI every label's
// text fits its row.
int CaptionWidth(HWND c, int rowWidth) {
    // The kind of control, as a screen reader sees it: Windows reports the
    // program's options, a class built on the button, as buttons; Wine gives
    // their own class name.
    wchar_t cls[16] = {};
    RealGetWindowClassW(c, cls, 16);
    if (lstrcmpiW(cls, L"PallimoOption") == 0) lstrcpynW(cls, L"Button", 16);
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    const bool label = lstrcmpiW(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP;
    const LONG type = style & BS_TYPEMASK;
    const bool option =
        lstrcmpiW(cls, L"Button") == 0 && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON ||
                                           type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
    if (!label && !option) return rowWidth;
    std::wstring text = e2e::TextOf(c);
    // Trailing blanks show nothing and need no room.
    while (!text.empty() && text.back() == L' ') text.pop_back();
    const int width = forms::TextWidth(text), zero = forms::TextWidth(L"0");
    const int need = option ? 12 * g_dpi / 96 + 1 + zero / 2 + width + 2 : width;
    if (need > rowWidth)
        e2e::Trace("\"%s\" needs %d px, its row gives %d",
                   std::string(text.begin(), text.end()).c_str(), need, rowWidth);
    if (label)
        ok(g_dpi != 96 || need <= rowWidth, "at 96 DPI \"%s\" fits its row",
           std::string(text.begin(), text.end()).c_str());
    return need > rowWidth ? need : rowWidth;
}

// Compares each control's rectangle in the client coordinates of its window
// or of the panel it stands in, and its caption.
void CheckControls(const forms::Form& form, HWND top) {
    HWND panel = form.panel != 0 ? e2e::Child(top, form.panel) : nullptr;
    for (const forms::Control& r : form.controls) {
        HWND c = e2e::Child(top, r.id);
        if (!ok(c != nullptr, "%s.%s exists", form.name, r.name)) continue;
        HWND container = panel != nullptr && c != panel ? panel : top;
        if (container == panel)
            ok(GetParent(c) == panel, "%s.%s stands in the panel", form.name, r.name);
        const RECT got = e2e::ClientRectIn(c, container);
        const RECT want = {Px(r.left), Px(r.top), Px(r.left) + CaptionWidth(c, Px(r.width)),
                           Px(r.top) + (r.height == 0 ? 1 : Px(r.height))};
        ok(EqualRect(&got, &want) != 0,
           "%s.%s at %d DPI: (%ld,%ld)-(%ld,%ld), want (%ld,%ld)-(%ld,%ld)", form.name, r.name,
           g_dpi, got.left, got.top, got.right, got.bottom, want.left, want.top, want.right,
           want.bottom);
        if (r.caption != nullptr)
            ok(e2e::TextOf(c) == r.caption, "%s.%s reads \"%s\" (got \"%s\")", form.name, r.name,
               e2e::AnsiBytes(r.caption).c_str(), e2e::AnsiBytes(e2e::TextOf(c)).c_str());
    }
}

// The client area's size, and that the whole window is on the screen. A
// window placed by the layout stands at its scaled place unless that would
// put part of it off the screen.
void CheckWindow(const forms::Form& form, HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    ok(client.right == Px(form.width) && client.bottom == Px(form.height),
       "%s client %ldx%ld at %d DPI, want %dx%d", form.name, client.right, client.bottom, g_dpi,
       Px(form.width), Px(form.height));
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT outer = e2e::ScreenRect(hwnd);
    ok(outer.left >= work.left && outer.top >= work.top && outer.right <= work.right &&
           outer.bottom <= work.bottom,
       "%s (%ld,%ld)-(%ld,%ld) lies within the work area", form.name, outer.left, outer.top,
       outer.right, outer.bottom);
    if (!form.placed) return;
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    const bool fits = outer.right - origin.x + Px(form.left) <= work.right &&
                      outer.bottom - origin.y + Px(form.top) <= work.bottom;
    if (fits)
        ok(origin.x == Px(form.left) && origin.y == Px(form.top),
           "%s client origin (%ld,%ld), want (%d,%d)", form.name, origin.x, origin.y, Px(form.left),
           Px(form.top));
    else
        ok(outer.right == work.right || outer.bottom == work.bottom,
           "%s moved just enough to stay on the screen", form.name);
}

}  // namespace

int main() {
    g_dpi = forms::ScreenDpi();
    e2e::Trace("screen at %d DPI", g_dpi);
    forms::VisitAll([](const forms::Form& form, HWND hwnd, DWORD) {
        CheckControls(form, hwnd);
        CheckWindow(form, hwnd);
    });
    return e2e::Finish();
}
