#include "script/regexp/CaseFolding.h"

#include <algorithm>
#include <clocale>
#include <cwctype>
#include <locale.h>
#include <map>
#include <vector>
#include <wctype.h>

namespace script::regexp {
namespace {

struct CaseTable {
    // Characters with variants, sorted, and for each the start and size of its
    // variants in `variants`.
    std::vector<char16_t> cased;
    std::vector<std::pair<std::size_t, std::size_t>> slots;
    std::vector<char16_t> variants;
};

// Upper case forms from the C library's Unicode tables, read through a locale object
// so the process's own locale does not matter. Without a UTF-8 locale every character
// beyond ASCII is caseless.
CaseTable buildCaseTable()
{
    CaseTable table;
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (utf8 == static_cast<locale_t>(nullptr))
        return table;
    std::map<char16_t, std::vector<char16_t>> byCanonical;
    for (unsigned c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const unsigned upper = static_cast<unsigned>(towupper_l(static_cast<wint_t>(c), utf8));
        const unsigned canonical = (upper > 0xFFFF || upper < 0x80) ? c : upper;
        byCanonical[static_cast<char16_t>(canonical)].push_back(static_cast<char16_t>(c));
    }
    freelocale(utf8);
    std::vector<std::pair<char16_t, const std::vector<char16_t>*>> members;
    for (const auto& [canonical, group] : byCanonical) {
        if (group.size() < 2)
            continue;
        for (char16_t c : group)
            members.emplace_back(c, &group);
    }
    std::sort(members.begin(), members.end());
    for (const auto& [c, group] : members) {
        table.cased.push_back(c);
        const std::size_t start = table.variants.size();
        for (char16_t other : *group)
            if (other != c)
                table.variants.push_back(other);
        table.slots.emplace_back(start, table.variants.size() - start);
    }
    return table;
}

const CaseTable& caseTable()
{
    static const CaseTable table = buildCaseTable();
    return table;
}

} // namespace

std::span<const char16_t> caseVariants(char16_t c)
{
    const CaseTable& table = caseTable();
    const auto found = std::lower_bound(table.cased.begin(), table.cased.end(), c);
    if (found == table.cased.end() || *found != c)
        return {};
    const auto [start, size] = table.slots[static_cast<std::size_t>(found - table.cased.begin())];
    return std::span<const char16_t>(table.variants).subspan(start, size);
}

std::span<const char16_t> casedCharacters()
{
    return caseTable().cased;
}

} // namespace script::regexp
