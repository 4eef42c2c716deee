#pragma once

#include "Heap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace avm1 {

// An immutable ActionScript string, shared by every value that holds it. Text is
// UTF-8; lengths and indexes in scripts count UTF-16 units from SWF 6 on (see
// StringUnits.h). Two hashes are cached: property names compare without regard to
// case in movies before SWF 7, so maps hash the case-folded form and compare exactly
// or folded as the movie asks.
class String final : public Cell {
public:
    explicit String(std::string text) : m_text(std::move(text)) {}

    const std::string& text() const { return m_text; }
    std::string_view view() const { return m_text; }
    bool empty() const { return m_text.empty(); }
    std::size_t size() const { return m_text.size(); }

    std::uint32_t foldedHash() const
    {
        if (!m_hashed)
            computeHash();
        return m_foldedHash;
    }
    bool isAscii() const
    {
        if (!m_hashed)
            computeHash();
        return m_ascii;
    }

    std::size_t extraBytes() const override { return m_text.capacity(); }

private:
    void computeHash() const;

    std::string m_text;
    mutable std::uint32_t m_foldedHash = 0;
    mutable bool m_hashed = false;
    mutable bool m_ascii = true;
};

enum class CaseRule : bool { Insensitive, Sensitive };

// Names as scripts compare them: exact from SWF 7, letters folded before.
bool sameKey(const String* a, const String* b, CaseRule rule);
bool sameKey(std::string_view a, std::string_view b, CaseRule rule);
std::uint32_t foldedHash(std::string_view text);

} // namespace avm1
