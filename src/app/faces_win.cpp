#include "app/faces_win.h"

#include <cmath>
#include <iterator>

#include "app/catalogue.h"
#include "win/gdi.h"

namespace faces {

namespace {

// A small palette, as the pictures of a 1990s smiley set had.
constexpr COLORREF kNone = CLR_INVALID;
constexpr COLORREF kYellow = RGB(255, 214, 0);
constexpr COLORREF kRim = RGB(136, 84, 0);
constexpr COLORREF kInk = RGB(32, 20, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(214, 0, 0);
constexpr COLORREF kAngry = RGB(255, 104, 48);
constexpr COLORREF kBlush = RGB(255, 120, 96);
constexpr COLORREF kPink = RGB(255, 110, 150);
constexpr COLORREF kBlue = RGB(40, 140, 255);
constexpr COLORREF kGreen = RGB(0, 150, 40);
constexpr COLORREF kPale = RGB(150, 255, 150);
constexpr COLORREF kBrown = RGB(120, 60, 20);
constexpr COLORREF kGold = RGB(255, 190, 0);

enum class Op { Ellipse, Box, Line, Arc, Chord };

// One stroke of a face in the 19-unit design grid: a bounding box (or, for a
// line, its two ends) and, for arcs and chords, the points that fix where the
// curve starts and ends, drawn counter-clockwise as GDI does.
struct Shape {
    Op op;
    float l, t, r, b;
    float x1, y1, x2, y2;
    COLORREF pen, fill;
    float width;
};

constexpr Shape Disc(float l, float t, float r, float b, COLORREF fill, COLORREF pen = kNone) {
    return {Op::Ellipse, l, t, r, b, 0, 0, 0, 0, pen == kNone ? fill : pen, fill, 1};
}
constexpr Shape Ring(float l, float t, float r, float b, COLORREF pen, float width) {
    return {Op::Ellipse, l, t, r, b, 0, 0, 0, 0, pen, kNone, width};
}
constexpr Shape Box(float l, float t, float r, float b, COLORREF fill, COLORREF pen = kNone) {
    return {Op::Box, l, t, r, b, 0, 0, 0, 0, pen == kNone ? fill : pen, fill, 1};
}
constexpr Shape Line(float x1, float y1, float x2, float y2, COLORREF pen = kInk,
                     float width = 1.2f) {
    return {Op::Line, x1, y1, x2, y2, 0, 0, 0, 0, pen, kNone, width};
}
constexpr Shape Arc(float l, float t, float r, float b, float x1, float y1, float x2, float y2,
                    COLORREF pen = kInk, float width = 1.2f) {
    return {Op::Arc, l, t, r, b, x1, y1, x2, y2, pen, kNone, width};
}
constexpr Shape Chord(float l, float t, float r, float b, float x1, float y1, float x2, float y2,
                      COLORREF fill, COLORREF pen) {
    return {Op::Chord, l, t, r, b, x1, y1, x2, y2, pen, fill, 1};
}

// The parts most faces share.
constexpr Shape kHead = Disc(1, 1, 18, 18, kYellow, kRim);
constexpr Shape kLeftEye = Disc(6, 5, 8, 9.5f, kInk);
constexpr Shape kRightEye = Disc(11, 5, 13, 9.5f, kInk);
constexpr Shape kSmile = Arc(3.5f, 3.5f, 15.5f, 15, 3.5f, 10.5f, 15.5f, 10.5f);
constexpr Shape kFrown = Arc(4.5f, 12, 14.5f, 20, 14.5f, 14.5f, 4.5f, 14.5f);

constexpr Shape kGrin[] = {kHead, kLeftEye, kRightEye,
                           Chord(4, 5, 15, 16, 4, 10.5f, 15, 10.5f, kInk, kInk),
                           Box(6, 10.5f, 13, 12.2f, kWhite)};
constexpr Shape kAngel[] = {Disc(2, 3, 17, 18, kYellow, kRim), Disc(6.5f, 7, 8.5f, 10.5f, kInk),
                            Disc(10.5f, 7, 12.5f, 10.5f, kInk),
                            Arc(5, 6, 14, 15.5f, 5.5f, 13, 13.5f, 13),
                            Ring(4, 0, 15, 4, kGold, 1.2f)};
constexpr Shape kCool[] = {kHead,
                           Box(3.5f, 5.5f, 8.5f, 9.5f, kInk),
                           Box(10.5f, 5.5f, 15.5f, 9.5f, kInk),
                           Line(2, 6.5f, 17, 6.5f, kInk),
                           Line(5, 6.8f, 6.5f, 6.8f, kWhite, 1),
                           kSmile};
constexpr Shape kTongue[] = {kHead,
                             kLeftEye,
                             kRightEye,
                             Chord(8, 8, 13.5f, 16.5f, 8, 12, 13.5f, 12, kPink, kRed),
                             Line(5, 12, 14, 12, kInk),
                             Line(10.8f, 12.5f, 10.8f, 14.5f, kRed, 1)};
constexpr Shape kSealed[] = {kHead, kLeftEye, kRightEye, Line(5.5f, 10.5f, 13.5f, 16, kRed, 1.4f),
                             Line(13.5f, 10.5f, 5.5f, 16, kRed, 1.4f)};
constexpr Shape kEmbarrassed[] = {kHead,
                                  kLeftEye,
                                  kRightEye,
                                  Disc(2.5f, 10, 6, 12.5f, kBlush),
                                  Disc(13, 10, 16.5f, 12.5f, kBlush),
                                  Line(6.5f, 13.5f, 12.5f, 13.5f, kInk),
                                  Line(6.5f, 13.5f, 5.5f, 14.5f, kInk),
                                  Line(12.5f, 13.5f, 13.5f, 14.5f, kInk)};
constexpr Shape kYell[] = {Disc(1, 1, 18, 18, kAngry, kRed),  Line(4, 4, 8, 6.5f, kInk, 1.4f),
                           Line(15, 4, 11, 6.5f, kInk, 1.4f), Disc(6, 6.5f, 8, 9.5f, kInk),
                           Disc(11, 6.5f, 13, 9.5f, kInk),    Disc(7, 11, 12, 16.5f, kInk)};
constexpr Shape kWink[] = {kHead, Line(4.5f, 8, 8.5f, 7), kRightEye, kSmile};
constexpr Shape kCry[] = {kHead,
                          kLeftEye,
                          kRightEye,
                          kFrown,
                          Disc(4.5f, 9.5f, 7, 13.5f, kBlue),
                          Disc(12, 10.5f, 14, 13.5f, kBlue)};
constexpr Shape kFootInMouth[] = {kHead,
                                  kLeftEye,
                                  kRightEye,
                                  Disc(5, 11, 11, 15.5f, kInk),
                                  Box(8, 11.5f, 15, 14.5f, kBrown, kInk),
                                  Box(14, 9.5f, 17.5f, 14.5f, kBrown, kInk)};
constexpr Shape kKiss[] = {kHead,
                           Line(4.5f, 7.5f, 8.5f, 7.5f),
                           Line(10.5f, 7.5f, 14.5f, 7.5f),
                           Disc(7.5f, 11, 12, 13.5f, kRed),
                           Disc(7.5f, 12.5f, 12, 15, kRed),
                           Line(8.5f, 13, 11, 13, kInk, 1)};
constexpr Shape kSad[] = {kHead, kLeftEye, kRightEye, kFrown};
constexpr Shape kUndecided[] = {kHead, kLeftEye, kRightEye,
                                Line(5.5f, 14, 13.5f, 11.5f, kInk, 1.3f)};
constexpr Shape kMoney[] = {kHead,
                            kLeftEye,
                            kRightEye,
                            Box(4.5f, 10.5f, 14.5f, 15.5f, kGreen, kInk),
                            Line(9.5f, 10.5f, 9.5f, 15.5f, kPale, 1),
                            Line(7.5f, 12, 11.5f, 12, kPale, 1),
                            Line(7.5f, 14, 11.5f, 14, kPale, 1)};
constexpr Shape kSurprised[] = {kHead,
                                Disc(4, 3.5f, 9, 9.5f, kWhite, kInk),
                                Disc(10, 3.5f, 15, 9.5f, kWhite, kInk),
                                Disc(5.5f, 5.5f, 7.5f, 8, kInk),
                                Disc(11.5f, 5.5f, 13.5f, 8, kInk),
                                Disc(6.5f, 10.5f, 12.5f, 17, kInk),
                                Disc(8, 12, 11, 15.5f, kRed)};
constexpr Shape kHappy[] = {kHead, kLeftEye, kRightEye, kSmile};

struct Art {
    const Shape* shapes;
    std::size_t count;
};

template <std::size_t N>
constexpr Art ArtOf(const Shape (&shapes)[N]) {
    return {shapes, N};
}

// In the catalogue's face order: ":-D" first ... ":)" last.
constexpr Art kArt[] = {
    ArtOf(kGrin),      ArtOf(kAngel),       ArtOf(kCool),      ArtOf(kTongue),
    ArtOf(kSealed),    ArtOf(kEmbarrassed), ArtOf(kYell),      ArtOf(kWink),
    ArtOf(kCry),       ArtOf(kFootInMouth), ArtOf(kKiss),      ArtOf(kSad),
    ArtOf(kUndecided), ArtOf(kMoney),       ArtOf(kSurprised), ArtOf(kHappy),
};
static_assert(std::size(kArt) == catalogue::kFaceCount, "one picture per face");

class Canvas {
  public:
    Canvas(HDC dc, const RECT& box) : dc_(dc) {
        const int w = box.right - box.left, h = box.bottom - box.top;
        size_ = w < h ? w : h;
        left_ = box.left + (w - size_) / 2;
        top_ = box.top + (h - size_) / 2;
    }

    void Draw(const Shape& s) {
        // Outlines of filled shapes stay thin and inside their box, so small
        // features keep their fill at any size; strokes grow with the face.
        const bool filled = s.fill != kNone;
        win::Pen pen(CreatePen(filled ? PS_INSIDEFRAME : PS_SOLID,
                               filled ? Thin(s.width) : Width(s.width), s.pen));
        win::Brush brush(s.fill == kNone ? nullptr : CreateSolidBrush(s.fill));
        win::ScopedSelect selectPen(dc_, pen.get());
        win::ScopedSelect selectBrush(
            dc_, brush ? static_cast<HGDIOBJ>(brush.get()) : GetStockObject(NULL_BRUSH));
        switch (s.op) {
            case Op::Ellipse:
                Ellipse(dc_, DeviceX(s.l), DeviceY(s.t), DeviceX(s.r), DeviceY(s.b));
                break;
            case Op::Box:
                RoundRect(dc_, DeviceX(s.l), DeviceY(s.t), DeviceX(s.r), DeviceY(s.b), Width(2),
                          Width(2));
                break;
            case Op::Line:
                MoveToEx(dc_, DeviceX(s.l), DeviceY(s.t), nullptr);
                LineTo(dc_, DeviceX(s.r), DeviceY(s.b));
                break;
            case Op::Arc:
                ::Arc(dc_, DeviceX(s.l), DeviceY(s.t), DeviceX(s.r), DeviceY(s.b), DeviceX(s.x1),
                      DeviceY(s.y1), DeviceX(s.x2), DeviceY(s.y2));
                break;
            case Op::Chord:
                ::Chord(dc_, DeviceX(s.l), DeviceY(s.t), DeviceX(s.r), DeviceY(s.b), DeviceX(s.x1),
                        DeviceY(s.y1), DeviceX(s.x2), DeviceY(s.y2));
                break;
        }
    }

  private:
    int Scale(float units) const {
        return static_cast<int>(std::lround(static_cast<double>(units) * size_ / 19.0));
    }
    int DeviceX(float u) const { return left_ + Scale(u); }
    int DeviceY(float u) const { return top_ + Scale(u); }
    int Width(float u) const {
        const int w = Scale(u);
        return w < 1 ? 1 : w;
    }
    int Thin(float u) const {
        const int w = static_cast<int>(static_cast<double>(u) * size_ / 19.0);
        return w < 1 ? 1 : w;
    }

    HDC dc_;
    int left_ = 0, top_ = 0, size_ = 19;
};

}  // namespace

void DrawFace(HDC dc, const RECT& box, std::size_t index) {
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    if (index >= catalogue::kFaceCount) return;
    Canvas canvas(dc, box);
    const Art& art = kArt[index];
    for (std::size_t i = 0; i < art.count; ++i) canvas.Draw(art.shapes[i]);
}

}  // namespace faces
