#include "MenuEntry.h"

#include "PanelText.h"
#include "Selected.h"

namespace player_panel {
namespace {

constexpr int kTickColumn = 22; // room for the tick left of the text
constexpr int kRightMargin = 16;
constexpr int kVerticalMargin = 3;

// The system's menu font, made once for the panel's life: made for each entry, it
// cost half a second in a menu of 10,000 entries.
HFONT menuFont() {
    static const HFONT font = [] {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        return CreateFontIndirectW(&metrics.lfMenuFont);
    }();
    return font;
}

// The menu font selected into a DC for a scope.
class MenuFontSelected {
public:
    explicit MenuFontSelected(HDC dc) : dc_(dc), old_(SelectObject(dc, menuFont())) {}
    ~MenuFontSelected() { SelectObject(dc_, old_); }
    MenuFontSelected(const MenuFontSelected&) = delete;
    MenuFontSelected& operator=(const MenuFontSelected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Half the screen's width, asked once: under Wine's X11 driver each question goes to
// the X server, and a menu asks for every entry.
int widestText() {
    static const int widest = GetSystemMetrics(SM_CXSCREEN) / 2;
    return widest;
}

// A tick as two strokes, in the text's colour: fonts disagree on a check-mark character.
void tick(HDC dc, const RECT& entry, COLORREF color) {
    const int x = entry.left + kTickColumn / 2, y = (entry.top + entry.bottom) / 2;
    const POINT strokes[] = {{x - 4, y}, {x - 1, y + 3}, {x + 5, y - 4}};
    const Selected pen(dc, CreatePen(PS_SOLID, 2, color));
    Polyline(dc, strokes, 3);
}

} // namespace

SIZE measureMenuEntry(HDC dc, const std::wstring& text) {
    const MenuFontSelected font(dc);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return {kTickColumn + textWidth(dc, fitted(dc, text, widestText())) + kRightMargin,
            metrics.tmHeight + 2 * kVerticalMargin};
}

void paintMenuEntry(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF ink = GetSysColor((item.itemState & ODS_GRAYED) != 0 ? COLOR_GRAYTEXT
                                     : selected                         ? COLOR_HIGHLIGHTTEXT
                                                                        : COLOR_MENUTEXT);
    const int saved = SaveDC(dc); // the menu's DC goes back as it came
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if ((item.itemState & ODS_CHECKED) != 0)
        tick(dc, r, ink);
    {
        const MenuFontSelected font(dc);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const auto& text = *reinterpret_cast<const std::wstring*>(item.itemData);
        const int room = r.right - r.left - kTickColumn - kRightMargin;
        drawTextAt(dc, r.left + kTickColumn, (r.top + r.bottom - metrics.tmHeight) / 2,
                   fitted(dc, text, room));
    }
    RestoreDC(dc, saved);
}

LRESULT entryStartingWith(HMENU menu, wchar_t typed) {
    const int count = GetMenuItemCount(menu);
    int highlighted = -1, next = -1, matches = 0;
    for (int i = 0; i < count; ++i) {
        const UINT position = static_cast<UINT>(i);
        if ((GetMenuState(menu, position, MF_BYPOSITION) & MF_HILITE) != 0)
            highlighted = i;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        if (!GetMenuItemInfoW(menu, position, TRUE, &info) || (info.fType & MFT_OWNERDRAW) == 0 ||
            info.dwItemData == 0)
            continue; // not an entry: its data is no text
        const auto& text = *reinterpret_cast<const std::wstring*>(info.dwItemData);
        if (text.empty() || CompareStringOrdinal(text.c_str(), 1, &typed, 1, TRUE) != CSTR_EQUAL)
            continue;
        ++matches;
        if (next < 0 || (next <= highlighted && i > highlighted))
            next = i; // the first after the highlighted one, else the first of all
    }
    if (matches == 0)
        return MAKELRESULT(0, MNC_IGNORE);
    return MAKELRESULT(next, matches == 1 ? MNC_EXECUTE : MNC_SELECT);
}

} // namespace player_panel
