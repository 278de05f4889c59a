// Every control of the four windows stands at its layout rectangle, converted
// from twips at the screen's DPI (the test runs at 96, 120 and 144 DPI), and
// every window fits on the screen.
#include <windows.h>

#include <string>

#include "app/catalogue.h"
#include "app/smiley_window_ids.h"
#include "custom/custom_codes_window_ids.h"
#include "harness.h"
#include "info/info_ids.h"
#include "support.h"

namespace {

struct Row {
    int id;
    const char* name;
    int left, top, width, height;  // twips, within the client area of the window or the panel
    const wchar_t* caption;        // null: not compared
};

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
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(825, g_dpi, 7200);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    std::wstring text = e2e::TextOf(c);
    // Trailing blanks show nothing and need no room.
    while (!text.empty() && text.back() == L' ') text.pop_back();
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    int zero = 0;
    GetCharWidth32W(dc, L'0', L'0', &zero);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    const int need = option ? 12 * g_dpi / 96 + 1 + zero / 2 + size.cx + 2 : size.cx;
    if (need > rowWidth)
        e2e::Trace("\"%s\" needs %d px, its row gives %d",
                   std::string(text.begin(), text.end()).c_str(), need, rowWidth);
    if (label)
        ok(g_dpi != 96 || need <= rowWidth, "at 96 DPI \"%s\" fits its row",
           std::string(text.begin(), text.end()).c_str());
    return need > rowWidth ? need : rowWidth;
}

// Compares each row's rectangle in `container`'s client coordinates.
void CheckRows(const char* window, HWND top, HWND container, const Row* rows, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const Row& r = rows[i];
        HWND c = e2e::Child(top, r.id);
        if (!ok(c != nullptr, "%s.%s exists", window, r.name)) continue;
        const RECT got = e2e::ClientRectIn(c, container);
        const RECT want = {Px(r.left), Px(r.top), Px(r.left) + CaptionWidth(c, Px(r.width)),
                           Px(r.top) + (r.height == 0 ? 1 : Px(r.height))};
        ok(EqualRect(&got, &want) != 0,
           "%s.%s at %d DPI: (%ld,%ld)-(%ld,%ld), want (%ld,%ld)-(%ld,%ld)", window, r.name, g_dpi,
           got.left, got.top, got.right, got.bottom, want.left, want.top, want.right, want.bottom);
        if (r.caption != nullptr) ok(e2e::TextOf(c) == r.caption, "%s.%s caption", window, r.name);
    }
}

// The client area's size, and that the whole window is on the screen.
void CheckWindow(const char* window, HWND hwnd, int clientWidth, int clientHeight) {
    RECT client;
    GetClientRect(hwnd, &client);
    ok(client.right == Px(clientWidth) && client.bottom == Px(clientHeight),
       "%s client %ldx%ld at %d DPI, want %dx%d", window, client.right, client.bottom, g_dpi,
       Px(clientWidth), Px(clientHeight));
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT outer = e2e::ScreenRect(hwnd);
    ok(outer.left >= work.left && outer.top >= work.top && outer.right <= work.right &&
           outer.bottom <= work.bottom,
       "%s (%ld,%ld)-(%ld,%ld) lies within the work area", window, outer.left, outer.top,
       outer.right, outer.bottom);
}

// A window placed by the layout stands at its scaled place unless that would
// put part of it off the screen.
void CheckPlacedAt(const char* window, HWND hwnd, int leftTwips, int topTwips) {
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT outer = e2e::ScreenRect(hwnd);
    const bool fits = outer.right - origin.x + Px(leftTwips) <= work.right &&
                      outer.bottom - origin.y + Px(topTwips) <= work.bottom;
    if (fits)
        ok(origin.x == Px(leftTwips) && origin.y == Px(topTwips),
           "%s client origin (%ld,%ld), want (%d,%d)", window, origin.x, origin.y, Px(leftTwips),
           Px(topTwips));
    else
        ok(outer.right == work.right || outer.bottom == work.bottom,
           "%s moved just enough to stay on the screen", window);
}

