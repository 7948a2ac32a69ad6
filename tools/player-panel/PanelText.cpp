#include "PanelText.h"

#include "Selected.h"

#include <usp10.h>

#include <vector>

namespace player_panel {
namespace {

bool highSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// One stretch of text drawn with one font: the DC's, or the symbol font.
struct Run {
    std::wstring text;
    bool symbol;
};

std::vector<Run> runsOf(const std::wstring& text) {
    std::vector<Run> runs;
    for (std::size_t i = 0; i < text.size();) {
        const bool symbol = highSurrogate(text[i]) && i + 1 < text.size();
        const std::size_t length = symbol ? 2 : 1;
        if (runs.empty() || runs.back().symbol != symbol)
            runs.push_back({L"", symbol});
        runs.back().text.append(text, i, length);
        i += length;
    }
    return runs;
}

int CALLBACK noteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool installed(HDC dc, const wchar_t* family) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, family, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, &noteFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// Windows' symbol font, or the one Debian installs for Wine.
const wchar_t* symbolFamily(HDC dc) {
    static const wchar_t* const family = installed(dc, L"Segoe UI Symbol") ? L"Segoe UI Symbol" : L"Symbola";
    return family;
}

// The symbol font at the size and weight of the DC's font.
HFONT symbolFont(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return CreateFontW(-(metrics.tmHeight - metrics.tmInternalLeading), 0, 0, 0, metrics.tmWeight, FALSE,
                       FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       ANTIALIASED_QUALITY, DEFAULT_PITCH, symbolFamily(dc));
}

// Shapes a run of symbols with Uniscribe, which reads the font's own character map.
class Shaped {
public:
    Shaped(HDC dc, const std::wstring& text) {
        const int length = static_cast<int>(text.size());
        if (FAILED(ScriptStringAnalyse(dc, text.c_str(), length, length * 3 / 2 + 16, -1, SSA_GLYPHS, 0,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, &analysis_)))
            analysis_ = nullptr;
    }
    ~Shaped() {
        if (analysis_ != nullptr)
            ScriptStringFree(&analysis_);
    }
    Shaped(const Shaped&) = delete;
    Shaped& operator=(const Shaped&) = delete;

    int width() const {
        const SIZE* size = analysis_ != nullptr ? ScriptString_pSize(analysis_) : nullptr;
        return size != nullptr ? size->cx : 0;
    }
    void draw(int x, int y) const {
        if (analysis_ != nullptr)
            ScriptStringOut(analysis_, x, y, 0, nullptr, 0, 0, FALSE);
    }

private:
    SCRIPT_STRING_ANALYSIS analysis_ = nullptr;
};

int runWidth(HDC dc, const Run& run) {
    if (run.symbol) {
        const Selected symbols(dc, symbolFont(dc));
        return Shaped(dc, run.text).width();
    }
    SIZE size{};
    GetTextExtentPoint32W(dc, run.text.c_str(), static_cast<int>(run.text.size()), &size);
    return size.cx;
}

} // namespace

int textWidth(HDC dc, const std::wstring& text) {
    int width = 0;
    for (const Run& run : runsOf(text))
        width += runWidth(dc, run);
    return width;
}

void drawTextAt(HDC dc, int x, int y, const std::wstring& text) {
    for (const Run& run : runsOf(text)) {
        if (run.symbol) {
            const Selected symbols(dc, symbolFont(dc));
            const Shaped shaped(dc, run.text);
            shaped.draw(x, y);
            x += shaped.width();
        } else {
            ExtTextOutW(dc, x, y, 0, nullptr, run.text.c_str(), static_cast<UINT>(run.text.size()), nullptr);
            x += runWidth(dc, run);
        }
    }
}

std::wstring fitted(HDC dc, const std::wstring& text, int room) {
    if (textWidth(dc, text) <= room)
        return text;
    static constexpr wchar_t kEllipsis[] = L"\u2026";
    const auto shortened = [&text](std::size_t keep) {
        std::wstring cut = text.substr(0, keep);
        if (!cut.empty() && highSurrogate(cut.back()))
            cut.pop_back(); // never half a character
        while (!cut.empty() && cut.back() == L' ')
            cut.pop_back();
        return cut + kEllipsis;
    };
    // The longest start of the text that fits with the ellipsis: found by halving.
    std::size_t low = 0, high = text.size();
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        if (textWidth(dc, shortened(middle)) <= room)
            low = middle;
        else
            high = middle - 1;
    }
    return shortened(low);
}

} // namespace player_panel
