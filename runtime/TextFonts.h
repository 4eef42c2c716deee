#pragma once

#include "Host.h"
#include "TextLayout.h"

#include <string>
#include <vector>

namespace runtime {

// The fonts of one field's text: with embedded fonts on, the movie's font of the
// format's name and style; otherwise the system font of that name, as the host
// measures it.
class FieldFonts : public LayoutFontSource {
public:
    FieldFonts(const swf::MovieDefinition& movie, Host& host, const swf::EditText& field);
    std::uint32_t fontFor(const TextFormat& format, std::vector<LayoutFont>& fonts) override;

private:
    const swf::Font* embeddedFont(const std::string& name, bool bold, bool italic);

    struct Known {
        std::string name;
        bool bold = false, italic = false;
        std::uint32_t index = 0;
    };
    const swf::MovieDefinition& m_movie;
    Host& m_host;
    const swf::EditText& m_field;
    std::vector<Known> m_known;
    std::vector<const swf::Font*> m_movieFonts;
    bool m_scanned = false;
};

// Font names match whatever their letters' case.
bool sameFontName(std::string_view a, std::string_view b);

} // namespace runtime
