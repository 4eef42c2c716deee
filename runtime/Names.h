#pragma once

#include <string_view>

namespace runtime {

// Scripts find objects by instance name. Movies of version 6 and older compare names
// without regard to case (see NameFolding.h); from version 7 on the comparison is
// exact. Every comparison of names goes through sameName so the rule
// lives in one place.
enum class NameCase : bool { Insensitive, Sensitive };

inline constexpr int kCaseSensitiveNamesFromVersion = 7;

constexpr NameCase nameCaseForVersion(int swfVersion)
{
    return swfVersion >= kCaseSensitiveNamesFromVersion ? NameCase::Sensitive
                                                        : NameCase::Insensitive;
}

bool sameName(std::string_view a, std::string_view b, NameCase rule);

// Frame labels: ASCII letters alone are folded, in every version ("BAD\u00C0" is
// not "bad\u00E0").
bool sameLabel(std::string_view a, std::string_view b);

} // namespace runtime
