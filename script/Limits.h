#pragma once

#include <cstddef>
#include <cstdint>

// The caps of the script floor both virtual machines stand on. Each bounds what a
// movie's data (a shared object's file, a ByteArray, a stream's metadata) may ask of
// the readers, well above what real data holds.
namespace script::limits {

// Values of one AMF message or one readObject: each becomes an object or a string of
// the script's, so the count bounds the memory a message can make a movie spend.
inline constexpr std::size_t kMaxAmfValues = 1u << 20;

// Objects inside objects: readers and writers recurse once per level.
inline constexpr std::size_t kMaxAmfNesting = 256;

// Sealed members of one AMF 3 class, and elements of one array or vector, before the
// bytes left bound them further.
inline constexpr std::uint32_t kMaxAmfSealedMembers = 1u << 16;

// XML parsed from a string or a loaded file. Elements open at once while parsing:
// real documents nest a few dozen deep, and scripts walk trees recursively under their
// recursion caps anyway.
inline constexpr std::size_t kMaxXmlDepth = 1024;
// Nodes one parse makes (elements and text): a few megabytes of markup make far fewer,
// and each node costs the machine several objects.
inline constexpr std::size_t kMaxXmlParsedNodes = 1u << 20;
// Attributes of one parsed element; each becomes a property of a script object.
inline constexpr std::size_t kMaxXmlAttributes = 1u << 16;

// Rules one style sheet keeps, and the length of the text it parses: far more than any
// page of styles, and parsing stays linear in what it keeps.
inline constexpr std::size_t kMaxStyleRules = 4096;
inline constexpr std::size_t kMaxStyleSheetText = 1'000'000;

// Code units of one regular expression's source. Real patterns are a few hundred; the
// cap bounds the translation's work and the translated pattern PCRE2 compiles.
inline constexpr std::size_t kMaxRegExpSourceLength = 1u << 16;

// Code units of a translated pattern: it spells each character as an escape and each
// class escape as ranges, so it grows about sixty-fold at most from the longest source;
// past this it is refused as too large.
inline constexpr std::size_t kMaxRegExpTranslatedLength = 1u << 22;

// Groups inside groups: the translator recurses once per level. PCRE2 refuses deeper
// nesting than its default of 250 anyway.
inline constexpr std::size_t kMaxRegExpNesting = 200;

// Repeat counts in {n,m}: PCRE2 takes no larger.
inline constexpr std::uint32_t kMaxRegExpRepeat = 65535;

// Backtracking steps of one match attempt (PCRE2's match limit): a catastrophic pattern
// such as (a+)+b against a long run of a's stops with a clear failure instead of
// hanging the movie. Ordinary matches take far fewer.
inline constexpr std::uint32_t kRegExpMatchLimit = 10'000'000;

// Backtracking memory of one match attempt, in KiB (PCRE2's heap limit), and the stack
// the JIT-compiled matcher may grow to.
inline constexpr std::uint32_t kRegExpHeapLimitKiB = 64u * 1024;
inline constexpr std::size_t kRegExpJitStackBytes = 4u << 20;

// E4X trees. A parse makes at most one node per character of its text, so the text's
// length bounds a parse; these bound what code may build on top by mutation and what
// a print may cost.
// Elements open inside one another in one parse: the parser keeps its own stack, so
// this only keeps a hostile text from making a tree no real document has.
inline constexpr std::size_t kMaxXmlParseDepth = 1u << 16;
// Children and attributes of one element, and namespaces it declares.
inline constexpr std::size_t kMaxXmlChildren = 1u << 24;
inline constexpr std::size_t kMaxE4xAttributes = 1u << 20;
inline constexpr std::size_t kMaxXmlNamespaces = 1u << 16;
// Characters of one printed tree: pretty printing repeats the indentation on every
// line, so a deep tree's text grows with depth times size; past this the print fails
// as running out of memory would. 32 Mi characters are the 64 MiB a script's string
// may hold.
inline constexpr std::size_t kMaxXmlPrintedChars = 1u << 25;

} // namespace script::limits
