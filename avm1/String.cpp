#include "String.h"

#include "runtime/NameFolding.h"
#include "runtime/Names.h"

namespace avm1 {

namespace {

std::uint32_t fnv1a(std::string_view bytes)
{
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

} // namespace

std::uint32_t foldedHash(std::string_view text)
{
    if (!runtime::isAsciiText(text))
        return fnv1a(runtime::foldedName(text));
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= runtime::foldAsciiLetter(c);
        hash *= 16777619u;
    }
    return hash;
}

void String::computeHash() const
{
    m_ascii = runtime::isAsciiText(m_text);
    m_foldedHash = avm1::foldedHash(m_text);
    m_hashed = true;
}

bool sameKey(std::string_view a, std::string_view b, CaseRule rule)
{
    return runtime::sameName(a, b,
                             rule == CaseRule::Sensitive ? runtime::NameCase::Sensitive
                                                         : runtime::NameCase::Insensitive);
}

bool sameKey(const String* a, const String* b, CaseRule rule)
{
    if (a == b)
        return true;
    // Folding can change a name's length in bytes (U+212A KELVIN SIGN is "k"), so only
    // ASCII names can be told apart by their sizes.
    if (a->foldedHash() != b->foldedHash())
        return false;
    if (a->isAscii() && b->isAscii()) {
        if (a->size() != b->size())
            return false;
        if (rule == CaseRule::Sensitive)
            return a->view() == b->view();
        const std::string_view x = a->view();
        const std::string_view y = b->view();
        for (std::size_t i = 0; i < x.size(); ++i) {
            if (runtime::foldAsciiLetter(static_cast<unsigned char>(x[i])) !=
                runtime::foldAsciiLetter(static_cast<unsigned char>(y[i])))
                return false;
        }
        return true;
    }
    return sameKey(a->view(), b->view(), rule);
}

} // namespace avm1
