#pragma once

// Text to and from ByteArray bytes.
#include <cstdint>
#include <string>
#include <string_view>

namespace avm2 {

// UTF-8 as ByteArray's readers decode it: a leading byte order mark is skipped, any byte
// that does not start a well-formed sequence becomes the character of its value, and
// `stopAtNul` ends the text at a zero byte (readUTF, readUTFBytes).
std::u16string decodeUtf8Bytes(const std::uint8_t* data, std::size_t n, bool stopAtNul);
// UTF-8 of ActionScript text; a lone surrogate takes its three-byte form.
std::string encodeUtf8(std::u16string_view text);
// toString: UTF-16 after a UTF-16 byte order mark, else UTF-8, zero bytes kept.
std::u16string decodeByteArrayText(const std::uint8_t* data, std::size_t n);
// readMultiByte and writeMultiByte: a named character set ("shift-jis", "unicode",
// "iso-8859-1"...); one the converters do not know is read and written as UTF-8.
std::u16string decodeMultiByte(const std::uint8_t* data, std::size_t n,
                               std::u16string_view charset);
std::string encodeMultiByte(std::u16string_view text, std::u16string_view charset);

} // namespace avm2
