#pragma once

#include "runtime/ContextMenu.h"

#include <QPoint>

class QMenu;

namespace player {

class ShockwaveFlash;

// The player's context menu: the movie's own items first, then Play, Loop, Rewind,
// Forward, Back, Quality, Zoom In, Zoom Out and Show All, each acting on `player`, as far
// as the movie keeps them (`model`). A movie that hides the player's menu keeps Quality.
void showPlayerMenu(ShockwaveFlash& player, QPoint globalPosition,
                    const runtime::ContextMenuModel& model = {});
// The menu itself, for showing and for tests.
void buildPlayerMenu(QMenu& menu, ShockwaveFlash& player, const runtime::ContextMenuModel& model);

} // namespace player
