// Host: one plug-in instance as a host application holds it, with the small
// helpers a host needs around the raw exports, and the display settings kept in an
// INI file (tools::DisplaySettings).
#pragma once

#include "DisplaySettings.h"
#include "PluginLibrary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace player_host {

class Host {
public:
    Host(const tools::PluginLibrary& plugin, const std::wstring& exePath, std::wstring iniPath);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    const tools::PluginLibrary& plugin() const { return plugin_; }
    PlayerInstance* instance() const { return instance_; }
    // The player executable that "play" starts, as given.
    const std::wstring& exePath() const { return exePath_; }

    // The answer, or nothing when the plug-in left the buffer as it was.
    std::optional<std::wstring> state(const wchar_t* name) const;
    // The player's text, or nothing when it did not arrive. For "tracktime" and
    // "tipcaption" the plug-in writes a stand-in of its own ("--:--", its name) when the
    // player is absent or silent: that is no answer, and goes into `standIn` if given.
    std::optional<std::wstring> text(const wchar_t* name, int size = 512,
                                     std::optional<std::wstring>* standIn = nullptr) const;
    // The number, or nothing when it did not arrive: the plug-in answers 0 then, and
    // afterwards knows the player silent or gone.
    std::optional<int> prop(const wchar_t* name, int kind) const;
    void command(const wchar_t* name, int value) const { plugin_.sendCmd(instance_, name, value); }

    enum class Player { Absent, Responding, NotResponding };
    // What the plug-in knows of the player now (tools::playerPresence), without waiting:
    // a player no call has found silent yet counts as responding.
    Player player() const;

    // Restores the settings from the INI file, if it exists; a value that is no 32-bit
    // number keeps the plug-in's own and is named in one warning line on standard error.
    void restoreSettings();
    using Saved = tools::DisplaySettings::Saved;
    Saved saveSettingsIfChanged(std::wstring& error) { return settings_.saveIfChanged(error); }
    // A display setting as the plug-in reads it out ("trackTime", ...).
    std::optional<std::int32_t> setting(const wchar_t* name) const { return settings_.value(name); }
    // The INI file's path as the user gave it.
    const std::wstring& iniPath() const { return settings_.path(); }

private:
    const tools::PluginLibrary& plugin_;
    std::wstring exePath_;
    PlayerInstance* instance_;
    tools::DisplaySettings settings_;
};

} // namespace player_host
