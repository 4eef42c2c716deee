#include "CssParser.h"

#include "script/Limits.h"

namespace script::css {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    std::optional<std::vector<Rule>> rules()
    {
        std::vector<Rule> out;
        while (true) {
            skipSpace();
            if (atEnd())
                return out;
            if (out.size() >= limits::kMaxStyleRules)
                return std::nullopt;
            Rule rule;
            if (!selectors(rule) || !block(rule))
                return std::nullopt;
            out.push_back(std::move(rule));
        }
    }

private:
    bool atEnd() const { return m_at >= m_text.size(); }
    char peek() const { return m_text[m_at]; }

    void skipSpace()
    {
        while (!atEnd() && isSpace(peek()))
            ++m_at;
    }

    // Up to the opening brace: words separated by commas, nothing else between.
    bool selectors(Rule& rule)
    {
        while (true) {
            const std::size_t start = m_at;
            while (!atEnd() && !isSpace(peek()) && peek() != ',' && peek() != '{')
                ++m_at;
            if (m_at == start)
                return false;
            rule.selectors.emplace_back(m_text.substr(start, m_at - start));
            skipSpace();
            if (atEnd())
                return false;
            if (peek() == '{') {
                ++m_at;
                return true;
            }
            if (peek() != ',')
                return false;
            ++m_at;
            skipSpace();
        }
    }

    // The properties up to the closing brace; a block the text ends in is closed by it,
    // unless it ends inside a property.
    bool block(Rule& rule)
    {
        while (true) {
            skipSpace();
            if (atEnd())
                return true;
            if (peek() == '}') {
                ++m_at;
                return true;
            }
            // A name is one word, with the white space that follows it.
            const std::size_t start = m_at;
            while (!atEnd() && !isSpace(peek()) && peek() != ':')
                ++m_at;
            skipSpace();
            if (atEnd() || peek() != ':')
                return false;
            std::string name(m_text.substr(start, m_at - start));
            ++m_at;
            skipSpace();
            const std::size_t valueStart = m_at;
            while (!atEnd() && peek() != ';' && peek() != '}')
                ++m_at;
            if (atEnd())
                return false;
            std::string value(m_text.substr(valueStart, m_at - valueStart));
            const bool closed = peek() == '}';
            ++m_at;
            if (!name.empty())
                rule.properties.emplace_back(camelCase(name), std::move(value));
            if (closed)
                return true;
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

std::string camelCase(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    bool upper = false;
    for (char c : name) {
        if (upper) {
            out.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
            upper = false;
        } else if (c == '-') {
            upper = true;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::optional<std::vector<Rule>> parse(std::string_view text)
{
    if (text.size() > limits::kMaxStyleSheetText)
        return std::nullopt;
    return Reader(text).rules();
}

} // namespace script::css
