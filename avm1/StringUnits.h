#pragma once

#include "script/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace avm1 {

class String;

// What scripts count in a string. Players for SWF 5 saw text as bytes; from SWF 6 text
// is Unicode and lengths, indexes and character codes count UTF-16 code units, as
// ECMA-262 strings do. Our strings stay UTF-8 either way.
enum class CharUnits : bool { Bytes, Utf16 };

inline CharUnits charUnitsFor(int swfVersion)
{
    return swfVersion >= 6 ? CharUnits::Utf16 : CharUnits::Bytes;
}

// A string as the sequence of units scripts index. ASCII text, and any text in byte
// mode, is read in place; other text is decoded to UTF-16 once, so that indexing and
// searching stay linear.
class UnitText {
public:
    UnitText(const String* text, CharUnits units);
    UnitText(std::string_view utf8, CharUnits units);

    std::size_t size() const { return m_wide ? m_units.size() : m_bytes.size(); }
    bool empty() const { return size() == 0; }
    // The unit at `index` < size(): a byte, or a UTF-16 code unit.
    std::uint16_t at(std::size_t index) const
    {
        return m_wide ? m_units[index] : static_cast<unsigned char>(m_bytes[index]);
    }
    // Units [start, end) as text again; a surrogate pair cut in half leaves U+FFFD for
    // each half. Out-of-range bounds are clamped.
    std::string slice(std::size_t start, std::size_t end) const;
    // The first position at or after `from` where `needle` starts, or -1.
    std::int64_t find(const UnitText& needle, std::size_t from) const;
    // The last position at or before `from` where `needle` starts, or -1.
    std::int64_t findLast(const UnitText& needle, std::size_t from) const;

private:
    void decode(std::string_view utf8, bool ascii, CharUnits units);

    std::string_view m_bytes;
    std::u16string m_units;
    bool m_wide = false;
};

// Units in `text` without building anything.
std::size_t unitLength(const String* text, CharUnits units);
std::size_t utf16Length(std::string_view utf8);

// UTF-8 to UTF-16 and back. A malformed byte reads as the Latin-1 character of its
// value (old tools wrote Latin-1 text into movies). A lone surrogate (half of a pair
// that charAt or substr cut) keeps its three-byte form, so that joining the halves
// again gives the character back (see joinSurrogateHalves).
std::u16string toUtf16(std::string_view utf8);
std::string fromUtf16(std::u16string_view units);
// Every high surrogate's three-byte form directly followed by a low one's becomes the
// four-byte character they make: strings keep one spelling of each character.
void joinSurrogateHalves(std::string& utf8);
// The text with every lone surrogate's three-byte form as U+FFFD, for what leaves the
// engine (trace output).
std::string withoutLoneSurrogates(std::string_view utf8);
using script::appendUtf8;

// A character code as scripts read it (charCodeAt, ord): the unit itself, except that
// each half of a surrogate pair reads U+FFFD as the reference reports it.
std::uint32_t scriptCharCode(std::uint16_t unit, CharUnits units);
// The first character's code (ord, mbord); 0 for "".
std::uint32_t firstCharCode(const String* text, CharUnits units);
// The text of one character code (chr, String.fromCharCode) given as ToUint32 of the
// script's number: the low 16 bits in Unicode, the low 8 bits in byte mode; code 0
// gives "".
std::string charFromCode(std::uint32_t code, CharUnits units);

// StringExtract and MBStringExtract (substring, mbsubstring): `count` units from the
// 1-based `index` (below 1 means 1); a negative count takes the rest. Both numbers are
// ToInt32 of the script's values, so 4294967303 means 7 as in the reference.
std::string extractUnits(const String* text, std::int32_t index, std::int32_t count,
                         CharUnits units);

// Case mapping as toUpperCase/toLowerCase do it: ASCII only in byte mode; Latin-1,
// Latin Extended-A, Greek and Cyrillic letters as well in Unicode mode.
std::string toUpperText(std::string_view text, CharUnits units);
std::string toLowerText(std::string_view text, CharUnits units);

} // namespace avm1
