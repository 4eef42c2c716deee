#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace runtime {

// The characters a text field lets the user type (TextField.restrict): a list of
// characters and ranges ("a-z", "A-Z0-9"), with '^' switching between characters let in
// and characters kept out for what follows, and '\' taking the next character as it is
// ("\-", "\^", "\\"). A list that starts with '^' lets in everything it does not keep
// out; otherwise only what it lets in. The last entry naming a character decides.
//
// Odd lists read this way: a run of '-' counts as one, a range
// without a character before it ("-b", or the "-c" of "a-b-c") starts at U+0000, a
// range whose end comes before its start holds only its start, and a trailing '-' or
// '\' is ignored. A letter of the basic Latin alphabet that is kept out goes in as its
// other case when that one is let in.
class TextRestrict {
public:
    // The list as scripts give it, as Unicode code points.
    explicit TextRestrict(std::u32string_view list);

    // What goes into the field for `c`: c itself, the other case of a basic Latin letter,
    // or nothing when the list keeps it out.
    std::optional<char32_t> admit(char32_t c) const;

private:
    struct Entry {
        char32_t first = 0;
        char32_t last = 0;
        bool letIn = true;
    };

    bool letsIn(char32_t c) const;

    std::vector<Entry> m_entries;
    bool m_letInByDefault = false;
};

} // namespace runtime
