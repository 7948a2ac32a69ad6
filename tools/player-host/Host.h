// Host: one plug-in instance as a host application holds it, with the small
// helpers a host needs around the raw exports, and the display settings kept in an
// INI file: restored into the instance at start, written back when the plug-in
// reports that they changed.
#pragma once

#include "PluginLibrary.h"

#include <optional>
#include <string>

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

    // Restores the settings from the INI file, if it exists.
    void restoreSettings() const;
    // Writes the settings to the INI file when the plug-in reports a change; true if written.
    bool saveSettingsIfChanged() const;
    const std::wstring& iniPath() const { return iniPath_; }

private:
    const tools::PluginLibrary& plugin_;
    PlayerInstance* instance_;
    std::wstring iniPath_;
};

} // namespace player_host
