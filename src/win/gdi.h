// Owning handles for GDI and USER objects (copy deleted), and a scoped DC.
#pragma once
#include <windows.h>

#include <utility>

namespace win {

template <typename H, typename Deleter>
class Owned {
  public:
    Owned() = default;
    explicit Owned(H h) : h_(h) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : h_(std::exchange(other.h_, H())) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, H()));
        return *this;
    }
    ~Owned() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != H(); }
    void reset(H h = H()) {
        if (h_ != H()) Deleter()(h_);
        h_ = h;
    }
    H release() { return std::exchange(h_, H()); }

  private:
    H h_ = H();
};

struct GdiObjectDeleter {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct IconDeleter {
    void operator()(HICON h) const { DestroyIcon(h); }
};

using Font = Owned<HFONT, GdiObjectDeleter>;
using Brush = Owned<HBRUSH, GdiObjectDeleter>;
using Pen = Owned<HPEN, GdiObjectDeleter>;
using Icon = Owned<HICON, IconDeleter>;

// A font by face name and size in hundredths of a point (825 = 8.25 pt) at `dpi`.
// A missing face falls back to the system's substitute.
Font CreatePointFont(const wchar_t* face, int hundredthsOfPoint, int dpi, bool underline = false,
                     int weight = FW_NORMAL);

// Selects an object into a DC for the scope's lifetime.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() { SelectObject(dc_, old_); }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

class ScopedPaint {
  public:
    explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
    HDC dc() const { return dc_; }
    const RECT& rect() const { return ps_.rcPaint; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_ = {};
    HDC dc_ = nullptr;
};

}  // namespace win
