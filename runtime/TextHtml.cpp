#include "TextHtml.h"

#include "Limits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace runtime {

namespace {

char16_t lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool sameName(std::u16string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != static_cast<char16_t>(b[i]))
            return false;
    return true;
}

// Tag names match whatever their letters' case.
bool sameTag(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

struct Attribute {
    std::u16string_view name;
    std::u16string_view value;
};

struct Tag {
    std::u16string_view name;
    bool closing = false;
    std::vector<Attribute> attributes;

    std::optional<std::u16string_view> attribute(std::string_view key) const
    {
        for (const Attribute& a : attributes)
            if (sameName(a.name, key))
                return a.value;
        return std::nullopt;
    }
};

// The inside of <...>; false when an attribute has no quoted value.
bool readTag(std::u16string_view body, Tag& tag)
{
    std::size_t i = 0;
    auto skipSpace = [&] {
        while (i < body.size() && isSpace(body[i]))
            ++i;
    };
    skipSpace();
    if (i < body.size() && body[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    const std::size_t nameStart = i;
    while (i < body.size() && !isSpace(body[i]) && body[i] != u'/')
        ++i;
    tag.name = body.substr(nameStart, i - nameStart);
    while (true) {
        skipSpace();
        if (i >= body.size() || body[i] == u'/')
            return true;
        const std::size_t keyStart = i;
        while (i < body.size() && !isSpace(body[i]) && body[i] != u'=')
            ++i;
        Attribute attribute{body.substr(keyStart, i - keyStart), {}};
        skipSpace();
        if (i >= body.size() || body[i] != u'=') {
            tag.attributes.push_back(attribute);
            continue;
        }
        ++i;
        skipSpace();
        if (i >= body.size() || (body[i] != u'"' && body[i] != u'\''))
            return false;
        const char16_t quote = body[i++];
        const std::size_t valueStart = i;
        while (i < body.size() && body[i] != quote)
            ++i;
        if (i >= body.size())
            return false;
        attribute.value = body.substr(valueStart, i - valueStart);
        ++i;
        tag.attributes.push_back(attribute);
    }
}

std::optional<char32_t> decodeReference(std::u16string_view name)
{
    if (sameName(name, "lt"))
        return U'<';
    if (sameName(name, "gt"))
        return U'>';
    if (sameName(name, "amp"))
        return U'&';
    if (sameName(name, "quot"))
        return U'"';
    if (sameName(name, "apos"))
        return U'\'';
    if (sameName(name, "nbsp"))
        return U'\u00A0';
    if (name.size() < 2 || name[0] != u'#')
        return std::nullopt;
    const bool hex = name[1] == u'x' || name[1] == u'X';
    std::uint32_t code = 0;
    const std::size_t start = hex ? 2 : 1;
    if (start >= name.size())
        return std::nullopt;
    for (std::size_t i = start; i < name.size(); ++i) {
        const char16_t c = name[i];
        std::uint32_t digit = 0;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && lower(c) >= u'a' && lower(c) <= u'f')
            digit = lower(c) - u'a' + 10;
        else
            return std::nullopt;
        code = code * (hex ? 16 : 10) + digit;
        if (code > 0x10FFFF)
            return std::nullopt;
    }
    return static_cast<char32_t>(code);
}

// "#RRGGBB": after the "#" and any white space, hex digits up to the first other
// character, the low 24 bits kept. Nothing without the "#" or without a digit.
std::optional<std::uint32_t> parseColor(std::u16string_view text)
{
    if (text.empty() || text[0] != u'#')
        return std::nullopt;
    std::size_t i = 1;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    std::uint32_t value = 0;
    bool any = false;
    for (; i < text.size(); ++i) {
        const char16_t c = lower(text[i]);
        std::uint32_t digit = 0;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else
            break;
        value = ((value << 4) | digit) & 0xFFFFFF;
        any = true;
    }
    if (!any)
        return std::nullopt;
    return value;
}

// A whole number with an optional sign; `relative` tells whether a sign was given.
std::optional<std::int32_t> parseInteger(std::u16string_view text, bool* relative = nullptr)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (relative)
        *relative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        if (relative)
            *relative = true;
        ++i;
    }
    std::int64_t value = 0;
    const std::size_t digits = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 100'000'000)
        value = value * 10 + (text[i++] - u'0');
    if (i == digits)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::optional<swf::TextAlign> parseAlign(std::u16string_view text)
{
    if (sameName(text, "left"))
        return swf::TextAlign::Left;
    if (sameName(text, "right"))
        return swf::TextAlign::Right;
    if (sameName(text, "center"))
        return swf::TextAlign::Center;
    if (sameName(text, "justify"))
        return swf::TextAlign::Justify;
    return std::nullopt;
}

