#include "String.h"

namespace avm1 {

namespace {
constexpr unsigned char fold(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}
} // namespace

std::uint32_t foldedHash(std::string_view text)
{
    // FNV-1a over the folded bytes.
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= fold(c);
        hash *= 16777619u;
    }
    return hash;
}

void String::computeHash() const
{
    m_foldedHash = avm1::foldedHash(m_text);
    m_ascii = true;
    for (unsigned char c : m_text) {
        if (c >= 0x80) {
            m_ascii = false;
            break;
        }
    }
    m_hashed = true;
}

bool sameKey(std::string_view a, std::string_view b, CaseRule rule)
{
    if (a.size() != b.size())
        return false;
    if (rule == CaseRule::Sensitive)
        return a == b;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool sameKey(const String* a, const String* b, CaseRule rule)
{
    if (a == b)
        return true;
    if (a->size() != b->size() || a->foldedHash() != b->foldedHash())
        return false;
    return sameKey(a->view(), b->view(), rule);
}

} // namespace avm1
