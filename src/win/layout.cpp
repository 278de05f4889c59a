#include "win/layout.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

#include "win/system_dll.h"

namespace win {

namespace {

const wchar_t kPanelClass[] = L"PallimoPanel";
const wchar_t kLineClass[] = L"PallimoLine";
const wchar_t kOptionClass[] = L"PallimoOption";
const wchar_t kPictureClass[] = L"PallimoPicture";

// Options and pictures are classes of our own built on the system's button
// and static (superclasses): what they add costs a plain call per message,
// where a subclass would look up its data on every message (under Wine a
// round trip to the window server each time).
struct HelperClasses {
    WNDPROC button = nullptr;
    WNDPROC staticText = nullptr;
    int takingFocusOffset = 0;  // an option's own window bytes, after the button's
};
const HelperClasses& RegisterHelperClasses();

// A screen reader knows a standard control by its class name: a class of our
// own built on one answers as that one (the button's role and check state,
// the static's name), through the accessibility proxy Windows makes for
// superclassed controls. False where there is none: the window answers as
// any other.
bool AnswerAsBase(HWND hwnd, const wchar_t* base, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return false;
    const auto create = SystemFunction<decltype(&CreateStdAccessibleProxyW)>(
        L"oleacc.dll", "CreateStdAccessibleProxyW");
    const auto wrap =
        SystemFunction<decltype(&LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
    if (create == nullptr || wrap == nullptr) return false;
    // IID_IAccessible, spelt out so that nothing needs linking.
    const IID accessible = {
        0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    IAccessible* object = nullptr;
    if (FAILED(create(hwnd, base, OBJID_CLIENT, accessible, reinterpret_cast<void**>(&object))) ||
        object == nullptr)
        return false;
    result = wrap(accessible, wParam, object);
    object->Release();
    return result >= 0;
}

LRESULT CALLBACK OptionProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const HelperClasses& classes = RegisterHelperClasses();
    LRESULT answer = 0;
    if (msg == WM_GETOBJECT && AnswerAsBase(hwnd, WC_BUTTONW, wParam, lParam, answer))
        return answer;
    if (msg != WM_SETFOCUS) return CallWindowProcW(classes.button, hwnd, msg, wParam, lParam);
    const LONG_PTR outer = GetWindowLongPtrW(hwnd, classes.takingFocusOffset);
    SetWindowLongPtrW(hwnd, classes.takingFocusOffset, 1);
    const LRESULT result = CallWindowProcW(classes.button, hwnd, msg, wParam, lParam);
    if (IsWindow(hwnd)) SetWindowLongPtrW(hwnd, classes.takingFocusOffset, outer);
    return result;
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const WNDPROC base = RegisterHelperClasses().staticText;
    LRESULT answer = 0;
    switch (msg) {
        case WM_GETOBJECT:
            if (AnswerAsBase(hwnd, WC_STATICW, wParam, lParam, answer)) return answer;
            break;
        case WM_GETDLGCODE:
            // The arrows and the characters are the window's; Tab and Esc go
            // on to the dialog navigation.
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE: {
            // The window draws the focus rectangle: it comes and goes.
            const LRESULT result = CallWindowProcW(base, hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, FALSE);
            if (msg != WM_UPDATEUISTATE)
                SendMessageW(GetParent(hwnd),
                             msg == WM_SETFOCUS ? kPictureFocusGained : kPictureFocusLost,
                             reinterpret_cast<WPARAM>(hwnd), static_cast<LPARAM>(wParam));
            return result;
        }
        default:
            break;
    }
    return CallWindowProcW(base, hwnd, msg, wParam, lParam);
}

// A panel passes its children's notifications on to the window it stands in,
// so the window's handlers see them as if the children were its own.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case kPictureFocusGained:
        case kPictureFocusLost:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            return 0;
        case WM_GETDLGCODE:
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK LineProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOWTEXT));
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The system's class `base` under our name, with `proc` before its own and
// `extraBytes` more window bytes after its own; returns its procedure.
WNDPROC RegisterSuperclass(const wchar_t* base, const wchar_t* name, WNDPROC proc, int extraBytes) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, base, &wc)) return &DefWindowProcW;
    const WNDPROC baseProc = wc.lpfnWndProc;
    wc.style &= ~CS_GLOBALCLASS;
    wc.hInstance = instance;
    wc.lpfnWndProc = proc;
    wc.lpszClassName = name;
    wc.cbWndExtra += extraBytes;
    RegisterClassExW(&wc);
    return baseProc;
}

const HelperClasses& RegisterHelperClasses() {
    static const HelperClasses classes = [] {
        // The options are built on the common controls' button, and the
        // windows' tips are theirs.
        LoadCommonControls();
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpfnWndProc = &PanelProc;
        wc.lpszClassName = kPanelClass;
        RegisterClassExW(&wc);
        wc.lpfnWndProc = &LineProc;
        wc.lpszClassName = kLineClass;
        RegisterClassExW(&wc);

        HelperClasses made;
        WNDCLASSEXW button = {};
        button.cbSize = sizeof button;
        made.takingFocusOffset =
            GetClassInfoExW(nullptr, WC_BUTTONW, &button) ? button.cbWndExtra : 0;
        made.button = RegisterSuperclass(WC_BUTTONW, kOptionClass, &OptionProc,
                                         static_cast<int>(sizeof(LONG_PTR)));
        made.staticText = RegisterSuperclass(WC_STATICW, kPictureClass, &PictureProc, 0);
        return made;
    }();
    return classes;
}

