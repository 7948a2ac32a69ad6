// A look inside a plug-in instance, for the few facts that no export reports
// (the launch time, the path copy). The record is the library's own PlayerInstance.
#pragma once

#include "player/PlayerInstance.h"
#include "PlayerPlugin.h"

namespace testing_support {

inline const PlayerInstance& record(PlayerInstance* instance) {
    return *instance;
}

} // namespace testing_support
