// The tests' own protocol list against the library's, checked as this file compiles.
#include "Protocol.h"
#include "PlayerRemote.h"

#include <string_view>

#define CHECK_MESSAGE(name, offset, meaning) static_assert(protocol::name == ::name, #name);
PLAYER_REMOTE_MESSAGES(CHECK_MESSAGE)
#undef CHECK_MESSAGE

static_assert(std::wstring_view(protocol::kWindowClass) == PLAYER_REMOTE_WINDOW_CLASS);
