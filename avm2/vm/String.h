#pragma once

#include "script/gc/Heap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace avm2 {

// An immutable ActionScript 3 string: UTF-16 code units, where lone surrogates are
// legal. Property names are interned (one cell per text, see Strings), so that traits
// and dynamic properties compare names by pointer.
class String final : public script::Cell {
public:
    explicit String(std::u16string text) : m_text(std::move(text)) {}

    const std::u16string& text() const { return m_text; }
    std::u16string_view view() const { return m_text; }
    std::size_t length() const { return m_text.size(); }
    bool empty() const { return m_text.empty(); }
    bool interned() const { return m_interned; }
    std::size_t hash() const
    {
        if (!m_hashed) {
            m_hash = std::hash<std::u16string_view>()(m_text);
            m_hashed = true;
        }
        return m_hash;
    }
    // UTF-8, lone surrogates as U+FFFD: for the host (trace, logs).
    std::string utf8() const;

    std::size_t extraBytes() const override { return m_text.capacity() * 2; }

private:
    friend class Vm;
    std::u16string m_text;
    mutable std::size_t m_hash = 0;
    mutable bool m_hashed = false;
    bool m_interned = false;
};

std::u16string utf16(std::string_view utf8);
std::string utf8(std::u16string_view text);

} // namespace avm2