void CheckSmileyWindow(HWND main) {
    static const int kGridLeft[4] = {120, 600, 1080, 1560};
    static const int kGridTop[4] = {120, 480, 840, 1200};
    // Image n stands at column/row: the grid as the window shows it.
    static const int kImageAt[16][2] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 1}, {1, 0},
                                        {1, 2}, {1, 3}, {2, 0}, {2, 1}, {2, 2}, {2, 3},
                                        {3, 0}, {3, 1}, {3, 2}, {3, 3}};
    // Styles column by column: Top, Width, Height for each of the seven rows.
    static const int kStyleLeft[5] = {2160, 3240, 4320, 5520, 6480};
    static const int kStyle[35][3] = {
        {240, 975, 255},   {480, 615, 375},   {840, 975, 255},   {1080, 855, 255},
        {1320, 1095, 255}, {1560, 1095, 255}, {1800, 975, 255},  // Blue .. RainBow
        {240, 855, 255},   {480, 975, 255},   {720, 975, 255},   {960, 975, 195},
        {1200, 615, 255},  {1440, 735, 255},  {1680, 1215, 255},  // Blue2 .. X-masTree
        {240, 735, 255},   {480, 975, 255},   {720, 735, 255},   {960, 855, 255},
        {1200, 855, 255},  {1440, 975, 255},  {1680, 735, 255},  // Egg .. Hand
        {240, 735, 195},   {480, 735, 255},   {720, 735, 255},   {960, 855, 255},
        {1200, 735, 255},  {1440, 735, 255},  {1680, 735, 255},  // Heart .. Dice
        {240, 975, 255},   {480, 1095, 255},  {720, 1095, 255},  {960, 1095, 255},
        {1200, 1095, 255}, {1440, 1095, 255}, {1680, 1215, 255},  // Cow .. Panda
    };
    Row rows[16 + 35 + 5];
    std::size_t n = 0;
    for (int i = 0; i < 16; ++i)
        rows[n++] = {smiley_window_ids::kFirstFace + i,
                     catalogue::kFaces[i].control,
                     kGridLeft[kImageAt[i][0]],
                     kGridTop[kImageAt[i][1]],
                     285,
                     285,
                     nullptr};
    for (int i = 0; i < 35; ++i)
        rows[n++] = {smiley_window_ids::kFirstStyle + i,
                     catalogue::kStyles[i].control,
                     kStyleLeft[i / 7],
                     kStyle[i][0],
                     kStyle[i][1],
                     kStyle[i][2],
                     catalogue::kStyles[i].caption};
    rows[n++] = {smiley_window_ids::kExtraButton, "Command2", 120, 1680, 855, 375, L"Extra"};
    rows[n++] = {smiley_window_ids::kMoreButton, "Command1", 1080, 3360, 855, 375, L"More"};
    rows[n++] = {smiley_window_ids::kSendButton, "Command3", 3360, 3360, 1455, 495, L"Command3"};
    rows[n++] = {smiley_window_ids::kCodeBox, "Text1", 5520, 3240, 2055, 285, nullptr};
    rows[n++] = {smiley_window_ids::kTagTailBox, "Text2", 5520, 3240, 2055, 285, L""};
    CheckRows("frmMain", main, main, rows, n);
    CheckWindow("frmMain", main, 7605, 2175);
    CheckPlacedAt("frmMain", main, 3930, 4110);
}

void CheckCustomWindow(HWND form4) {
    static const Row rows[] = {
        {custom_codes_window_ids::kListFrame, "Frame1", 120, 120, 3015, 2175,
         L"Double Click To Send"},
        {custom_codes_window_ids::kCodeList, "List1", 240, 360, 2775, 1815, nullptr},
        {custom_codes_window_ids::kAddButton, "Command1", 120, 2640, 735, 255, L"Add"},
        {custom_codes_window_ids::kClearButton, "Command2", 840, 2640, 735, 255, L"Clear"},
        {custom_codes_window_ids::kLoadButton, "Command3", 2280, 2640, 735, 255, L"Load"},
        {custom_codes_window_ids::kCodeBox, "Text1", 120, 3000, 3015, 285,
         L"Enter Smiley Code Here"},
        {custom_codes_window_ids::kFileNameBox, "Text2", 120, 3480, 975, 285, L"App.Path"},
        {custom_codes_window_ids::kSaveButton, "Command4", 1560, 2640, 735, 255, L"Save"},
        {custom_codes_window_ids::kSendImOption, "op1", 240, 2400, 1095, 195, L"Send IM"},
        {custom_codes_window_ids::kSendChatOption, "Option1", 1920, 2400, 1215, 195, L"Send Chat"},
    };
    CheckRows("Form4", form4, form4, rows, sizeof rows / sizeof rows[0]);
    CheckWindow("Form4", form4, 3315, 3360);
}

