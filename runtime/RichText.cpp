#include "RichText.h"

#include "Limits.h"

#include <algorithm>

namespace runtime {

void RichText::assign(std::u16string_view text, const TextFormat& format)
{
    m_text.assign(text.substr(0, limits::kMaxFieldText));
    m_runs.clear();
    if (!m_text.empty())
        m_runs.push_back({m_text.size(), format});
}

void RichText::append(std::u16string_view text, const TextFormat& format)
{
    const std::size_t room = limits::kMaxFieldText - m_text.size();
    text = text.substr(0, room);
    if (text.empty())
        return;
    m_text.append(text);
    if (!m_runs.empty() && m_runs.back().format == format)
        m_runs.back().length += text.size();
    else
        m_runs.push_back({text.size(), format});
}

std::size_t RichText::splitAt(std::size_t at)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        if (start == at)
            return i;
        if (at < start + m_runs[i].length) {
            Run tail{start + m_runs[i].length - at, m_runs[i].format};
            m_runs[i].length = at - start;
            m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, tail);
            return i + 1;
        }
        start += m_runs[i].length;
    }
    return m_runs.size();
}

void RichText::mergeRuns()
{
    std::vector<Run> merged;
    merged.reserve(m_runs.size());
    for (Run& run : m_runs) {
        if (run.length == 0)
            continue;
        if (!merged.empty() && merged.back().format == run.format)
            merged.back().length += run.length;
        else
            merged.push_back(std::move(run));
    }
    m_runs = std::move(merged);
}

void RichText::replace(std::size_t begin, std::size_t end, std::u16string_view text,
                       const TextFormat& format)
{
    end = std::min(end, m_text.size());
    begin = std::min(begin, end);
    const std::size_t room = limits::kMaxFieldText - (m_text.size() - (end - begin));
    text = text.substr(0, room);
    const std::size_t first = splitAt(begin);
    const std::size_t last = splitAt(end);
    m_runs.erase(m_runs.begin() + static_cast<std::ptrdiff_t>(first),
                 m_runs.begin() + static_cast<std::ptrdiff_t>(last));
    m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(first), Run{text.size(), format});
    m_text.replace(begin, end - begin, text);
    mergeRuns();
}

void RichText::applyFormat(std::size_t begin, std::size_t end, const TextFormat& format)
{
    end = std::min(end, m_text.size());
    if (begin >= end)
        return;
    const std::size_t first = splitAt(begin);
    const std::size_t last = splitAt(end);
    for (std::size_t i = first; i < last; ++i)
        m_runs[i].format.apply(format);
    mergeRuns();
}

std::optional<TextFormat> RichText::formatOf(std::size_t begin, std::size_t end) const
{
    if (m_runs.empty())
        return std::nullopt;
    begin = std::min(begin, m_text.size() - 1);
    end = std::max(std::min(end, m_text.size()), begin + 1);
    std::optional<TextFormat> common;
    std::size_t start = 0;
    for (const Run& run : m_runs) {
        const std::size_t stop = start + run.length;
        if (stop > begin && start < end) {
            if (!common)
                common = run.format;
            else
                common->intersect(run.format);
        }
        start = stop;
    }
    return common;
}

std::u16string toUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        std::uint32_t code = 0xFFFD;
        std::size_t extra = 0;
        if (byte < 0x80) {
            code = byte;
        } else if ((byte & 0xE0) == 0xC0) {
            code = byte & 0x1F;
            extra = 1;
        } else if ((byte & 0xF0) == 0xE0) {
            code = byte & 0x0F;
            extra = 2;
        } else if ((byte & 0xF8) == 0xF0) {
            code = byte & 0x07;
            extra = 3;
        }
        std::size_t used = 1;
        if (extra) {
            // A broken sequence is one replacement for the lead and the continuation
            // bytes that came with it.
            std::size_t seen = 1;
            while (seen <= extra && i + seen < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + seen]) & 0xC0) == 0x80) {
                code = (code << 6) | (static_cast<unsigned char>(utf8[i + seen]) & 0x3F);
                ++seen;
            }
            used = seen;
            if (seen != extra + 1 || code > 0x10FFFF)
                code = 0xFFFD;
        } else if (byte >= 0x80) {
            code = 0xFFFD;
        }
        i += used;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

std::string toUtf8(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t code = utf16[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

} // namespace runtime
