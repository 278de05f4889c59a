// The face grid over the smiley window's real pictures: the portable rules of
// faces::FaceGrid, the pictures' painting and names, the pointer's hints over
// them and the keyboard's hint below the current one.
#pragma once
#include <windows.h>

#include <array>
#include <cstddef>
#include <functional>
#include <utility>

#include "app/catalogue.h"
#include "app/face_grid.h"

namespace faces {

class FacePictures : private FaceControls {
  public:
    // `send` sends a face, as a click on it does.
    explicit FacePictures(std::function<void(std::size_t)> send)
        : grid_(*this), send_(std::move(send)) {}

    // The window's pictures, built afresh, in the catalogue's order.
    void Attach(HWND window, const std::array<HWND, catalogue::kFaceCount>& pictures);
    void Detach();

    // The face `control` is, or kFaceCount for none.
    std::size_t IndexOf(HWND control) const;
    // Key `vk` on `control`; true when the grid took it.
    bool OnKey(HWND control, WPARAM vk, bool repeat);
    // The pointer's hints follow the mouse over the faces.
    void RelayPointer(const MSG& msg) const;
    // The messages the faces answer: their painting, their focus, the
    // window's moves and hiding. True when `msg` was taken, with `result`.
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The keyboard comes to the current face with its hint, as with Tab.
    void FocusCurrent() { grid_.FocusCurrent(); }
    // A face's menu stands over the faces from the first call to the second.
    void OnMenuOpening() { grid_.OnMenuOpening(); }
    void OnMenuClosed() { grid_.OnMenuClosed(); }

  private:
    void AddHints();

    void SetTabStop(std::size_t face, bool stop) override;
    void AnnounceName(std::size_t face) override;
    void Focus(std::size_t face) override;
    void ShowFocusCues() override;
    bool ShowHint(std::size_t face) override;
    void HideHint() override;
    void Send(std::size_t face) override { send_(face); }

    FaceGrid grid_;
    const std::function<void(std::size_t)> send_;
    HWND window_ = nullptr;
    std::array<HWND, catalogue::kFaceCount> pictures_ = {};
    HWND pointerHints_ = nullptr;  // the pointer's hints over the faces
    HWND keyHint_ = nullptr;       // the current face's hint while the keyboard is on it
};

}  // namespace faces
