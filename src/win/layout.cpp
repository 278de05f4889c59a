#include "win/layout.h"

#include <commctrl.h>

namespace win {

namespace {

const wchar_t kPanelClass[] = L"PallimoPanel";
const wchar_t kLineClass[] = L"PallimoLine";

// A panel passes its children's notifications on to the window it stands in,
// so the window's handlers see them as if the children were its own.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
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

void RegisterHelperClasses() {
    static bool done = false;
    if (done) return;
    done = true;
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
            return {WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP, 0};
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
            return {WC_STATICW, SS_OWNERDRAW | SS_NOTIFY, 0};
        case Kind::Panel:
            return {kPanelClass, WS_TABSTOP, WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT};
        case Kind::Line:
            return {kLineClass, 0, 0};
    }
    return {WC_STATICW, 0, 0};
}

const ControlRow* FindRow(const ControlRow* rows, std::size_t count, int id) {
    for (std::size_t i = 0; i < count; ++i)
        if (rows[i].id == id) return &rows[i];
    return nullptr;
}

}  // namespace

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

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
        built_.push_back({&row, hwnd});
    }
}

void Layout::SetFont(int id, HFONT font) {
    if (HWND h = Get(id)) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

HWND Layout::Get(int id) const {
    for (const Built& b : built_)
        if (b.row->id == id) return b.hwnd;
    return nullptr;
}

const ControlRow* Layout::Row(int id) const {
    for (const Built& b : built_)
        if (b.row->id == id) return b.row;
    return nullptr;
}

const ControlRow* Layout::RowOf(HWND control) const {
    for (const Built& b : built_)
        if (b.hwnd == control) return b.row;
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

}  // namespace win
