#include "HotkeyBinding.h"

#include <cwctype>
#include <iterator>

namespace player_panel {
namespace {

struct Named {
    const wchar_t* name;
    UINT code;
};

constexpr Named kModifiers[] = {
    {L"ctrl", MOD_CONTROL}, {L"alt", MOD_ALT}, {L"shift", MOD_SHIFT}, {L"win", MOD_WIN}};

constexpr Named kKeys[] = {
    {L"space", VK_SPACE},
    {L"left", VK_LEFT},
    {L"right", VK_RIGHT},
    {L"up", VK_UP},
    {L"down", VK_DOWN},
    {L"home", VK_HOME},
    {L"end", VK_END},
    {L"pageup", VK_PRIOR},
    {L"pagedown", VK_NEXT},
    {L"insert", VK_INSERT},
    {L"delete", VK_DELETE},
    {L"mediaplaypause", VK_MEDIA_PLAY_PAUSE},
    {L"medianext", VK_MEDIA_NEXT_TRACK},
    {L"mediaprev", VK_MEDIA_PREV_TRACK},
    {L"mediastop", VK_MEDIA_STOP},
    {L"volumeup", VK_VOLUME_UP},
    {L"volumedown", VK_VOLUME_DOWN},
    {L"volumemute", VK_VOLUME_MUTE},
};

std::optional<UINT> keyCode(const std::wstring& name) {
    if (name.size() == 1 && ((name[0] >= L'a' && name[0] <= L'z') || (name[0] >= L'0' && name[0] <= L'9')))
        return static_cast<UINT>(std::towupper(name[0]));
    if (name.size() >= 2 && name.size() <= 3 && name[0] == L'f' &&
        name.find_first_not_of(L"0123456789", 1) == std::wstring::npos) {
        const int n = std::stoi(name.substr(1));
        if (n >= 1 && n <= 24)
            return static_cast<UINT>(VK_F1 + n - 1);
    }
    for (const Named& key : kKeys)
        if (name == key.name)
            return key.code;
    return std::nullopt;
}

} // namespace

std::optional<HotkeyBinding> parseHotkey(const std::wstring& text) {
    std::wstring lower;
    for (wchar_t c : text)
        if (c != L' ')
            lower += static_cast<wchar_t>(std::towlower(c));
    HotkeyBinding binding{0, 0};
    std::size_t start = 0;
    while (true) {
        const std::size_t plus = lower.find(L'+', start);
        const std::wstring part =
            lower.substr(start, plus == std::wstring::npos ? std::wstring::npos : plus - start);
        if (plus == std::wstring::npos) {
            const std::optional<UINT> key = keyCode(part);
            if (!key)
                return std::nullopt;
            binding.key = *key;
            return binding;
        }
        bool known = false;
        for (const Named& modifier : kModifiers)
            if (part == modifier.name) {
                binding.modifiers |= modifier.code;
                known = true;
            }
        if (!known)
            return std::nullopt;
        start = plus + 1;
    }
}

} // namespace player_panel
