#include "HostRefresh.h"

#include <cwchar>
#include <iterator>

namespace tools {

const std::array<const wchar_t*, kHostRefreshCalls> kHostRefreshNames = {
    L"getState playpause", L"getState shuffle", L"getState repeat",     L"getState mute",
    L"getText title",      L"getText artist",   L"getText album",       L"getText tracktime",
    L"getProp volume 3",   L"getProp volume 5", L"getProp tracktime 3", L"getProp tracktime 5",
    L"getProp needsave 0"};

RefreshAnswers hostRefresh(const PluginLibrary& plugin, PlayerInstance* instance) {
    RefreshAnswers answers;
    std::size_t call = 0;
    const auto fresh = [&answers, &call]() -> wchar_t* {
        wchar_t* buffer = answers.each[call++].data();
        lstrcpyW(buffer, kUntouched);
        return buffer;
    };
    for (const wchar_t* name : {L"playpause", L"shuffle", L"repeat", L"mute"})
        plugin.getState(instance, name, fresh());
    for (const wchar_t* name : {L"title", L"artist", L"album", L"tracktime"})
        plugin.getText(instance, name, fresh(), static_cast<int>(answers.each[0].size()));
    answers.title = answers.each[4].data();
    if (answers.title == kUntouched)
        answers.title.clear();
    const std::pair<const wchar_t*, int> properties[] = {
        {L"volume", 3}, {L"volume", 5}, {L"tracktime", 3}, {L"tracktime", 5}, {L"needsave", 0}};
    for (const auto& [name, kind] : properties) {
        const int number = plugin.getProp(instance, name, kind);
        if (call == 9)
            answers.volume = number;
        swprintf(answers.each[call++].data(), answers.each[0].size(), L"%d", number);
    }
    return answers;
}

} // namespace tools
