// DisplaySettings: the plug-in's display settings as a host keeps them, in the
// [player] section of an INI file. Restored into the instance at start; written back
// whenever what the plug-in reads out differs from what the file holds, whether or
// not a player ran. Values are read with overflow checks; every write is checked.
#pragma once

#include "PluginLibrary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tools {

// Where a tool keeps its settings unless told otherwise: %APPDATA%\player\NAME, a folder
// the user can write to wherever the tool is installed.
std::wstring defaultSettingsPath(const wchar_t* fileName);

// A display setting as the plug-in reads it out now ("trackTime", ...).
std::optional<std::int32_t> currentSetting(const PluginLibrary& plugin, PlayerInstance* instance,
                                           const wchar_t* name);

class DisplaySettings {
public:
    // `path` as the user gave it; the profile functions get its full form, since they
    // take a bare name for one in the Windows folder. The default path's folder is made
    // at the first save; a folder the user named must exist.
    DisplaySettings(const PluginLibrary& plugin, PlayerInstance* instance, std::wstring path);

    // Restores what the file holds, if it exists; returns one warning for each value
    // that is no 32-bit number (the plug-in's own value is kept for it).
    std::vector<std::wstring> restore();

    // Writes the settings when they differ from what the file holds, so that the file
    // always holds what the plug-in reads out.
    enum class Saved { Unchanged, Written, Failed };
    Saved saveIfChanged(std::wstring& error);
    // Writes them whether or not they changed, so that the file exists to be opened.
    Saved save(std::wstring& error);
    // Why nothing can be saved where the file is to go (a folder the user named that
    // does not exist), in words; empty when it can.
    std::wstring whyUnsavable() const;

    // A setting as the plug-in reads it out now ("trackTime", ...).
    std::optional<std::int32_t> value(const wchar_t* name) const;
    const std::wstring& path() const { return path_; }
    // The file's full path, for the profile functions and for opening it.
    const std::wstring& fullPath() const { return fullPath_; }

private:
    std::vector<PlayerParam> current() const;
    Saved write(const std::vector<PlayerParam>& settings, std::wstring& error);

    const PluginLibrary& plugin_;
    PlayerInstance* instance_;
    std::wstring path_;
    std::wstring fullPath_;
    std::vector<PlayerParam> inFile_; // what the file holds: restored, then saved
};

} // namespace tools
