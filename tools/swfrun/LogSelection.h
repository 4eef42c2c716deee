#pragma once

#include "runtime/Host.h"

#include <bitset>
#include <string>
#include <string_view>

namespace swfrun {

// The diagnostic categories a run prints to standard error (--log NAME, repeatable, or
// --log all); none by default, so that a normal run prints only the movie's trace.
class LogSelection {
public:
    // Turns on the category called `name`, or every one for "all"; false for a name
    // that is neither.
    bool add(std::string_view name)
    {
        if (name == "all") {
            m_on.set();
            return true;
        }
        const auto category = runtime::logCategoryFromName(name);
        if (!category)
            return false;
        m_on.set(static_cast<std::size_t>(*category));
        return true;
    }
    bool has(runtime::LogCategory category) const
    {
        return m_on.test(static_cast<std::size_t>(category));
    }

private:
    std::bitset<runtime::kLogCategoryCount> m_on;
};

// One diagnostic as swfrun prints it: "swfrun: [category] message", without the line break.
inline std::string logLine(runtime::LogCategory category, std::string_view message)
{
    std::string line = "swfrun: [";
    line += runtime::logCategoryName(category);
    line += "] ";
    line += message;
    return line;
}

} // namespace swfrun
