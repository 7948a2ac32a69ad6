#include "player/Settings.h"

#include "player/BoundedCopy.h"
#include "player/NameTable.h"
#include "player/PublicNames.h"

#include <shlwapi.h>
#include <cstdint>
#include <iterator>

namespace player {
namespace {

inline constexpr SettingRow SettingTable[] = {
    {L"scrollAlbum", &PlayerInstance::scrollAlbum},
    {L"scrollArtist", &PlayerInstance::scrollArtist},
    {L"scrollTitle", &PlayerInstance::scrollTitle},
    {L"scrollTrackName", &PlayerInstance::scrollTrackName},
    {L"trackTime", &PlayerInstance::trackTime},
    {L"volume", &PlayerInstance::volume},
    {nullptr, nullptr},
};
static_assert(std::size(SettingTable) == kSettingCount + 1);
// The header lists these keys for hosts, in this order.
static_assert(rowsNamed(SettingTable, kSettingNames) && rowCount(SettingTable) == std::size(kSettingNames));

constexpr std::size_t kNameUnits = sizeof(PlayerParam::name) / sizeof(wchar_t);

bool terminatedWithinRecord(const PlayerParam& param) noexcept {
    for (std::size_t i = 0; i < kNameUnits; ++i)
        if (param.name[i] == L'\0')
            return true;
    return false;
}

} // namespace

int readSettings(PlayerInstance& instance, PlayerParam* params) noexcept {
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingRow& row = SettingTable[i];
        copyBounded(params[i].name, kNameUnits, row.name);
        params[i].reserved = 0;
        params[i].value = instance.*row.field;
    }
    instance.needSave = 0;
    return kSettingCount;
}

void writeSettings(PlayerInstance& instance, const PlayerParam* params, int count) noexcept {
    if (params != nullptr) {
        for (int i = 0; i < count; ++i) {
            if (!terminatedWithinRecord(params[i]))
                continue;
            if (const SettingRow* row = findRow(SettingTable, params[i].name, StrCmpIW))
                instance.*row->field = params[i].value;
        }
    }
    instance.needSave = 0;
}

} // namespace player
