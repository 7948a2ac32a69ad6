#include "HostRefresh.h"

#include <cwchar>
#include <iterator>

namespace tools {

const std::array<const wchar_t*, kBusyHostRefreshCalls> kHostRefreshNames = {
    L"getState playpause", L"getState shuffle",   L"getState repeat",     L"getState mute",
    L"getText title",      L"getText artist",     L"getText album",       L"getText tracktime",
    L"getProp volume 3",   L"getProp volume 5",   L"getProp tracktime 3", L"getProp tracktime 5",
    L"getProp needsave 0", L"getText tipcaption", L"getState rating1",    L"getProp playpause 2"};

RefreshAnswers hostRefresh(const PluginLibrary& plugin, PlayerInstance* instance, int calls) {
    RefreshAnswers answers;
    answers.calls = calls < kBusyHostRefreshCalls ? kHostRefreshCalls : kBusyHostRefreshCalls;
    std::size_t call = 0;
    const int size = static_cast<int>(answers.each[0].size());
    const auto fresh = [&answers, &call]() -> wchar_t* {
        wchar_t* buffer = answers.each[call++].data();
        lstrcpyW(buffer, kUntouched);
        return buffer;
    };
    const auto number = [&answers, &call](int value) {
        swprintf(answers.each[call++].data(), answers.each[0].size(), L"%d", value);
    };
    for (const wchar_t* name : {L"playpause", L"shuffle", L"repeat", L"mute"})
        plugin.getState(instance, name, fresh());
    for (const wchar_t* name : {L"title", L"artist", L"album", L"tracktime"})
        plugin.getText(instance, name, fresh(), size);
    answers.title = answers.each[4].data();
    if (answers.title == kUntouched)
        answers.title.clear();
    const std::pair<const wchar_t*, int> properties[] = {
        {L"volume", 3}, {L"volume", 5}, {L"tracktime", 3}, {L"tracktime", 5}, {L"needsave", 0}};
    for (const auto& [name, kind] : properties) {
        const int value = plugin.getProp(instance, name, kind);
        if (call == 9)
            answers.volume = value;
        number(value);
    }
    if (answers.calls == kBusyHostRefreshCalls) {
        plugin.getText(instance, L"tipcaption", fresh(), size);
        plugin.getState(instance, L"rating1", fresh());
        number(plugin.getProp(instance, L"playpause", 2));
    }
    return answers;
}

RefreshVerdict classify(const RefreshAnswers& got, const RefreshAnswers& answered,
                        const RefreshAnswers& absent) {
    RefreshVerdict verdict;
    for (int i = 0; i < got.calls; ++i) {
        const std::wstring value = got.each[i].data();
        if (value == answered.each[i].data()) {
            ++verdict.player;
            verdict.answered[i] = true;
        } else if (value == absent.each[i].data()) {
            ++verdict.absent;
        } else {
            ++verdict.other;
        }
    }
    return verdict;
}

} // namespace tools