// The font sizes markup can give, in points.
constexpr std::int32_t kMinFontSize = 1;
constexpr std::int32_t kMaxFontSize = 127;

// "1,2,3": the whole numbers a list of stops starts with, up to the first that is not
// one, and no more than the field keeps.
std::vector<std::int32_t> tabStops(std::u16string_view text)
{
    std::vector<std::int32_t> stops;
    std::size_t start = 0;
    while (start <= text.size() && stops.size() < limits::kMaxTabStops) {
        const std::size_t comma = std::min(text.find(u',', start), text.size());
        const auto stop = parseInteger(text.substr(start, comma - start));
        if (!stop)
            break;
        stops.push_back(*stop);
        start = comma + 1;
    }
    return stops;
}

std::string narrow(std::u16string_view text)
{
    return toUtf8(text);
}

class Parser {
public:
    Parser(std::u16string_view html, const TextFormat& base, const HtmlOptions& options)
        : m_html(html), m_options(options)
    {
        m_stack.push_back({{}, base});
    }

    RichText run()
    {
        std::size_t i = 0;
        while (i < m_html.size()) {
            const char16_t c = m_html[i];
            if (c != u'<' && (i == 0 || m_html[i - 1] == u'>') && m_options.beforeSwf8) {
                const std::size_t end = std::min(m_html.find(u'<', i), m_html.size());
                const auto blank = m_html.substr(i, end - i);
                if (std::all_of(blank.begin(), blank.end(), isSpace)) {
                    i = end;
                    continue;
                }
            }
            if (c == u'<') {
                if (m_html.substr(i, 4) == u"<!--") {
                    const std::size_t end = m_html.find(u"-->", i + 4);
                    if (end == std::u16string_view::npos)
                        break;
                    i = end + 3;
                    continue;
                }
                const std::size_t close = m_html.find(u'>', i + 1);
                if (close == std::u16string_view::npos)
                    break;
                Tag tag;
                if (!readTag(m_html.substr(i + 1, close - i - 1), tag))
                    break;
                handle(tag);
                i = close + 1;
            } else if (c == u'&') {
                const std::size_t end = m_html.find(u';', i + 1);
                std::optional<char32_t> code;
                if (end != std::u16string_view::npos && end - i <= 10)
                    code = decodeReference(m_html.substr(i + 1, end - i - 1));
                if (code) {
                    text(*code);
                    i = end + 1;
                } else {
                    text(c);
                    ++i;
                }
            } else if (c == u'\r' || c == u'\n') {
                // A CR LF pair is one break.
                if (c == u'\r' && i + 1 < m_html.size() && m_html[i + 1] == u'\n')
                    ++i;
                ++i;
                if (m_options.condenseWhite)
                    space();
                else
                    sourceBreak();
            } else if (m_options.condenseWhite && isSpace(c)) {
                space();
                ++i;
            } else {
                text(c);
                ++i;
            }
        }
        flush();
        return std::move(m_out);
    }

private:
    struct Level {
        std::u16string_view tag;
        TextFormat format;
        // Inside an element its style sheet does not show.
        bool hidden = false;
        // The text's length when the element opened.
        std::size_t unitsAtStart = 0;
    };

    const TextFormat& current() const { return m_stack.back().format; }

    void flush()
    {
        if (!m_pending.empty())
            m_out.append(m_pending, m_pendingFormat);
        m_pending.clear();
    }

    void put(char16_t unit, const TextFormat& given)
    {
        // Text inside an open list item is bulleted, whatever paragraphs it is in.
        TextFormat format = given;
        if (m_openItems > 0)
            format.bullet = true;
        if (!m_pending.empty() && !(m_pendingFormat == format))
            flush();
        if (m_pending.empty())
            m_pendingFormat = format;
        m_pending.push_back(unit);
        if (unit == u'\r')
            m_lastFormat.reset();
        else
            m_lastFormat = format;
    }

    void text(char32_t code)
    {
        if (m_stack.back().hidden)
            return;
        if (code >= 0x10000) {
            code -= 0x10000;
            put(static_cast<char16_t>(0xD800 + (code >> 10)), current());
            put(static_cast<char16_t>(0xDC00 + (code & 0x3FF)), current());
        } else {
            put(static_cast<char16_t>(code), current());
        }
    }

