// What the panel's title line says over 20 s against a sluggish or pausing player, read
// ten times a second as a screen reader reads it: how often it said the player's
// title, "Player not responding" or anything else, and how many times it changed.
#pragma once

#include <string>

namespace bench {

std::wstring panelSteadyReport();

} // namespace bench
