#include "app/face_grid_win.h"

#include <commctrl.h>

#include "app/faces_win.h"
#include "win/layout.h"
#include "win/text.h"
#include "win/window.h"

namespace faces {

namespace {

// Shows the tracking tip `tip` (tool `ti`) with its top-left corner at `at`,
// kept whole on the monitor of `face`. TTM_TRACKPOSITION carries the point as
// two 16-bit halves, and some tooltip versions (Wine's) read them unsigned: a
// point left of or above the primary monitor would put the tip far away. A
// tip that did not come to its place is moved there.
void TrackTipAt(HWND tip, const TOOLINFOW& ti, POINT at, HWND face) {
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    RECT r = {};
    GetWindowRect(tip, &r);
    at = win::InsideWorkArea(at, {r.right - r.left, r.bottom - r.top}, face);
    if (r.left != at.x || r.top != at.y)
        SetWindowPos(tip, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

FaceKey KeyOf(WPARAM vk) {
    switch (vk) {
        case VK_LEFT:
            return FaceKey::kLeft;
        case VK_RIGHT:
            return FaceKey::kRight;
        case VK_UP:
            return FaceKey::kUp;
        case VK_DOWN:
            return FaceKey::kDown;
        case VK_SPACE:
        case VK_RETURN:
            return FaceKey::kSend;
        default:
            return FaceKey::kOther;
    }
}

// A tip window of `window`'s, which goes with it.
HWND CreateTip(HWND window, DWORD exStyle, DWORD style) {
    return CreateWindowExW(exStyle, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | style,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

// Each face carries its text, which a screen reader reads when the keyboard
// is on it; the first one is the faces' Tab stop.
void FacePictures::Attach(HWND window, const std::array<HWND, catalogue::kFaceCount>& pictures) {
    window_ = window;
    pictures_ = pictures;
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i)
        win::HwndSetText(pictures_[i], catalogue::kFaces[i].emoticon);
    grid_.Reset();
    AddHints();
}

void FacePictures::Detach() {
    pointerHints_ = nullptr;
    keyHint_ = nullptr;
    pictures_ = {};
}

std::size_t FacePictures::IndexOf(HWND control) const {
    std::size_t i = 0;
    while (i < catalogue::kFaceCount && (control == nullptr || pictures_[i] != control)) ++i;
    return i;
}

bool FacePictures::OnKey(HWND control, WPARAM vk, bool repeat) {
    return grid_.OnKey(IndexOf(control), KeyOf(vk), repeat);
}

void FacePictures::RelayPointer(const MSG& msg) const {
    if (pointerHints_ != nullptr && msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST &&
        IndexOf(msg.hwnd) < catalogue::kFaceCount)
        SendMessageW(pointerHints_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

bool FacePictures::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const std::size_t face = item != nullptr ? IndexOf(item->hwndItem) : pictures_.size();
            if (face == pictures_.size()) return false;
            DrawFace(item->hDC, item->rcItem, face);
            // The system's focus rectangle, round the picture's outer edge,
            // which the faces hardly touch.
            if (item->hwndItem == GetFocus() &&
                (SendMessageW(window_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0)
                DrawFocusRect(item->hDC, &item->rcItem);
            result = TRUE;
            return true;
        }
        case win::kPictureFocusGained:
        case win::kPictureFocusLost: {
            const std::size_t face = IndexOf(reinterpret_cast<HWND>(wParam));
            if (face == pictures_.size()) return false;
            const bool otherIsFace = IndexOf(reinterpret_cast<HWND>(lParam)) < pictures_.size();
            if (msg == win::kPictureFocusGained)
                grid_.OnFocusGained(face, otherIsFace, GetKeyState(VK_TAB) < 0);
            else
                grid_.OnFocusLost(otherIsFace);
            result = 0;
            return true;
        }
        case WM_MOVE:
            grid_.OnMoved();
            return false;
        case WM_SHOWWINDOW:
            if (!wParam) grid_.OnHidden();
            return false;
        default:
            return false;
    }
}

void FacePictures::AddHints() {
    pointerHints_ = CreateTip(window_, WS_EX_TOPMOST, TTS_ALWAYSTIP);
    if (pointerHints_ == nullptr) return;
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i) {
        TOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = window_;
        ti.uId = reinterpret_cast<UINT_PTR>(pictures_[i]);
        ti.lpszText = const_cast<wchar_t*>(catalogue::kFaces[i].emoticon);
        SendMessageW(pointerHints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    // The keyboard's hint is its own tip, placed by the window rather than
    // by the pointer. Layered and transparent, it lets clicks through to the
    // face below it.
    keyHint_ = CreateTip(window_, WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TRANSPARENT,
                         TTS_NOFADE | TTS_NOANIMATE);
    if (keyHint_ == nullptr) return;
    SetLayeredWindowAttributes(keyHint_, 0, 255, LWA_ALPHA);
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    ti.hwnd = window_;
    ti.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(keyHint_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void FacePictures::SetTabStop(std::size_t face, bool stop) {
    win::SetTabStop(pictures_[face], stop);
}

void FacePictures::AnnounceName(std::size_t face) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, pictures_[face], OBJID_CLIENT, CHILDID_SELF);
}

void FacePictures::Focus(std::size_t face) {
    if (GetFocus() != pictures_[face]) SetFocus(pictures_[face]);
}

void FacePictures::ShowFocusCues() { win::ShowFocusCues(window_); }

// The hint stands below the face as if the pointer rested on it. A click
// goes through it to the face it covers.
bool FacePictures::ShowHint(std::size_t face) {
    if (keyHint_ == nullptr || !IsWindow(keyHint_)) return false;
    HWND picture = pictures_[face];
    if (GetFocus() != picture || IsIconic(window_)) {
        HideHint();
        return false;
    }
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = window_;
    ti.lpszText = const_cast<wchar_t*>(catalogue::kFaces[face].emoticon);
    SendMessageW(keyHint_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    RECT r = {};
    GetWindowRect(picture, &r);
    TrackTipAt(keyHint_, ti, {r.left, r.bottom + 2}, picture);
    return true;
}

void FacePictures::HideHint() {
    if (keyHint_ == nullptr || !IsWindow(keyHint_)) return;
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = window_;
    SendMessageW(keyHint_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    // Hidden with the window when it was minimised, it may have been shown
    // again with the window behind the tip control's back.
    ShowWindow(keyHint_, SW_HIDE);
}

}  // namespace faces
