#pragma once

// The global functions that percent-encode text: escape and unescape (code units as
// %XX or %uXXXX), and the URI pairs (UTF-8 octets as %XX). A decoder or encoder that
// meets text it cannot convert gives nothing; the machine throws URIError #1052.
#include <optional>
#include <string>
#include <string_view>

namespace script {

// Keeps A-Z a-z 0-9 @ * _ + - . / and writes every other code unit as %XX below 256,
// %uXXXX above, in capitals. Surrogates are escaped one by one.
std::u16string escape(std::u16string_view text);
// Reads %uXXXX and %XX back into code units (either case); any other % stays as it is.
std::u16string unescape(std::u16string_view text);

// Keep letters, digits, - _ . ! ~ * ' ( ) and (encodeURI only) ; / ? : @ & = + $ , #;
// write everything else as the UTF-8 of its code point. A surrogate without its other
// half cannot be encoded.
std::optional<std::u16string> encodeURI(std::u16string_view text);
std::optional<std::u16string> encodeURIComponent(std::u16string_view text);

// Turn %XX sequences of well-formed UTF-8 back into text. decodeURI leaves an escape
// of ; / ? : @ & = + $ , # as it was written. A % not followed by two hex digits, or
// octets that are not UTF-8 of one code point (overlong, a surrogate, past U+10FFFF),
// cannot be decoded.
std::optional<std::u16string> decodeURI(std::u16string_view text);
std::optional<std::u16string> decodeURIComponent(std::u16string_view text);

} // namespace script
