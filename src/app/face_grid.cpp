#include "app/face_grid.h"

#include "app/catalogue.h"

namespace faces {

std::size_t FaceGrid::Beside(std::size_t face, int dx, int dy) {
    const catalogue::Face& from = catalogue::kFaces[face];
    std::size_t best = face;
    int bestDistance = 0;
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i) {
        const catalogue::Face& to = catalogue::kFaces[i];
        const bool inLine = dx != 0 ? to.top == from.top : to.left == from.left;
        const int distance = dx * (to.left - from.left) + dy * (to.top - from.top);
        if (inLine && distance > 0 && (best == face || distance < bestDistance)) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void FaceGrid::Reset() {
    current_ = 0;
    hinted_ = false;
    menuHid_ = false;
    controls_.SetTabStop(0, true);
}

// The face that has the focus, however it came, is the current one: the
// faces' one Tab stop. The hint comes with Tab, not when the window takes
// the focus back; between two faces it stays up for the arrow to move it.
void FaceGrid::OnFocusGained(std::size_t face, bool fromFace, bool tab) {
    if (face >= catalogue::kFaceCount) return;
    if (face != current_) {
        controls_.SetTabStop(current_, false);
        current_ = face;
        controls_.SetTabStop(face, true);
        controls_.AnnounceName(face);
    }
    if (tab)
        ShowHint(true);
    else if (!fromFace)
        ShowHint(false);
}

void FaceGrid::OnFocusLost(bool toFace) {
    if (!toFace) ShowHint(false);
}

// The arrows move by the faces' places, stopping at the grid's edges; Space
// and Enter send the face as a click does, once however long the key is held.
bool FaceGrid::OnKey(std::size_t face, FaceKey key, bool repeat) {
    if (face >= catalogue::kFaceCount) return false;
    switch (key) {
        case FaceKey::kLeft:
            MoveTo(Beside(face, -1, 0));
            return true;
        case FaceKey::kRight:
            MoveTo(Beside(face, 1, 0));
            return true;
        case FaceKey::kUp:
            MoveTo(Beside(face, 0, -1));
            return true;
        case FaceKey::kDown:
            MoveTo(Beside(face, 0, 1));
            return true;
        case FaceKey::kSend:
            if (!repeat) controls_.Send(face);
            return true;
        case FaceKey::kOther:
            break;
    }
    return false;
}

// The face takes the focus, with its hint.
void FaceGrid::MoveTo(std::size_t face) {
    controls_.ShowFocusCues();
    controls_.Focus(face);
    ShowHint(true);
}

void FaceGrid::OnMoved() {
    if (hinted_) ShowHint(true);
}

void FaceGrid::OnMenuOpening() {
    menuHid_ = hinted_;
    ShowHint(false);
}

void FaceGrid::OnMenuClosed() {
    ShowHint(menuHid_);
    menuHid_ = false;
}

void FaceGrid::ShowHint(bool shown) {
    if (shown) {
        hinted_ = controls_.ShowHint(current_);
    } else {
        controls_.HideHint();
        hinted_ = false;
    }
}

}  // namespace faces
