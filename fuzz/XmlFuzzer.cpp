// libFuzzer target: bytes (one character each, the first choosing the settings) read
// as an XMLList's text; every node read is printed both ways, copied and compared,
// normalized, and its flat print read again. Any crash, hang, sanitizer report, a
// copy unequal to its source, or a print that does not read back to the same print,
// is a finding.
#include "script/e4x/XmlParser.h"
#include "script/e4x/XmlPrinter.h"
#include "script/e4x/XmlTree.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace script::e4x;
    if (size == 0)
        return 0;
    XmlSettings settings;
    settings.ignoreComments = data[0] & 1;
    settings.ignoreProcessingInstructions = data[0] & 2;
    settings.ignoreWhitespace = data[0] & 4;
    settings.prettyIndent = (data[0] >> 3) & 7;
    std::u16string text(data + 1, data + size);

    script::Heap heap;
    auto parsed = parseXmlList(heap, text, settings, u"urn:default");
    if (!parsed)
        return 0;
    XmlSettings flat = settings;
    flat.prettyPrinting = false;
    for (XmlNode* node : parsed.value()) {
        if (!toXmlString(*node, settings) || !toString(*node, settings))
            __builtin_trap();
        const auto printed = toXmlString(*node, flat);
        if (!printed)
            __builtin_trap();
        XmlNode* copy = deepCopy(heap, *node);
        if (!deepEquals(*copy, *node))
            __builtin_trap();
        normalize(*copy);
        // Read back keeping everything, the flat print prints the same again.
        XmlSettings keep = flat;
        keep.ignoreComments = keep.ignoreProcessingInstructions = keep.ignoreWhitespace = false;
        const auto again = parseXmlList(heap, printed.value(), keep);
        if (!again)
            __builtin_trap();
        const auto reprinted = toXmlString(again.value(), keep);
        if (!reprinted || reprinted.value() != printed.value())
            __builtin_trap();
    }
    return 0;
}