    bool atParagraphStart() const
    {
        if (!m_pending.empty())
            return m_pending.back() == u'\r';
        const std::u16string& done = m_out.text();
        if (!m_options.multiline && !done.empty())
            return false;
        return done.empty() || done.back() == u'\r';
    }

    void space()
    {
        if (atParagraphStart())
            return;
        if (!m_pending.empty() && m_pending.back() == u' ')
            return;
        if (m_pending.empty() && !m_out.text().empty() && m_out.text().back() == u' ')
            return;
        text(u' ');
    }

    // A line end in the markup itself breaks the line, on one line or many.
    void sourceBreak() { put(u'\r', current()); }

    void lineBreak()
    {
        if (m_options.multiline)
            put(u'\r', current());
    }

    // The format of the break a closing P or LI adds. A list item's is the item's own;
    // a paragraph's is its last text's, or, with no text, the paragraph's settings on
    // the field's character format. Once a FONT element closes on no text at all, its
    // character attributes go to every later paragraph's break.
    TextFormat closingBreakFormat(bool item) const
    {
        TextFormat format = current();
        if (!item && m_lastFormat) {
            format = *m_lastFormat;
        } else if (!item) {
            const TextFormat& base = m_stack.front().format;
            format.font = base.font;
            format.size = base.size;
            format.color = base.color;
            format.bold = base.bold;
            format.italic = base.italic;
            format.underline = base.underline;
            format.url = base.url;
            format.target = base.target;
            format.kerning = base.kerning;
            format.letterSpacing = base.letterSpacing;
        }
        if (m_emptyFont && !item) {
            format.font = m_emptyFont->font;
            format.size = m_emptyFont->size;
            format.color = m_emptyFont->color;
            format.kerning = m_emptyFont->kerning;
            format.letterSpacing = m_emptyFont->letterSpacing;
        }
        return format;
    }

    void push(std::u16string_view tag, const TextFormat& format, bool hidden)
    {
        hidden = hidden || m_stack.back().hidden;
        if (m_stack.size() < limits::kMaxHtmlNesting)
            m_stack.push_back({tag, format, hidden, unitsSoFar()});
        else
            m_stack.back().format = format;
    }

    // The style sheet's style for `selector`, if it has one.
    const TextStyle* style(const std::string& selector) const
    {
        if (!m_options.styles)
            return nullptr;
        const auto found = m_options.styles->find(selector);
        return found == m_options.styles->end() ? nullptr : &found->second;
    }

    std::size_t unitsSoFar() const { return m_out.text().size() + m_pending.size(); }

    void pop(std::u16string_view tag)
    {
        for (std::size_t k = m_stack.size(); k > 1; --k) {
            if (sameTag(m_stack[k - 1].tag, tag)) {
                const Level& closed = m_stack[k - 1];
                if (sameName(closed.tag, "font") && closed.unitsAtStart == unitsSoFar())
                    m_emptyFont = closed.format;
                m_stack.resize(k - 1);
                return;
            }
        }
    }

