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
constexpr COLORREF kFocus = RGB(250, 250, 250);
constexpr COLORREF kWarning = RGB(240, 170, 60);

constexpr wchar_t kMinus[] = L"\u2212"; // a minus sign, not a hyphen, before a time that counts down

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
// Nothing is drawn left or right of the rectangle; above and below, marks may reach
// a little beyond it (a tone mark over a capital, a dot below).
void text(HDC dc, const Layout& l, const RECT& r, const std::wstring& s, COLORREF color, bool scroll,
          int step, bool alignRight = false) {
    SetTextColor(dc, color);
    const int width = textWidth(dc, s);
    const int room = r.right - r.left;
    RECT clipped = r;
    InflateRect(&clipped, 0, l.px(4));
    const HRGN clip = CreateRectRgnIndirect(&clipped);
    SelectClipRgn(dc, clip);
    if (scroll && width > room) {
        const int gap = l.px(40);
        const int x = r.left - (step * l.px(2)) % (width + gap);
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

void icon(HDC dc, const Layout& l, const RECT& r, Control control, const PanelState& s, COLORREF c,
          bool lit) {
    const auto p = [&l](int length) { return l.px(length); };
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    switch (control) {
    case Control::Prev:
        fill(dc, {cx - p(7), cy - p(6), cx - p(5), cy + p(6)}, c);
        shape(dc, {{cx + p(6), cy - p(6)}, {cx + p(6), cy + p(6)}, {cx - p(4), cy}}, c);
        break;
    case Control::Next:
        shape(dc, {{cx - p(6), cy - p(6)}, {cx - p(6), cy + p(6)}, {cx + p(4), cy}}, c);
        fill(dc, {cx + p(5), cy - p(6), cx + p(7), cy + p(6)}, c);
        break;
    case Control::PlayPause:
        if (s.player == PlayerStatus::Running && s.playing) { // playing: the pause bars
            fill(dc, {cx - p(6), cy - p(7), cx - p(2), cy + p(7)}, c);
            fill(dc, {cx + p(2), cy - p(7), cx + p(6), cy + p(7)}, c);
        } else {
            shape(dc, {{cx - p(5), cy - p(7)}, {cx - p(5), cy + p(7)}, {cx + p(7), cy}}, c);
        }
        break;
    case Control::Stop:
        fill(dc, {cx - p(6), cy - p(6), cx + p(6), cy + p(6)}, c);
        break;
    case Control::Shuffle: // two crossing paths, each ending in an arrow head on the right
        line(dc, {cx - p(8), cy - p(5)}, {cx + p(4), cy + p(5)}, c, p(2));
        line(dc, {cx - p(8), cy + p(5)}, {cx + p(4), cy - p(5)}, c, p(2));
        shape(dc, {{cx + p(3), cy - p(9)}, {cx + p(9), cy - p(5)}, {cx + p(3), cy - p(1)}}, c);
        shape(dc, {{cx + p(3), cy + p(1)}, {cx + p(9), cy + p(5)}, {cx + p(3), cy + p(9)}}, c);
        break;
    case Control::Repeat: {
        Selected pen(dc, CreatePen(PS_SOLID, p(2), c));
        Selected hollow(dc, CreateSolidBrush(lit ? kAccent : kFace)); // the button's own face
        RoundRect(dc, cx - p(8), cy - p(5), cx + p(8), cy + p(6), p(6), p(6));
        shape(dc, {{cx + p(2), cy - p(9)}, {cx + p(2), cy - p(1)}, {cx + p(6), cy - p(5)}}, c);
        break;
    }
    case Control::Mute:
        fill(dc, {cx - p(8), cy - p(3), cx - p(4), cy + p(3)}, c);
        shape(
            dc,
            {{cx - p(4), cy - p(3)}, {cx + p(1), cy - p(7)}, {cx + p(1), cy + p(7)}, {cx - p(4), cy + p(3)}},
            c);
        if (lit)
            line(dc, {cx + p(3), cy - p(4)}, {cx + p(9), cy + p(4)}, c, p(2));
        else
            line(dc, {cx + p(4), cy - p(3)}, {cx + p(4), cy + p(3)}, c, p(1));
        break;
    case Control::Playlist:
        for (int i = -1; i <= 1; ++i)
            fill(dc, {cx - p(7), cy + p(i * 5) - p(1), cx + p(7), cy + p(i * 5) + p(1)}, c);
        break;
    default:
        break;
    }
}

void star(HDC dc, const Layout& l, const RECT& r, bool marked, COLORREF outline) {
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    const double outer = l.px(9), inner = l.px(4);
    POINT points[10];
    for (int i = 0; i < 10; ++i) {
        const double angle = -3.14159265 / 2 + i * 3.14159265 / 5;
        const double radius = i % 2 == 0 ? outer : inner;
        points[i] = {static_cast<LONG>(std::lround(cx + radius * std::cos(angle))),
                     static_cast<LONG>(std::lround(cy + radius * std::sin(angle)))};
    }
    Selected brush(dc, CreateSolidBrush(marked ? kStar : kBackground));
    // An outline as wide as the panel's other lines at this DPI, its corners rounded.
    const LOGBRUSH stroke{BS_SOLID, marked ? kStar : outline, 0};
    Selected pen(dc, ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_ROUND | PS_ENDCAP_ROUND,
                                  static_cast<DWORD>(l.px(1)), &stroke, 0, nullptr));
    Polygon(dc, points, 10);
}

void slider(HDC dc, const Layout& l, const RECT& r, long long low, long long high, long long value,
            bool enabled) {
    const int cy = (r.top + r.bottom) / 2;
    fill(dc, {r.left, cy - l.px(2), r.right, cy + l.px(2)}, enabled ? kFace : kDisabled);
    if (!enabled || high <= low)
        return;
    const long long span = high - low;
    const long long clamped = value < low ? low : value > high ? high : value;
    const int x = r.left + static_cast<int>((r.right - r.left) * (clamped - low) / span);
    fill(dc, {r.left, cy - l.px(2), x, cy + l.px(2)}, kAccent);
    fill(dc, {x - l.px(4), r.top, x + l.px(4), r.bottom}, kText);
}

// The keyboard's focus: an outline around the control, outside what it draws.
void focusRing(HDC dc, const Layout& l, RECT r) {
    InflateRect(&r, l.px(2), l.px(2));
    const Selected pen(dc, CreatePen(PS_SOLID, l.px(1), kFocus));
    const Selected hollow(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

} // namespace

std::wstring titleLine(const PanelState& s) {
    switch (s.player) {
    case PlayerStatus::Absent:
        return L"Player not running";
    case PlayerStatus::Starting:
        return L"Player starting\u2026";
    case PlayerStatus::NotResponding:
        return L"Player not responding";
    case PlayerStatus::Running:
        break;
    }
    return s.title;
}

std::wstring detailsLine(const PanelState& s) {
    if (!s.problem.empty())
        return s.problem;
    if (s.player != PlayerStatus::Running) // the state is in the title line; the name goes here
        return s.name;
    std::wstring details = s.artist;
    if (!s.album.empty())
        details += (details.empty() ? L"" : L"  \u00b7  ") + s.album;
    return details;
}

std::wstring timeText(const PanelState& s) {
    // A player that does not answer has no time: an old one would look current; nor has
    // one whose first answers have not come.
    if (s.player == PlayerStatus::NotResponding || s.player == PlayerStatus::Starting)
        return L"";
    const bool counting = !s.time.empty() && s.time != L"--:--";
    return counting && s.remaining ? kMinus + s.time : s.time;
}

void paintPanel(HDC dc, const Layout& l, const PanelState& s, const PanelView& view) {
    fill(dc, {0, 0, l.width, l.height}, kBackground);
    SetBkMode(dc, TRANSPARENT);
    const bool running = s.player == PlayerStatus::Running;
    {
        Selected big(dc, panelFont(l.px(15), FW_SEMIBOLD));
        text(dc, l, l.title, titleLine(s), running ? kText : kDim, running && s.scrollTitle, view.scrollStep);
        text(dc, l, l.time, timeText(s), running ? kText : kDim, false, 0, true);
    }
    {
        Selected small(dc, panelFont(l.px(12), FW_NORMAL));
        text(dc, l, l.details, detailsLine(s), s.problem.empty() ? kDim : kWarning,
             running && s.problem.empty() && s.scrollDetails, view.scrollStep);
    }
    const auto value = [&](Control slider, long long current) {
        return view.dragging == slider ? view.dragValue : current;
    };
    slider(dc, l, l.trackSlider, s.trackLow, s.trackHigh, value(Control::TrackSlider, s.track),
           s.offers(Control::TrackSlider));
    for (Control c : {Control::Prev, Control::PlayPause, Control::Stop, Control::Next, Control::Shuffle,
                      Control::Repeat, Control::Mute, Control::Playlist}) {
        // A control that cannot be used is drawn plainly: no state shows on it.
        const bool enabled = s.offers(c);
        const bool lit = running && enabled && s.on(c);
        const RECT& r = rectOf(l, c);
        button(dc, r, lit);
        icon(dc, l, r, c, s, enabled ? kText : kDisabled, lit);
    }
    for (std::size_t i = 0; i < s.stars.size(); ++i)
        star(dc, l, l.stars[i], s.offers(Control::Star1) && s.stars[i],
             s.offers(Control::Star1) ? kDim : kDisabled);
    slider(dc, l, l.volumeSlider, s.volumeLow, s.volumeHigh, value(Control::VolumeSlider, s.volume),
           s.offers(Control::VolumeSlider));
    if (view.focused != Control::None)
        focusRing(dc, l, rectOf(l, view.focused));
}

} // namespace player_panel
