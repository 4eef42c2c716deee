#pragma once

// Caseless matching beyond ASCII. PCRE2 folds only ASCII letters outside its UTF mode,
// so the translator spells out, for every other character it emits under the i flag,
// the characters that match it: those with the same upper case form (ECMAScript's
// Canonicalize), where a form outside one code unit, or one in ASCII for a character
// beyond it, leaves the character as it is.
#include <algorithm>
#include <cstddef>
#include <span>

namespace script::regexp {

// The other characters caseless matching takes `c` for; empty for ASCII characters
// (PCRE2 folds those) and for characters without case.
std::span<const char16_t> caseVariants(char16_t c);

// Calls `each(c)` for every character in [first, last] that has case variants, in
// order, without visiting the characters between them.
template <typename Each> void forEachCasedCharacter(char16_t first, char16_t last, Each&& each);

// The characters with variants, sorted; for forEachCasedCharacter.
std::span<const char16_t> casedCharacters();

template <typename Each> void forEachCasedCharacter(char16_t first, char16_t last, Each&& each)
{
    const std::span<const char16_t> cased = casedCharacters();
    for (auto at = std::lower_bound(cased.begin(), cased.end(), first);
         at != cased.end() && *at <= last; ++at)
        each(*at);
}

} // namespace script::regexp
