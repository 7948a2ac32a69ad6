#include "HostRefresh.h"

#include <iterator>

namespace tools {

RefreshAnswers hostRefresh(const PluginLibrary& plugin, PlayerInstance* instance) {
    RefreshAnswers answers;
    wchar_t state[PLAYER_STATE_CAPACITY] = L"";
    for (const wchar_t* name : {L"playpause", L"shuffle", L"repeat", L"mute"})
        plugin.getState(instance, name, state);
    wchar_t text[256] = L"";
    plugin.getText(instance, L"title", text, static_cast<int>(std::size(text)));
    answers.title = text;
    for (const wchar_t* name : {L"artist", L"album", L"tracktime"})
        plugin.getText(instance, name, text, static_cast<int>(std::size(text)));
    plugin.getProp(instance, L"volume", 3);
    answers.volume = plugin.getProp(instance, L"volume", 5);
    plugin.getProp(instance, L"tracktime", 3);
    plugin.getProp(instance, L"tracktime", 5);
    plugin.getProp(instance, L"needsave", 0);
    return answers;
}

} // namespace tools
