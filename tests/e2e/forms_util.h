// The four windows as the tests expect them, in one table: each window's
// class, caption and client area, and each control's id, name, rectangle in
// twips, caption and how that caption shows. The layout test measures every
// control by it, the DPI test finds the captions on the screen by it, and the
// Instructions and About test names the windows by it.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/smiley_window_ids.h"
#include "custom/custom_codes_window_ids.h"
#include "harness.h"
#include "info/info_ids.h"
#include "support.h"

namespace forms {

// The About window's links are dark blue (and underlined).
const COLORREF kLinkColour = RGB(0, 0, 192);

// How a control's caption shows on the screen.
enum Ink {
    kUnseen,    // not looked for: outside the client area, or looked at on its own
    kCaption,   // button text on the button face
    kBoxText,   // window text in a text box, spaced by the box's own rounding
    kLinkText,  // a link: kLinkColour on the button face, underlined
};

struct Control {
    int id;
    const char* name;              // its name on its window ("Command1")
    int left, top, width, height;  // twips, in the client area of its window or its panel
    const wchar_t* caption;        // null: not compared
    Ink ink;
};

struct Form {
    const char* name;  // "Form4"
    const wchar_t* cls;
    const wchar_t* caption;
    int helpItem;       // the custom codes window's Help item that shows it (0: none)
    int width, height;  // of the client area, in twips
    bool placed;        // its client area stands at (left, top) unless that leaves the screen
    int left, top;      // twips
    int panel;          // the panel every other control stands in (0: none)
    std::vector<Control> controls;
};

namespace sids = smiley_window_ids;
namespace cids = custom_codes_window_ids;
namespace iids = instructions_window_ids;
namespace aids = about_window_ids;

inline std::vector<Control> SmileyControls() {
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
    std::vector<Control> out;
    for (int i = 0; i < 16; ++i)
        out.push_back({sids::kFirstFace + i, catalogue::kFaces[i].control,
                       kGridLeft[kImageAt[i][0]], kGridTop[kImageAt[i][1]], 285, 285, nullptr,
                       kUnseen});
    for (int i = 0; i < 35; ++i)
        out.push_back({sids::kFirstStyle + i, catalogue::kStyles[i].control, kStyleLeft[i / 7],
                       kStyle[i][0], kStyle[i][1], kStyle[i][2], catalogue::kStyles[i].caption,
                       kCaption});
    out.insert(out.end(),
               {
                   {sids::kExtraButton, "Command2", 120, 1680, 855, 375, L"Extra", kCaption},
                   // The rest stand under the client area's bottom edge.
                   {sids::kMoreButton, "Command1", 1080, 3360, 855, 375, L"More", kUnseen},
                   {sids::kSendButton, "Command3", 3360, 3360, 1455, 495, L"Command3", kUnseen},
                   {sids::kCodeBox, "Text1", 5520, 3240, 2055, 285, nullptr, kUnseen},
                   {sids::kTagTailBox, "Text2", 5520, 3240, 2055, 285, L"", kUnseen},
               });
    return out;
}

inline const std::vector<Control> kCustomControls = {
    {cids::kListFrame, "Frame1", 120, 120, 3015, 2175, L"Double Click To Send", kCaption},
    // Its font is its own, and it shows an item only once one is added.
    {cids::kCodeList, "List1", 240, 360, 2775, 1815, nullptr, kUnseen},
    {cids::kAddButton, "Command1", 120, 2640, 735, 255, L"Add", kCaption},
    {cids::kClearButton, "Command2", 840, 2640, 735, 255, L"Clear", kCaption},
    {cids::kLoadButton, "Command3", 2280, 2640, 735, 255, L"Load", kCaption},
    {cids::kCodeBox, "Text1", 120, 3000, 3015, 285, L"Enter Smiley Code Here", kBoxText},
    {cids::kFileNameBox, "Text2", 120, 3480, 975, 285, L"App.Path", kUnseen},  // under the edge
    {cids::kSaveButton, "Command4", 1560, 2640, 735, 255, L"Save", kCaption},
    {cids::kSendImOption, "op1", 240, 2400, 1095, 195, L"Send IM", kCaption},
    {cids::kSendChatOption, "Option1", 1920, 2400, 1215, 195, L"Send Chat", kCaption},
};

inline const std::vector<Control> kInstructionsControls = {
    {iids::kInstructionsFrame, "Frame1", 120, 120, 3855, 1215, L"Instructions", kCaption},
    // Its text is longer than it shows.
    {iids::kInstructionsBox, "Text1", 240, 360, 3615, 855, nullptr, kUnseen},
};

inline const std::vector<Control> kAboutControls = {
    {aids::kPanel, "Picture1", 120, 120, 3495, 2535, nullptr, kUnseen},
    {aids::kNameLabel, "Label1", 120, 120, 2415, 255, L"Program Name: Pallimo", kCaption},
    {aids::kVersionLabel, "Label2", 120, 360, 1935, 255, L"Version: 1.5", kCaption},
    {aids::kAuthorLabel, "Label3", 120, 600, 1575, 255, L"Coded By: Tarrow", kCaption},
    {aids::kRule, "Line1", 120, 1200, 3000, 0, nullptr, kUnseen},
    {aids::kContactLabel, "Label5", 120, 1320, 2055, 255, L"Contact Info", kCaption},
    {aids::kEmailLabel, "Label6", 120, 1560, 615, 255, L"E-mail - ", kCaption},
    {aids::kEmailLink, "Label7", 960, 1560, 2295, 255, nullptr, kLinkText},
    {aids::kWebsiteLabel, "Label8", 120, 1800, 735, 255, L"Website -", kCaption},
    {aids::kWebsiteLink, "Label9", 960, 1800, 1695, 255, nullptr, kLinkText},
    {aids::kOkButton, "Command1", 960, 2160, 1215, 255, L"OK", kCaption},
};

enum Which { kSmileys, kCustom, kInstructions, kAbout };

// The four windows, in the order a user opens them.
inline const Form& Get(Which which) {
    static const Form kForms[] = {
        {"frmMain", sids::kClass, L"Smileys", 0, 7605, 2175, true, 3930, 4110, 0, SmileyControls()},
        {"Form4", cids::kClass, L"Custom", 0, 3315, 3360, false, 0, 0, 0, kCustomControls},
        {"Form2", iids::kClass, L"Help", cids::kHelpInstructionsItem, 4050, 1470, false, 0, 0, 0,
         kInstructionsControls},
        {"Form3", aids::kClass, L"About", cids::kHelpAboutItem, 3720, 2820, true, 45, 315,
         aids::kPanel, kAboutControls},
    };
    return kForms[which];
}

inline int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The width of a text in the windows' font (Tahoma 8.25 points) at the screen's DPI.
inline int TextWidth(const std::wstring& text) {
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(825, ScreenDpi(), 7200);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    SIZE size = {};
    GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return size.cx;
}

// Posts the custom codes window's Help item that shows `form` and waits until
// that window is visible and in front. The window even if it stayed behind;
// null if there is none.
inline HWND ShowFromHelp(HWND form4, const Form& form, DWORD pid) {
    PostMessageW(form4, WM_COMMAND, MAKEWPARAM(form.helpItem, 0), 0);
    HWND shown = nullptr;
    e2e::WaitUntil(
        [&] {
            std::vector<HWND> all = e2e::TopLevels(form.cls, pid);
            shown = all.empty() ? nullptr : all.front();
            return shown != nullptr && e2e::IsShown(shown) && GetForegroundWindow() == shown;
        },
        5000);
    return shown;
}

// Starts Pallimo and shows its four windows the way a user does ("Extra",
// then the custom codes window's Help menu), handing each to `check` before
// the next may cover it; then closes the program.
inline void VisitAll(const std::function<void(const Form&, HWND, DWORD pid)>& check) {
    e2e::Process pallimo;
    HWND main = e2e::StartPallimo(pallimo).main;
    const DWORD pid = pallimo.Id();
    ok(pid != 0, "Pallimo starts");
    if (!ok(main != nullptr, "the smiley window shows")) return;
    check(Get(kSmileys), main, pid);
    HWND form4 = e2e::OpenCustomCodes(main, pid);
    if (ok(form4 != nullptr, "\"Extra\" opens the custom codes window")) {
        check(Get(kCustom), form4, pid);
        for (Which which : {kInstructions, kAbout}) {
            HWND shown = ShowFromHelp(form4, Get(which), pid);
            if (ok(shown != nullptr, "the Help menu shows %s", Get(which).name))
                check(Get(which), shown, pid);
        }
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    ok(pallimo.Wait(10000), "closing the smiley window ends the program");
}

}  // namespace forms
