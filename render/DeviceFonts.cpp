#include "DeviceFonts.h"

#include <QFont>
#include <QString>
#include <QVector>

namespace render {

namespace {

// Families the library keeps at once: a movie names a handful; a script inventing
// names in a loop stops adding here.
constexpr std::size_t kMaxFamilies = 256;

QFont fontFor(const std::string& family, bool bold, bool italic)
{
    QFont font;
    const QString name = QString::fromUtf8(family.data(), qsizetype(family.size()));
    if (name == QLatin1String("_serif")) {
        font.setFamily(QStringLiteral("serif"));
        font.setStyleHint(QFont::Serif);
    } else if (name == QLatin1String("_typewriter")) {
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::TypeWriter);
    } else if (name.isEmpty() || name == QLatin1String("_sans")) {
        font.setFamily(QStringLiteral("sans-serif"));
        font.setStyleHint(QFont::SansSerif);
    } else {
        font.setFamily(name);
    }
    font.setBold(bold);
    font.setItalic(italic);
    font.setPixelSize(64);
    return font;
}

class RawFontMetrics : public runtime::FontMetrics {
public:
    explicit RawFontMetrics(QRawFont face) : m_face(std::move(face)) {}
    double unitsPerEm() const override { return m_face.unitsPerEm(); }
    double ascent() const override { return m_face.ascent(); }
    double descent() const override { return m_face.descent(); }
    std::optional<double> advance(char32_t code) const override
    {
        std::lock_guard lock(m_mutex);
        const QVector<quint32> glyphs = m_face.glyphIndexesForString(QString::fromUcs4(&code, 1));
        if (glyphs.size() != 1 || glyphs[0] == 0)
            return std::nullopt;
        const QVector<QPointF> advances =
            m_face.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
        return advances.isEmpty() ? 0.0 : advances[0].x();
    }

private:
    QRawFont m_face;
    mutable std::mutex m_mutex;
};

} // namespace

DeviceFonts& DeviceFonts::shared()
{
    // Never destroyed: its faces must not outlive the application's font database,
    // which goes before static objects do.
    static DeviceFonts* fonts = new DeviceFonts;
    return *fonts;
}

DeviceFonts::Entry& DeviceFonts::entry(const std::string& family, bool bold, bool italic)
{
    auto key = std::make_tuple(family, bold, italic);
    auto found = m_fonts.find(key);
    if (found != m_fonts.end())
        return found->second;
    if (m_fonts.size() >= kMaxFamilies) {
        // Past the cap every new name gets the generic sans face.
        key = std::make_tuple(std::string("_sans"), bold, italic);
        found = m_fonts.find(key);
        if (found != m_fonts.end())
            return found->second;
    }
    QRawFont face = QRawFont::fromFont(fontFor(std::get<0>(key), bold, italic));
    if (face.isValid())
        face.setPixelSize(face.unitsPerEm());
    Entry made;
    made.face = face;
    if (face.isValid())
        made.metrics = std::make_shared<RawFontMetrics>(face);
    return m_fonts.emplace(std::move(key), std::move(made)).first->second;
}

QRawFont DeviceFonts::face(const std::string& family, bool bold, bool italic)
{
    std::lock_guard lock(m_mutex);
    return entry(family, bold, italic).face;
}

std::shared_ptr<const runtime::FontMetrics> DeviceFonts::metrics(const std::string& family,
                                                                 bool bold, bool italic)
{
    std::lock_guard lock(m_mutex);
    return entry(family, bold, italic).metrics;
}

} // namespace render
