#include "TextRestrict.h"

#include "Limits.h"

namespace runtime {

namespace {

std::optional<char32_t> otherCase(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return c - U'a' + U'A';
    if (c >= U'A' && c <= U'Z')
        return c - U'A' + U'a';
    return std::nullopt;
}

} // namespace

TextRestrict::TextRestrict(std::u32string_view list)
{
    if (list.size() > limits::kMaxRestrictLength)
        list = list.substr(0, limits::kMaxRestrictLength);
    bool letIn = true;
    // The last character entered on its own, which a '-' right after it starts a range
    // from.
    char32_t rangeStart = 0;
    bool hasRangeStart = false;
    m_letInByDefault = !list.empty() && list.front() == U'^';
    std::size_t i = 0;
    // The character at i, '\' taking the one after it as it is; nothing past the end.
    const auto take = [&]() -> std::optional<char32_t> {
        if (list[i] == U'\\') {
            if (i + 1 >= list.size()) {
                i = list.size();
                return std::nullopt;
            }
            i += 2;
            return list[i - 1];
        }
        return list[i++];
    };
    while (i < list.size()) {
        const char32_t c = list[i];
        if (c == U'^') {
            letIn = !letIn;
            hasRangeStart = false;
            ++i;
            continue;
        }
        if (c == U'-') {
            while (i < list.size() && list[i] == U'-')
                ++i;
            if (i >= list.size())
                break;
            const std::optional<char32_t> last = take();
            if (!last)
                break;
            const char32_t first = hasRangeStart ? rangeStart : 0;
            if (first <= *last)
                m_entries.push_back(Entry{first, *last, letIn});
            hasRangeStart = false;
            continue;
        }
        const std::optional<char32_t> single = take();
        if (!single)
            break;
        m_entries.push_back(Entry{*single, *single, letIn});
        rangeStart = *single;
        hasRangeStart = true;
    }
}

bool TextRestrict::letsIn(char32_t c) const
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (c >= it->first && c <= it->last)
            return it->letIn;
    }
    return m_letInByDefault;
}

std::optional<char32_t> TextRestrict::admit(char32_t c) const
{
    if (letsIn(c))
        return c;
    if (const std::optional<char32_t> other = otherCase(c); other && letsIn(*other))
        return other;
    return std::nullopt;
}

} // namespace runtime
