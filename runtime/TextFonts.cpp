#include "TextFonts.h"

#include <algorithm>

namespace runtime {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

const std::shared_ptr<const FontMetrics>& fallbackMetrics()
{
    static const std::shared_ptr<const FontMetrics> metrics =
        std::make_shared<FallbackFontMetrics>();
    return metrics;
}

} // namespace

bool sameFontName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

FieldFonts::FieldFonts(const swf::MovieDefinition& movie, Host& host, const swf::EditText& field)
    : m_movie(movie), m_host(host), m_field(field)
{}

const swf::Font* FieldFonts::embeddedFont(const std::string& name, bool bold, bool italic)
{
    // The field's own font first: a movie may hold several of one name.
    if (m_field.fontId) {
        const swf::Font* own = m_movie.get<swf::Font>(*m_field.fontId);
        if (own && !own->glyphs.empty() && sameFontName(own->name, name) && own->bold == bold &&
            own->italic == italic)
            return own;
    }
    if (!m_scanned) {
        m_scanned = true;
        for (std::size_t id = 0; id < m_movie.idLimit(); ++id)
            if (const swf::Font* font = m_movie.get<swf::Font>(static_cast<swf::CharacterId>(id)))
                if (!font->glyphs.empty())
                    m_movieFonts.push_back(font);
    }
    const swf::Font* sameName = nullptr;
    for (const swf::Font* font : m_movieFonts) {
        if (!sameFontName(font->name, name))
            continue;
        if (font->bold == bold && font->italic == italic)
            return font;
        if (!sameName)
            sameName = font;
    }
    return sameName;
}

std::uint32_t FieldFonts::fontFor(const TextFormat& format, std::vector<LayoutFont>& fonts)
{
    const std::string name = format.font.value_or(kDefaultFontName);
    const bool bold = format.bold.value_or(false);
    const bool italic = format.italic.value_or(false);
    for (const Known& known : m_known)
        if (known.bold == bold && known.italic == italic && known.name == name)
            return known.index;

    LayoutFont font;
    font.bold = bold;
    font.italic = italic;
    if (m_field.useOutlines) {
        font.embedded = embeddedFont(name, bold, italic);
        if (font.embedded)
            font.metrics = std::make_shared<EmbeddedFontMetrics>(*font.embedded);
    } else {
        font.family = name;
        font.metrics = m_host.deviceFont(name, bold, italic);
        if (!font.metrics)
            font.metrics = fallbackMetrics();
    }
    const auto index = static_cast<std::uint32_t>(fonts.size());
    fonts.push_back(std::move(font));
    m_known.push_back({name, bold, italic, index});
    return index;
}

} // namespace runtime
