// Host: one plug-in instance as a host application holds it, with the small
// helpers a host needs around the raw exports, and the display settings kept in an
// INI file: restored into the instance at start, written back when the plug-in
// reports that they changed.
#pragma once

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

    // The answer, or nothing when the plug-in left the buffer as it was.
    std::optional<std::wstring> state(const wchar_t* name) const;
    std::optional<std::wstring> text(const wchar_t* name, int size = 512) const;
    int prop(const wchar_t* name, int kind) const { return plugin_.getProp(instance_, name, kind); }
    void command(const wchar_t* name, int value) const { plugin_.sendCmd(instance_, name, value); }

    enum class Player { Absent, Responding, NotResponding };
    // Whether a player runs and answers, asked of its window directly within 1 second.
    static Player player();

    // Restores the settings from the INI file, if it exists. A value that is no 32-bit
    // number keeps the plug-in's own and is named in one warning line on standard error.
    void restoreSettings();

    enum class Saved { Unchanged, Written, Failed };
    // Writes the settings to the INI file when they differ from what was restored
    // (whether or not a player ran); on failure `error` says why.
    Saved saveSettingsIfChanged(std::wstring& error) const;
    // A display setting as the plug-in reads it out ("trackTime", ...).
    std::optional<std::int32_t> setting(const wchar_t* name) const;
    // The INI file's path as the user gave it.
    const std::wstring& iniPath() const { return iniPath_; }

private:
    std::vector<PlayerParam> settings() const;

    const tools::PluginLibrary& plugin_;
    PlayerInstance* instance_;
    std::wstring iniPath_; // as given
    std::wstring
        iniFullPath_; // for the profile functions, which take a bare name as one in the Windows folder
    std::vector<PlayerParam> restored_;
};

} // namespace player_host
