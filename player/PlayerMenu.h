#pragma once

#include <QPoint>

namespace player {

class ShockwaveFlash;

// The player's context menu: Play, Loop, Rewind, Forward, Back, Quality, Zoom In,
// Zoom Out and Show All, each acting on `player`.
void showPlayerMenu(ShockwaveFlash& player, QPoint globalPosition);

} // namespace player