void CheckHelpWindow(HWND form2) {
    static const Row rows[] = {
        {instructions_window_ids::kInstructionsFrame, "Frame1", 120, 120, 3855, 1215,
         L"Instructions"},
        {instructions_window_ids::kInstructionsBox, "Text1", 240, 360, 3615, 855, nullptr},
    };
    CheckRows("Form2", form2, form2, rows, sizeof rows / sizeof rows[0]);
    CheckWindow("Form2", form2, 4050, 1470);
}

void CheckAboutWindow(HWND form3) {
    static const Row panel[] = {
        {about_window_ids::kPanel, "Picture1", 120, 120, 3495, 2535, nullptr}};
    CheckRows("Form3", form3, form3, panel, 1);
    static const Row rows[] = {
        {about_window_ids::kNameLabel, "Label1", 120, 120, 2415, 255, L"Program Name: Pallimo"},
        {about_window_ids::kVersionLabel, "Label2", 120, 360, 1935, 255, L"Version: 1.5"},
        {about_window_ids::kAuthorLabel, "Label3", 120, 600, 1575, 255, L"Coded By: Tarrow"},
        {about_window_ids::kRule, "Line1", 120, 1200, 3000, 0, nullptr},
        {about_window_ids::kContactLabel, "Label5", 120, 1320, 2055, 255, L"Contact Info"},
        {about_window_ids::kEmailLabel, "Label6", 120, 1560, 615, 255, L"E-mail - "},
        {about_window_ids::kEmailLink, "Label7", 960, 1560, 2295, 255, nullptr},
        {about_window_ids::kWebsiteLabel, "Label8", 120, 1800, 735, 255, L"Website -"},
        {about_window_ids::kWebsiteLink, "Label9", 960, 1800, 1695, 255, nullptr},
        {about_window_ids::kOkButton, "Command1", 960, 2160, 1215, 255, L"OK"},
    };
    // Everything else stands inside the panel and is measured from its client area.
    CheckRows("Form3", form3, e2e::Child(form3, about_window_ids::kPanel), rows,
              sizeof rows / sizeof rows[0]);
    CheckWindow("Form3", form3, 3720, 2820);
    CheckPlacedAt("Form3", form3, 45, 315);
}

}  // namespace

int main() {
    HDC screen = GetDC(nullptr);
    g_dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    e2e::Trace("screen at %d DPI", g_dpi);

    e2e::Process pallimo;
    HWND main = e2e::StartPallimo(pallimo).main;
    ok(pallimo.Id() != 0, "Pallimo starts");
    if (!ok(main != nullptr, "the smiley window shows")) return e2e::Finish();
    CheckSmileyWindow(main);

    HWND form4 = e2e::OpenCustomCodes(main, pallimo.Id());
    if (ok(form4 != nullptr, "\"Extra\" opens the custom codes window")) {
        CheckCustomWindow(form4);
        PostMessageW(form4, WM_COMMAND, custom_codes_window_ids::kHelpInstructionsItem, 0);
        HWND form2 =
            e2e::WaitForWindow(instructions_window_ids::kClass, L"Help", pallimo.Id(), 5000);
        if (ok(form2 != nullptr, "Help > Instructions opens the Instructions window"))
            CheckHelpWindow(form2);
        PostMessageW(form4, WM_COMMAND, custom_codes_window_ids::kHelpAboutItem, 0);
        HWND form3 = e2e::WaitForWindow(about_window_ids::kClass, L"About", pallimo.Id(), 5000);
        if (ok(form3 != nullptr, "Help > About opens the About window")) CheckAboutWindow(form3);
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    ok(pallimo.Wait(10000), "closing the smiley window ends the program");
    return e2e::Finish();
}
