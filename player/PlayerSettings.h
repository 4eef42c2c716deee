#pragma once

#include <QString>

namespace player {

// The player's stored settings, in the order the control saves them, with the values
// the main window's design gives it: a movie set later plays at once, loops, renders
// at high quality in its own window, shows all of itself and offers its context menu.
struct PlayerSettings {
    QString flashVars;
    QString movie;
    QString src;
    QString wmode = QStringLiteral("Window");
    bool play = true;
    bool loop = true;
    QString quality = QStringLiteral("High");
    QString salign;
    bool menu = true;
    QString base;
    QString allowScriptAccess;
    QString scale = QStringLiteral("ShowAll");
    bool deviceFont = false;
    bool embedMovie = false;
    QString bgColor;
    QString swRemote;
    QString movieData;
    bool seamlessTabbing = true;
    bool profile = false;
    QString profileAddress;
    int profilePort = 0;
    QString allowNetworking = QStringLiteral("all");
    QString allowFullScreen = QStringLiteral("false");
};

// Scale modes, as ScaleMode numbers them.
enum class ScaleMode : int { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };

ScaleMode scaleModeFromSetting(const QString& scale);

} // namespace player
