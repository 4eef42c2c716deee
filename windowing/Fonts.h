#pragma once

#include <QFont>
#include <QString>

namespace windowing {

struct FontSpec {
    QString family;
    double points = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// The font a design names, at the pixel size its points have at 96 dpi (15 twips a
// pixel), so that the screen's own resolution never changes a layout. A family the
// system lacks is looked for among the fonts that other packages ship outside the
// system's font path, and otherwise replaced by a close sans-serif.
QFont designFont(const FontSpec& wanted);

// The height of one line as the original platform measures it: the font's Windows
// ascent plus its Windows descent, each scaled to the pixel size and rounded. Fonts
// without those metrics fall back to Qt's ascent plus descent.
int windowsLineHeight(const QFont& font);

} // namespace windowing
