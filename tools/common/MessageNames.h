// Names of the remote-control window's messages, for logs and reports, made from
// the protocol's one list in PlayerRemote.h.
#pragma once

#include "PlayerRemote.h"

namespace tools {

struct MessageName {
    UINT message;
    const wchar_t* name;
    const char* meaning;
};

#define TOOLS_MESSAGE_NAME(name, offset, meaning) {name, L## #name, meaning},
inline constexpr MessageName MessageNames[] = {PLAYER_REMOTE_MESSAGES(TOOLS_MESSAGE_NAME)};
#undef TOOLS_MESSAGE_NAME

inline const wchar_t* messageName(UINT message) {
    for (const MessageName& entry : MessageNames)
        if (entry.message == message)
            return entry.name;
    return L"?";
}

} // namespace tools