    void handle(const Tag& tag)
    {
        const std::u16string_view name = tag.name;
        const bool paragraph = sameName(name, "p") || sameName(name, "li");
        const bool item = sameName(name, "li");
        if (tag.closing) {
            // Every element that ends a paragraph breaks the line (see
            // closingBreakFormat); a closing tag with nothing open to close is ignored.
            if (paragraph) {
                if (item ? m_openItems == 0 : !m_paragraphOpen)
                    return;
                if (m_options.multiline)
                    put(u'\r', closingBreakFormat(item));
                if (item)
                    --m_openItems;
                else
                    m_paragraphOpen = false;
            }
            // Other elements close only when they are the innermost open one.
            if (paragraph || (m_stack.size() > 1 && sameTag(m_stack.back().tag, name)))
                pop(name);
            return;
        }
        // Paragraphs do not nest: a P inside an open one is ignored, list items nest.
        if (paragraph && !item && m_paragraphOpen)
            return;
        if (sameName(name, "br") || sameName(name, "sbr")) {
            lineBreak();
            return;
        }
        TextFormat format = current();
        // A style sheet's styles come first; the tag's own attributes override them.
        const StyleMatch styled = styleFor(tag);
        for (const TextStyle* applied : {styled.byTag, styled.byClass})
            if (applied)
                format.apply(applied->format);
        bool known = true;
        if (sameName(name, "b")) {
            format.bold = true;
        } else if (sameName(name, "i")) {
            format.italic = true;
        } else if (sameName(name, "u")) {
            format.underline = true;
        } else if (sameName(name, "font")) {
            if (auto face = tag.attribute("face"))
                format.font = narrow(*face);
            if (auto size = tag.attribute("size")) {
                bool relative = false;
                if (auto n = parseInteger(*size, &relative))
                    format.size = std::clamp(relative ? format.size.value_or(12) + *n : *n,
                                             kMinFontSize, kMaxFontSize);
            }
            if (auto color = tag.attribute("color"))
                if (auto value = parseColor(*color))
                    format.color = *value;
            if (auto spacing = tag.attribute("letterspacing"))
                if (auto n = parseInteger(*spacing))
                    format.letterSpacing = *n;
            if (auto kerning = tag.attribute("kerning"); kerning && !m_options.beforeSwf8)
                if (auto n = parseInteger(*kerning))
                    format.kerning = *n != 0;
        } else if (sameName(name, "a")) {
            format.url = narrow(tag.attribute("href").value_or(u""));
            format.target = narrow(tag.attribute("target").value_or(u""));
        } else if (paragraph) {
            // A list item starts a line of its own; a paragraph waits for its end.
            if (sameName(name, "li") && !atParagraphStart())
                lineBreak();
            if (auto align = tag.attribute("align"))
                if (auto value = parseAlign(*align))
                    format.align = *value;
            if (item) {
                format.bullet = true;
                ++m_openItems;
            } else {
                m_paragraphOpen = true;
            }
        } else if (sameName(name, "textformat")) {
            auto number = [&](std::string_view key, std::optional<std::int32_t>& into) {
                if (auto value = tag.attribute(key))
                    if (auto n = parseInteger(*value))
                        into = *n;
            };
            number("leftmargin", format.leftMargin);
            number("rightmargin", format.rightMargin);
            number("indent", format.indent);
            number("leading", format.leading);
            number("blockindent", format.blockIndent);
            if (auto stops = tag.attribute("tabstops"))
                format.tabStops = tabStops(*stops);
        } else if (!sameName(name, "span")) {
            known = false;
        }
        if (!known && !styled.byTag && !styled.byClass)
            return; // unknown tags change nothing and need no closing
        bool hidden = false;
        for (const TextStyle* applied : {styled.byTag, styled.byClass})
            if (applied)
                hidden = applied->display == TextStyle::Display::None;
        push(name, format, hidden);
    }

    struct StyleMatch {
        const TextStyle* byTag = nullptr;
        const TextStyle* byClass = nullptr;
    };

    // A style sheet styles elements by tag name (paragraphs, list items, links and tags
    // of the sheet's own; the other markup tags keep their meaning) and by class.
    StyleMatch styleFor(const Tag& tag) const
    {
        StyleMatch match;
        if (!m_options.styles)
            return match;
        static constexpr std::string_view kUnstyled[] = {"b",  "i",          "u",   "font", "span",
                                                         "br", "textformat", "sbr", "img"};
        std::string tagName = narrow(tag.name);
        for (char& c : tagName)
            c = static_cast<char>(lower(static_cast<unsigned char>(c)));
        if (std::find(std::begin(kUnstyled), std::end(kUnstyled), tagName) == std::end(kUnstyled))
            match.byTag = style(tagName);
        if (auto value = tag.attribute("class"))
            match.byClass = classStyle("." + narrow(*value));
        return match;
    }

    // Class names match whatever their letters' case, the exact spelling first.
    const TextStyle* classStyle(const std::string& selector) const
    {
        if (const TextStyle* exact = style(selector))
            return exact;
        for (const auto& [name, value] : *m_options.styles)
            if (name.size() == selector.size() &&
                std::equal(name.begin(), name.end(), selector.begin(), [](char a, char b) {
                    return lower(static_cast<unsigned char>(a)) ==
                           lower(static_cast<unsigned char>(b));
                }))
                return &value;
        return nullptr;
    }

    std::u16string_view m_html;
    HtmlOptions m_options;
    std::vector<Level> m_stack;
    RichText m_out;
    std::u16string m_pending;
    TextFormat m_pendingFormat;
    bool m_paragraphOpen = false;
    std::size_t m_openItems = 0;
    // The format of the paragraph's last text or tag, for the break that ends it.
    std::optional<TextFormat> m_lastFormat;
    // The last FONT element that closed on no text.
    std::optional<TextFormat> m_emptyFont;
};

