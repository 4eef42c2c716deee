#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <QtEndian>
#include <cmath>
#include <mutex>

namespace windowing {

namespace {

// Fonts that packages install where the system's font configuration does not look;
// Wine's Tahoma is the one the window's design asks for.
struct KnownFontFile {
    const char* family;
    const char* path;
};
constexpr KnownFontFile kKnownFontFiles[] = {
    {"Tahoma", "/usr/share/wine/fonts/tahoma.ttf"},
    {"Tahoma", "/usr/share/wine/fonts/tahomabd.ttf"},
};

void registerMissingFamily(const QString& family)
{
    static std::mutex mutex;
    static QStringList tried;
    std::lock_guard lock(mutex);
    if (tried.contains(family))
        return;
    tried.append(family);
    if (QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return;
    for (const auto& known : kKnownFontFiles) {
        if (family.compare(QLatin1String(known.family), Qt::CaseInsensitive) == 0 &&
            QFile::exists(QString::fromLatin1(known.path)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(known.path));
    }
}

int pixelSizeForPoints(double points)
{
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

} // namespace

QFont designFont(const FontSpec& wanted)
{
    registerMissingFamily(wanted.family);
    QFont font;
    font.setFamilies({wanted.family, QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSizeForPoints(wanted.points));
    font.setWeight(wanted.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    font.setStrikeOut(wanted.strikeOut);
    return font;
}

int windowsLineHeight(const QFont& font)
{
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray head = raw.fontTable("head");
    // usWinAscent and usWinDescent sit at bytes 74 and 76 of OS/2; unitsPerEm at 18
    // of head.
    if (os2.size() >= 78 && head.size() >= 20) {
        const auto* o = reinterpret_cast<const uchar*>(os2.constData());
        const auto* h = reinterpret_cast<const uchar*>(head.constData());
        const double unitsPerEm = qFromBigEndian<quint16>(h + 18);
        if (unitsPerEm > 0) {
            const int pixelSize =
                font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
            const double scale = pixelSize / unitsPerEm;
            const double ascent = qFromBigEndian<quint16>(o + 74) * scale;
            const double descent = qFromBigEndian<quint16>(o + 76) * scale;
            return static_cast<int>(std::lround(ascent) + std::lround(descent));
        }
    }
    const QFontMetrics metrics(font);
    return metrics.ascent() + metrics.descent();
}

} // namespace windowing