struct ClassAndStyle {
    const wchar_t* cls;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle StyleFor(Kind kind) {
    switch (kind) {
        case Kind::Button:
            return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
        case Kind::Option:
            return {kOptionClass, BS_RADIOBUTTON | WS_TABSTOP, 0};
        case Kind::TextBox:
            return {WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case Kind::MultiLineText:
            return {WC_EDITW,
                    ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case Kind::ListBox:
            return {WC_LISTBOXW, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case Kind::Frame:
            return {WC_BUTTONW, BS_GROUPBOX, 0};
        case Kind::Label:
            // One line of a fixed height: a caption that outgrows its width at
            // a higher DPI is cut at the edge, not wrapped onto a line below
            // that nobody sees (Wine wraps even for a trailing blank).
            return {WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOTIFY, 0};
        case Kind::Picture:
            return {kPictureClass, SS_OWNERDRAW | SS_NOTIFY, 0};
        case Kind::Panel:
            return {kPanelClass, WS_TABSTOP, WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT};
        case Kind::Line:
            return {kLineClass, 0, 0};
        case Kind::HotKey:
            return {HOTKEY_CLASSW, WS_TABSTOP, WS_EX_CLIENTEDGE};
    }
    return {WC_STATICW, 0, 0};
}

const ControlRow* FindRow(const ControlRow* rows, std::size_t count, int id) {
    for (std::size_t i = 0; i < count; ++i)
        if (rows[i].id == id) return &rows[i];
    return nullptr;
}

}  // namespace

// What a caption needs in the windows' font, as its control draws it: the
// width up to its last visible character and the height of its line. An
// option button draws its circle (or box), a gap and then its text: it needs
// the circle's width (12 pixels at 96 DPI, scaled, and one), half a "0" and
// the text with a pixel either side, as Windows lays it out, or the button's
// own ideal width if that is wider (BCM_GETIDEALSIZE, common controls 6; some
// versions answer it for push buttons only and give an option its window's
// width). The button is asked only where the caption comes within a "0" of
// its row: elsewhere its answer changes nothing, and asking costs a drawing
// context of its own each time.
struct Caption {
    int width = 0;
    int lineHeight = 0;
};

// Measures every caption of a layout in one memory drawing context.
class CaptionMeter {
  public:
    CaptionMeter(HFONT font, int dpi) : dc_(CreateCompatibleDC(nullptr)), dpi_(dpi) {
        if (dc_ == nullptr) return;
        if (font != nullptr) old_ = SelectObject(dc_, font);
        GetCharWidth32W(dc_, L'0', L'0', &zero_);
    }
    ~CaptionMeter() {
        if (dc_ == nullptr) return;
        if (old_ != nullptr) SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    CaptionMeter(const CaptionMeter&) = delete;
    CaptionMeter& operator=(const CaptionMeter&) = delete;

    Caption Measure(const ControlRow& row, HWND control, int rowWidth) const {
        Caption c;
        if (dc_ == nullptr || row.caption == nullptr) return c;
        int length = lstrlenW(row.caption);
        // Trailing blanks show nothing: they need no room.
        while (length > 0 && row.caption[length - 1] == L' ') --length;
        if (length == 0) return c;
        RECT r = {0, 0, 0, 0};
        UINT flags = DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS;
        if (row.kind == Kind::Label && (row.extraStyle & SS_NOPREFIX)) flags |= DT_NOPREFIX;
        DrawTextW(dc_, row.caption, length, &r, flags);
        c.width = r.right - r.left;
        c.lineHeight = r.bottom - r.top;
        if (row.kind == Kind::Option) {
            c.width += MulDiv(12, dpi_, 96) + 1 + zero_ / 2 + 2;
            SIZE ideal = {0, 0};
            if (c.width + zero_ > rowWidth &&
                SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) &&
                ideal.cx > c.width)
                c.width = ideal.cx;
        }
        return c;
    }

  private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
    int dpi_;
    INT zero_ = 0;
};

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

namespace {

// The rectangle of a row in pixels within its parent window's client area:
// the twips of every enclosing Frame are added before converting; rows inside
// a Panel are measured from the panel's client area.
RECT RowRect(const ControlRow* rows, std::size_t count, std::size_t index, int dpi) {
    const ControlRow& row = rows[index];
    int left = row.left, top = row.top;
    // Frames are drawn beside their contents, so their offsets add up; a panel
    // is the real parent and its rows are measured from its client area.
    for (const ControlRow* c = FindRow(rows, count, row.container);
         c != nullptr && c->kind == Kind::Frame; c = FindRow(rows, count, c->container)) {
        left += c->left;
        top += c->top;
    }
    RECT r;
    r.left = TwipsToPixels(left, dpi);
    r.top = TwipsToPixels(top, dpi);
    r.right = r.left + TwipsToPixels(row.width, dpi);
    r.bottom = r.top + (row.kind == Kind::Line ? 1 : TwipsToPixels(row.height, dpi));
    return r;
}

}  // namespace

void Layout::Build(HWND parent, const ControlRow* rows, std::size_t count, int dpi, HFONT font) {
    RegisterHelperClasses();
    built_.clear();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (std::size_t i = 0; i < count; ++i) {
        const ControlRow& row = rows[i];
        HWND owner = parent;
        const ControlRow* c = FindRow(rows, count, row.container);
        while (c != nullptr && c->kind == Kind::Frame) c = FindRow(rows, count, c->container);
        if (c != nullptr && c->kind == Kind::Panel) owner = Get(c->id);

        const ClassAndStyle cs = StyleFor(row.kind);
        const RECT r = RowRect(rows, count, i, dpi);
        HWND hwnd = CreateWindowExW(cs.exStyle, cs.cls, row.caption != nullptr ? row.caption : L"",
                                    WS_CHILD | WS_VISIBLE | cs.style | row.extraStyle, r.left,
                                    r.top, r.right - r.left, r.bottom - r.top, owner,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance,
                                    nullptr);
        if (hwnd != nullptr && font != nullptr)
            SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        built_.push_back({&row, hwnd, owner, r});
    }
    // Every control stands before a caption is measured against its neighbours.
    const CaptionMeter meter(font, dpi);
    for (std::size_t i = 0; i < count; ++i) FitCaption(i, meter);
}

// The table's rows are 96-DPI designs: at a higher DPI the font grows by its
// own rounding, and the caption of a one-line label or an option button can
// outgrow its row and be cut at the edge (an option's "Football" is a few
// pixels wider than its row at every DPI by Windows' measure). Such a
// control takes the width its caption needs, to the right, where that room
// is free: inside its parent, and over no other control of the same parent
// (a frame it stands in aside). Otherwise it keeps its row.
void Layout::FitCaption(std::size_t index, const CaptionMeter& meter) {
    Built& built = built_[index];
    const ControlRow& row = *built.row;
    if ((row.kind != Kind::Label && row.kind != Kind::Option) || built.hwnd == nullptr) return;
    const RECT r = built.rect;
    const Caption need = meter.Measure(row, built.hwnd, r.right - r.left);
    if (need.width <= r.right - r.left) return;
    // The room the caption grows into: the strip right of its row, as high
    // as its text's line (a label's at the top, an option's in the middle).
    // Rows often overlap their neighbours by a pixel (a row is a pixel taller
    // than its line spacing): that overlap holds no text and does not count.
    RECT strip = r;
    strip.left = r.right;
    strip.right = r.left + need.width;
    if (need.lineHeight < r.bottom - r.top) {
        if (row.kind == Kind::Option) strip.top += (r.bottom - r.top - need.lineHeight) / 2;
        strip.bottom = strip.top + need.lineHeight;
    }
    RECT client;
    GetClientRect(built.parent, &client);
    if (strip.right > client.right) return;
    for (std::size_t j = 0; j < built_.size(); ++j) {
        const Built& other = built_[j];
        if (j == index || other.hwnd == nullptr || other.parent != built.parent) continue;
        RECT common;
        if (!IntersectRect(&common, &other.rect, &strip)) continue;
        // A frame is drawn around the rows inside it: the caption may grow
        // within the frame it stands in, not past its edge.
        RECT inside;
        const bool container = other.row->kind == Kind::Frame &&
                               IntersectRect(&inside, &other.rect, &r) && EqualRect(&inside, &r);
        if (!container || strip.right > other.rect.right) return;
    }
    SetWindowPos(built.hwnd, nullptr, 0, 0, need.width, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    built.rect.right = r.left + need.width;
}

HWND Layout::Get(int id) const {
    for (const Built& b : built_)
        if (b.row->id == id) return b.hwnd;
    return nullptr;
}

Font CreatePointFont(const wchar_t* face, int hundredthsOfPoint, int dpi, bool underline,
                     int weight) {
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(hundredthsOfPoint, dpi, 7200);
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? TRUE : FALSE;
    // The system's own character set, so that text in its script shows (the
    // font mapper picks a face for it when the named one has none).
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return Font(CreateFontIndirectW(&lf));
}

bool OptionTakingFocus(HWND option) {
    // The class's procedure: a subclass another program put on the window
    // changes only the window's.
    if (GetClassLongPtrW(option, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&OptionProc))
        return false;
    return GetWindowLongPtrW(option, RegisterHelperClasses().takingFocusOffset) != 0;
}

void SetTabStop(HWND control, bool stop) {
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    SetWindowLongPtrW(control, GWL_STYLE,
                      stop ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP)));
}

void ShowFocusCues(HWND window) {
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

}  // namespace win
