#include "PanelPaint.h"

#include "PanelText.h"
#include "Selected.h"

#include <cmath>
#include <string>

namespace player_panel {
namespace {

constexpr COLORREF kBackground = RGB(30, 34, 40);
constexpr COLORREF kText = RGB(232, 236, 240);
constexpr COLORREF kDim = RGB(140, 148, 156);
constexpr COLORREF kDisabled = RGB(80, 86, 92);
constexpr COLORREF kAccent = RGB(58, 142, 230);
constexpr COLORREF kFace = RGB(52, 58, 66);
constexpr COLORREF kStar = RGB(250, 196, 60);

HFONT font(int height, int weight) {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

void fill(HDC dc, const RECT& r, COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void shape(HDC dc, std::initializer_list<POINT> points, COLORREF color) {
    Selected brush(dc, CreateSolidBrush(color));
    Selected pen(dc, CreatePen(PS_SOLID, 1, color));
    Polygon(dc, points.begin(), static_cast<int>(points.size()));
}

void line(HDC dc, POINT from, POINT to, COLORREF color, int width) {
    Selected pen(dc, CreatePen(PS_SOLID, width, color));
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

// Text in a rectangle: scrolled along and cut at its edges while `scroll` is on and it
// does not fit, otherwise ended with an ellipsis where it would leave the rectangle.
// Nothing is ever drawn outside the rectangle.
void text(HDC dc, const RECT& r, const std::wstring& s, COLORREF color, bool scroll, int step,
          bool alignRight = false) {
    SetTextColor(dc, color);
    const int width = textWidth(dc, s);
    const int room = r.right - r.left;
    const HRGN clip = CreateRectRgnIndirect(&r);
    SelectClipRgn(dc, clip);
    if (scroll && width > room) {
        const int gap = 40;
        const int x = r.left - (step * 2) % (width + gap);
        drawTextAt(dc, x, r.top, s);
        drawTextAt(dc, x + width + gap, r.top, s);
    } else {
        const std::wstring shown = fitted(dc, s, room);
        drawTextAt(dc, alignRight ? r.right - textWidth(dc, shown) : r.left, r.top, shown);
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
}

void button(HDC dc, const RECT& r, bool lit) {
    fill(dc, r, lit ? kAccent : kFace);
}

void icon(HDC dc, const RECT& r, Control control, const PanelState& s, COLORREF c, bool lit) {
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    switch (control) {
    case Control::Prev:
        fill(dc, {cx - 7, cy - 6, cx - 5, cy + 6}, c);
        shape(dc, {{cx + 6, cy - 6}, {cx + 6, cy + 6}, {cx - 4, cy}}, c);
        break;
    case Control::Next:
        shape(dc, {{cx - 6, cy - 6}, {cx - 6, cy + 6}, {cx + 4, cy}}, c);
        fill(dc, {cx + 5, cy - 6, cx + 7, cy + 6}, c);
        break;
    case Control::PlayPause:
        if (s.player == PlayerStatus::Running && s.playing) { // playing: the pause bars
            fill(dc, {cx - 6, cy - 7, cx - 2, cy + 7}, c);
            fill(dc, {cx + 2, cy - 7, cx + 6, cy + 7}, c);
        } else {
            shape(dc, {{cx - 5, cy - 7}, {cx - 5, cy + 7}, {cx + 7, cy}}, c);
        }
        break;
    case Control::Stop:
        fill(dc, {cx - 6, cy - 6, cx + 6, cy + 6}, c);
        break;
    case Control::Shuffle: // two crossing paths, each ending in an arrow head on the right
        line(dc, {cx - 8, cy - 5}, {cx + 4, cy + 5}, c, 2);
        line(dc, {cx - 8, cy + 5}, {cx + 4, cy - 5}, c, 2);
        shape(dc, {{cx + 3, cy - 9}, {cx + 9, cy - 5}, {cx + 3, cy - 1}}, c);
        shape(dc, {{cx + 3, cy + 1}, {cx + 9, cy + 5}, {cx + 3, cy + 9}}, c);
        break;
    case Control::Repeat: {
        Selected pen(dc, CreatePen(PS_SOLID, 2, c));
        Selected hollow(dc, CreateSolidBrush(lit ? kAccent : kFace)); // the button's own face
        RoundRect(dc, cx - 8, cy - 5, cx + 8, cy + 6, 6, 6);
        shape(dc, {{cx + 2, cy - 9}, {cx + 2, cy - 1}, {cx + 6, cy - 5}}, c);
        break;
    }
    case Control::Mute:
        fill(dc, {cx - 8, cy - 3, cx - 4, cy + 3}, c);
        shape(dc, {{cx - 4, cy - 3}, {cx + 1, cy - 7}, {cx + 1, cy + 7}, {cx - 4, cy + 3}}, c);
        if (lit)
            line(dc, {cx + 3, cy - 4}, {cx + 9, cy + 4}, c, 2);
        else
            line(dc, {cx + 4, cy - 3}, {cx + 4, cy + 3}, c, 1);
        break;
    case Control::Playlist:
        for (int i = -1; i <= 1; ++i)
            fill(dc, {cx - 7, cy + i * 5 - 1, cx + 7, cy + i * 5 + 1}, c);
        break;
    default:
        break;
    }
}

void star(HDC dc, const RECT& r, bool marked, COLORREF outline) {
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0, outer = 9, inner = 4;
    POINT points[10];
    for (int i = 0; i < 10; ++i) {
        const double angle = -3.14159265 / 2 + i * 3.14159265 / 5;
        const double radius = i % 2 == 0 ? outer : inner;
        points[i] = {static_cast<LONG>(std::lround(cx + radius * std::cos(angle))),
                     static_cast<LONG>(std::lround(cy + radius * std::sin(angle)))};
    }
    Selected brush(dc, CreateSolidBrush(marked ? kStar : kBackground));
    Selected pen(dc, CreatePen(PS_SOLID, 1, marked ? kStar : outline));
    Polygon(dc, points, 10);
}

void slider(HDC dc, const RECT& r, long long low, long long high, long long value, bool enabled) {
    const int cy = (r.top + r.bottom) / 2;
    fill(dc, {r.left, cy - 2, r.right, cy + 2}, enabled ? kFace : kDisabled);
    if (!enabled || high <= low)
        return;
    const long long span = high - low;
    const long long clamped = value < low ? low : value > high ? high : value;
    const int x = r.left + static_cast<int>((r.right - r.left) * (clamped - low) / span);
    fill(dc, {r.left, cy - 2, x, cy + 2}, kAccent);
    fill(dc, {x - 4, r.top, x + 4, r.bottom}, kText);
}

} // namespace

void paintPanel(HDC dc, const Layout& l, const PanelState& s, int scrollStep) {
    fill(dc, {0, 0, l.width, kPanelHeight}, kBackground);
    SetBkMode(dc, TRANSPARENT);
    const bool running = s.player == PlayerStatus::Running;
    {
        Selected big(dc, font(15, FW_SEMIBOLD));
        const std::wstring title = s.player == PlayerStatus::NotResponding
                                       ? s.name + L": player not responding"
                                   : running ? s.title
                                             : s.name + L": player not running";
        text(dc, l.title, title, running ? kText : kDim, running && s.scrollTitle, scrollStep);
        // A player that does not answer has no time: an old one would look current.
        if (s.player != PlayerStatus::NotResponding)
            text(dc, l.time, s.time, running ? kText : kDim, false, 0, true);
    }
    {
        Selected small(dc, font(12, FW_NORMAL));
        std::wstring details = s.artist;
        if (!s.album.empty())
            details += (details.empty() ? L"" : L"  \u00b7  ") + s.album;
        const std::wstring shown = running ? details : s.player == PlayerStatus::Absent ? s.caption : L"";
        text(dc, l.details, shown, kDim, running && s.scrollDetails, scrollStep);
    }
    slider(dc, l.trackSlider, s.trackLow, s.trackHigh, s.track, s.offers(Control::TrackSlider));
    for (Control c : {Control::Prev, Control::PlayPause, Control::Stop, Control::Next, Control::Shuffle,
                      Control::Repeat, Control::Mute, Control::Playlist}) {
        // A control that cannot be used is drawn plainly: no state shows on it.
        const bool enabled = s.offers(c);
        const bool on = (c == Control::Shuffle && s.shuffle) || (c == Control::Repeat && s.repeat) ||
                        (c == Control::Mute && s.mute);
        const bool lit = running && enabled && on;
        const RECT& r = rectOf(l, c);
        button(dc, r, lit);
        icon(dc, r, c, s, enabled ? kText : kDisabled, lit);
    }
    for (int i = 0; i < 5; ++i)
        star(dc, l.stars[static_cast<std::size_t>(i)], s.offers(Control::Star1) && i < s.rating,
             s.offers(Control::Star1) ? kDim : kDisabled);
    slider(dc, l.volumeSlider, s.volumeLow, s.volumeHigh, s.volume, s.offers(Control::VolumeSlider));
}

} // namespace player_panel
