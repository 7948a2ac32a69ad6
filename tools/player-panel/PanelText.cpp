#include "PanelText.h"

#include "Selected.h"

#include <usp10.h>

#include <string>
#include <vector>

namespace player_panel {
namespace {

bool highSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// A mark that sits above its letter (a grave, an acute, a tilde...).
bool markAbove(wchar_t c) {
    return (c >= 0x300 && c <= 0x314) || c == 0x31A || (c >= 0x33D && c <= 0x344) || c == 0x346 ||
           (c >= 0x34A && c <= 0x34C) || (c >= 0x350 && c <= 0x352) || c == 0x357 || c == 0x35B ||
           (c >= 0x363 && c <= 0x36F);
}

bool combining(wchar_t c) {
    return c >= 0x300 && c <= 0x36F;
}

// One stretch of text drawn one way: with the DC's font, the symbol font, or, for a
// mark above a capital, with the DC's font raised: GDI places a mark where it sits
// over a small letter, into the top of a capital ("Ọ̀").
enum class RunKind { Plain, Symbol, RaisedMark };
struct Run {
    std::wstring text;
    RunKind kind;
};

std::vector<Run> runsOf(const std::wstring& text) {
    std::vector<Run> runs;
    wchar_t base = 0; // the letter the marks that follow belong to
    for (std::size_t i = 0; i < text.size();) {
        const bool symbol = highSurrogate(text[i]) && i + 1 < text.size();
        const std::size_t length = symbol ? 2 : 1;
        const RunKind kind = symbol                                                  ? RunKind::Symbol
                             : markAbove(text[i]) && base != 0 && IsCharUpperW(base) ? RunKind::RaisedMark
                                                                                     : RunKind::Plain;
        if (!combining(text[i]))
            base = symbol ? 0 : text[i];
        if (runs.empty() || runs.back().kind != kind)
            runs.push_back({L"", kind});
        runs.back().text.append(text, i, length);
        i += length;
    }
    return runs;
}

// How far a mark above a capital goes up: from where it sits over a small letter.
int capitalRaise(HDC dc) {
    OUTLINETEXTMETRICW metrics{};
    metrics.otmSize = sizeof metrics;
    if (GetOutlineTextMetricsW(dc, sizeof metrics, &metrics) != 0 &&
        metrics.otmsCapEmHeight > metrics.otmsXHeight)
        return static_cast<int>(metrics.otmsCapEmHeight - metrics.otmsXHeight);
    TEXTMETRICW text{};
    GetTextMetricsW(dc, &text);
    return text.tmAscent / 4;
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

// The symbol font at the size of the DC's font. Bold at least, and without smoothing:
// Symbola draws many symbols (🌙) as thin outlines, which smoothed at text sizes come
// out as a pale trace rather than in their line's colour.
HFONT symbolFont(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const LONG weight = metrics.tmWeight > FW_BOLD ? metrics.tmWeight : FW_BOLD;
    return CreateFontW(-(metrics.tmHeight - metrics.tmInternalLeading), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                       DEFAULT_PITCH, symbolFamily(dc));
}

// The text composed (NFC): letters and marks as one character where Unicode has one.
std::wstring composed(const std::wstring& text) {
    if (text.empty())
        return text;
    const int length = static_cast<int>(text.size());
    const int room = NormalizeString(NormalizationC, text.c_str(), length, nullptr, 0);
    if (room <= 0)
        return text;
    std::wstring result(static_cast<std::size_t>(room), L'\0');
    const int written = NormalizeString(NormalizationC, text.c_str(), length, result.data(), room);
    if (written <= 0)
        return text;
    result.resize(static_cast<std::size_t>(written));
    return result;
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
    if (run.kind == RunKind::Symbol) {
        const Selected symbols(dc, symbolFont(dc));
        return Shaped(dc, run.text).width();
    }
    SIZE size{};
    GetTextExtentPoint32W(dc, run.text.c_str(), static_cast<int>(run.text.size()), &size);
    return size.cx;
}

} // namespace

HFONT panelFont(int height, int weight) {
    // Tahoma, or the face the system draws in its place (DejaVu Sans under Wine with the
    // bundle's font links), named as such: every text of the panel, the time's digits and
    // signs too, then comes from that one face at every size and weight, never from a
    // fallback the font mapper picks for a string that lacks the first face's letters.
    static const std::wstring face = [] {
        const HDC dc = CreateCompatibleDC(nullptr);
        const HFONT asked = CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                        DEFAULT_PITCH, L"Tahoma");
        wchar_t name[LF_FACESIZE] = L"Tahoma";
        {
            const Selected tahoma(dc, asked);
            if (GetTextFaceW(dc, LF_FACESIZE, name) == 0)
                lstrcpyW(name, L"Tahoma");
        }
        DeleteDC(dc);
        return std::wstring(name);
    }();
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str());
}

int textWidth(HDC dc, const std::wstring& text) {
    int width = 0;
    for (const Run& run : runsOf(composed(text)))
        width += runWidth(dc, run);
    return width;
}

void drawTextAt(HDC dc, int x, int y, const std::wstring& text) {
    for (const Run& run : runsOf(composed(text))) {
        if (run.kind == RunKind::Symbol) {
            const Selected symbols(dc, symbolFont(dc));
            const Shaped shaped(dc, run.text);
            shaped.draw(x, y);
            x += shaped.width();
        } else {
            const int top = run.kind == RunKind::RaisedMark ? y - capitalRaise(dc) : y;
            ExtTextOutW(dc, x, top, 0, nullptr, run.text.c_str(), static_cast<UINT>(run.text.size()),
                        nullptr);
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
