// DisplaySettings: the plug-in's display settings as a host keeps them, in the
// [player] section of an INI file. Restored into the instance at start; written back
// when what the plug-in reads out differs from what was restored, whether or not a
// player ran. Values are read with overflow checks; every write is checked.
#pragma once

#include "PluginLibrary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tools {

class DisplaySettings {
public:
    // `path` as the user gave it; the profile functions get its full form, since they
    // take a bare name for one in the Windows folder.
    DisplaySettings(const PluginLibrary& plugin, PlayerInstance* instance, std::wstring path);

    // Restores what the file holds, if it exists; returns one warning for each value
    // that is no 32-bit number (the plug-in's own value is kept for it).
    std::vector<std::wstring> restore();

    enum class Saved { Unchanged, Written, Failed };
    Saved saveIfChanged(std::wstring& error) const;

    // A setting as the plug-in reads it out now ("trackTime", ...).
    std::optional<std::int32_t> value(const wchar_t* name) const;
    const std::wstring& path() const { return path_; }
    // The file's full path, for the profile functions and for opening it.
    const std::wstring& fullPath() const { return fullPath_; }

private:
    std::vector<PlayerParam> current() const;

    const PluginLibrary& plugin_;
    PlayerInstance* instance_;
    std::wstring path_;
    std::wstring fullPath_;
    std::vector<PlayerParam> restored_;
};

} // namespace tools