void appendAscii(std::u16string& out, std::string_view text)
{
    for (char c : text)
        out.push_back(static_cast<unsigned char>(c));
}

void appendEscaped(std::u16string& out, std::u16string_view text)
{
    for (char16_t c : text) {
        switch (c) {
        case u'&':
            appendAscii(out, "&amp;");
            break;
        case u'<':
            appendAscii(out, "&lt;");
            break;
        case u'>':
            appendAscii(out, "&gt;");
            break;
        case u'"':
            appendAscii(out, "&quot;");
            break;
        case u'\'':
            appendAscii(out, "&apos;");
            break;
        default:
            out.push_back(c);
        }
    }
}

void appendAttribute(std::u16string& out, std::string_view name, std::u16string_view value)
{
    out.push_back(u' ');
    appendAscii(out, name);
    appendAscii(out, "=\"");
    appendEscaped(out, value);
    out.push_back(u'"');
}

std::u16string numberText(double value)
{
    char buffer[32];
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    else
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return toUtf16(buffer);
}

std::u16string colorText(std::uint32_t color)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(color & 0xFFFFFF));
    return toUtf16(buffer);
}

std::string_view alignName(swf::TextAlign align)
{
    switch (align) {
    case swf::TextAlign::Right:
        return "RIGHT";
    case swf::TextAlign::Center:
        return "CENTER";
    case swf::TextAlign::Justify:
        return "JUSTIFY";
    default:
        return "LEFT";
    }
}

// The FONT attributes of `format` that differ from `outer` (all of them without one).
std::u16string fontAttributes(const TextFormat& format, const TextFormat* outer)
{
    std::u16string out;
    if (!outer || format.font != outer->font)
        appendAttribute(out, "FACE", toUtf16(format.font.value_or("")));
    if (!outer || format.size != outer->size)
        appendAttribute(out, "SIZE", numberText(format.size.value_or(0)));
    if (!outer || format.color != outer->color)
        appendAttribute(out, "COLOR", colorText(format.color.value_or(0)));
    if (!outer || format.letterSpacing != outer->letterSpacing)
        appendAttribute(out, "LETTERSPACING", numberText(format.letterSpacing.value_or(0)));
    if (!outer || format.kerning != outer->kerning)
        appendAttribute(out, "KERNING", format.kerning.value_or(false) ? u"1" : u"0");
    return out;
}

void appendRun(std::u16string& out, std::u16string_view text, const TextFormat& format,
               const TextFormat& outer)
{
    const std::u16string font = fontAttributes(format, &outer);
    if (!font.empty()) {
        appendAscii(out, "<FONT");
        out += font;
        out.push_back(u'>');
    }
    const bool link = !format.url.value_or("").empty();
    if (link) {
        appendAscii(out, "<A");
        appendAttribute(out, "HREF", toUtf16(*format.url));
        appendAttribute(out, "TARGET", toUtf16(format.target.value_or("")));
        out.push_back(u'>');
    }
    const bool bold = format.bold.value_or(false);
    const bool italic = format.italic.value_or(false);
    const bool underline = format.underline.value_or(false);
    if (bold)
        appendAscii(out, "<B>");
    if (italic)
        appendAscii(out, "<I>");
    if (underline)
        appendAscii(out, "<U>");
    appendEscaped(out, text);
    if (underline)
        appendAscii(out, "</U>");
    if (italic)
        appendAscii(out, "</I>");
    if (bold)
        appendAscii(out, "</B>");
    if (link)
        appendAscii(out, "</A>");
    if (!font.empty())
        appendAscii(out, "</FONT>");
}

std::u16string textFormatAttributes(const TextFormat& format)
{
    std::u16string out;
    auto number = [&](std::string_view name, const std::optional<std::int32_t>& value) {
        if (value.value_or(0) != 0)
            appendAttribute(out, name, numberText(*value));
    };
    number("LEFTMARGIN", format.leftMargin);
    number("RIGHTMARGIN", format.rightMargin);
    number("INDENT", format.indent);
    number("LEADING", format.leading);
    number("BLOCKINDENT", format.blockIndent);
    if (format.tabStops && !format.tabStops->empty()) {
        std::u16string stops;
        for (std::size_t k = 0; k < format.tabStops->size(); ++k) {
            if (k)
                stops.push_back(u',');
            stops += numberText((*format.tabStops)[k]);
        }
        appendAttribute(out, "TABSTOPS", stops);
    }
    return out;
}

} // namespace

