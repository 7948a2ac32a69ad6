// A look inside a plug-in instance, for the few facts that no export reports
// (the launch time, the path copy). The record is the library's own PlayerInstance.
#pragma once

#include "player/PlayerInstance.h"
#include "player/pluginApi.h"

namespace testing_support {

inline const player::PlayerInstance& record(player::PlayerInstance* instance) {
    return *instance;
}

} // namespace testing_support
