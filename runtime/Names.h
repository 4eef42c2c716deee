#pragma once

#include <string_view>

namespace runtime {

// Scripts find objects by instance name. Movies of version 6 and older compare names
// without regard to case (ASCII letters only, as the player of their time did); from
// version 7 on the comparison is exact. Frame labels are compared without regard to
// case in every version. Every comparison of names goes through sameName so the rule
// lives in one place.
enum class NameCase : bool { Insensitive, Sensitive };

inline constexpr int kCaseSensitiveNamesFromVersion = 7;

constexpr NameCase nameCaseForVersion(int swfVersion)
{
    return swfVersion >= kCaseSensitiveNamesFromVersion ? NameCase::Sensitive
                                                        : NameCase::Insensitive;
}

bool sameName(std::string_view a, std::string_view b, NameCase rule);

} // namespace runtime