RichText parseHtml(std::u16string_view html, const TextFormat& base, const HtmlOptions& options)
{
    return Parser(html, base, options).run();
}

bool sameMarkup(const TextFormat& a, const TextFormat& b)
{
    return fontAttributes(a, &b).empty() && a.bold.value_or(false) == b.bold.value_or(false) &&
           a.italic.value_or(false) == b.italic.value_or(false) &&
           a.underline.value_or(false) == b.underline.value_or(false) &&
           a.url.value_or("") == b.url.value_or("") &&
           a.target.value_or("") == b.target.value_or("");
}

std::u16string toHtml(const RichText& text)
{
    std::u16string out;
    const std::u16string& units = text.text();
    const auto& runs = text.runs();
    // The run holding each unit, walked forward as paragraphs are written.
    std::size_t runIndex = 0;
    std::size_t runStart = 0;
    auto runAt = [&](std::size_t at) -> const RichText::Run& {
        while (runIndex + 1 < runs.size() && runStart + runs[runIndex].length <= at) {
            runStart += runs[runIndex].length;
            ++runIndex;
        }
        return runs[runIndex];
    };
    std::size_t start = 0;
    while (start < units.size() && !runs.empty()) {
        std::size_t end = units.find(u'\r', start);
        if (end == std::u16string::npos)
            end = units.size();
        // The paragraph's pieces of one run each; the line end that closes it counts as
        // an empty piece of its own run (its format shows even with nothing in it).
        struct Piece {
            std::size_t from, to;
            const TextFormat* format;
        };
        std::vector<Piece> pieces;
        for (std::size_t at = start; at < end;) {
            const RichText::Run& run = runAt(at);
            const std::size_t stop = std::min(end, runStart + run.length);
            // Runs that differ only in what the markup does not show are written as one.
            if (!pieces.empty() && sameMarkup(*pieces.back().format, run.format))
                pieces.back().to = stop;
            else
                pieces.push_back({at, stop, &run.format});
            at = stop;
        }
        if (end < units.size()) {
            const TextFormat* closing = &runAt(end).format;
            if (pieces.empty() || !sameMarkup(*pieces.back().format, *closing))
                pieces.push_back({end, end, closing});
        }
        if (pieces.empty())
            break;
        const TextFormat& outer = *pieces.front().format;
        const std::u16string wrapper = textFormatAttributes(outer);
        if (!wrapper.empty()) {
            appendAscii(out, "<TEXTFORMAT");
            out += wrapper;
            out.push_back(u'>');
        }
        const bool bullet = outer.bullet.value_or(false);
        if (bullet) {
            appendAscii(out, "<LI>");
        } else {
            appendAscii(out, "<P ALIGN=\"");
            appendAscii(out, alignName(outer.align.value_or(swf::TextAlign::Left)));
            appendAscii(out, "\">");
        }
        appendAscii(out, "<FONT");
        out += fontAttributes(outer, nullptr);
        out.push_back(u'>');
        // Open FONT tags: a piece goes back to the one it matches, or nests a new one
        // holding what differs from the innermost.
        std::vector<const TextFormat*> open{&outer};
        for (const Piece& piece : pieces) {
            std::size_t match = 0; // the open tags to keep
            for (std::size_t k = open.size(); k-- > 0;) {
                if (fontAttributes(*piece.format, open[k]).empty()) {
                    match = k + 1;
                    break;
                }
            }
            if (match > 0) {
                while (open.size() > match) {
                    appendAscii(out, "</FONT>");
                    open.pop_back();
                }
            } else if (open.size() < limits::kMaxHtmlNesting) {
                appendAscii(out, "<FONT");
                out += fontAttributes(*piece.format, open.back());
                out.push_back(u'>');
                open.push_back(piece.format);
            }
            appendRun(out, std::u16string_view(units).substr(piece.from, piece.to - piece.from),
                      *piece.format, *piece.format);
        }
        for (std::size_t k = 0; k < open.size(); ++k)
            appendAscii(out, "</FONT>");
        appendAscii(out, bullet ? "</LI>" : "</P>");
        if (!wrapper.empty())
            appendAscii(out, "</TEXTFORMAT>");
        start = end + 1;
    }
    return out;
}

} // namespace runtime
