#include "PlayerSettings.h"

namespace player {

ScaleMode scaleModeFromSetting(const QString& scale)
{
    if (scale.compare(QLatin1String("NoBorder"), Qt::CaseInsensitive) == 0)
        return ScaleMode::NoBorder;
    if (scale.compare(QLatin1String("ExactFit"), Qt::CaseInsensitive) == 0)
        return ScaleMode::ExactFit;
    if (scale.compare(QLatin1String("NoScale"), Qt::CaseInsensitive) == 0)
        return ScaleMode::NoScale;
    return ScaleMode::ShowAll;
}

} // namespace player
