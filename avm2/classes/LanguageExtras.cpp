// Classes not yet built out in full: each keeps the machine's instructions that need
// them answering with a clear error rather than a crash.
#include "Native.h"
#include "StringRegExp.h"
#include "avm2/vm/Loader.h"
#include "avm2/vm/Operations.h"

namespace avm2 {

using namespace native;

void defineNamespaceClasses(Vm& vm);

Value getDescendants(Vm& vm, const Value& object, const Name&)
{
    return vm.throwError(ErrorType::TypeError, 1016, {vm.describeForError(object)});
}

Value escapeXml(Vm& vm, const Value& value, bool attribute)
{
    const std::u16string text = vm.toText(value);
    std::u16string out;
    for (char16_t c : text) {
        switch (c) {
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += attribute ? u">" : u"&gt;";
            break;
        case u'&':
            out += u"&amp;";
            break;
        case u'"':
            out += attribute ? u"&quot;" : u"\"";
            break;
        case u'\n':
            out += attribute ? u"&#xA;" : u"\n";
            break;
        case u'\r':
            out += attribute ? u"&#xD;" : u"\r";
            break;
        case u'\t':
            out += attribute ? u"&#x9;" : u"\t";
            break;
        default:
            out.push_back(c);
        }
    }
    return Value(vm.newString(std::move(out)));
}

bool domainMemoryOp(Vm& vm, std::uint8_t, Value*, std::uint32_t&, std::uint32_t)
{
    vm.throwError(ErrorType::RangeError, 1506);
    return false;
}

Value splitByRegExp(Vm& vm, const std::u16string&, const Value&, std::uint32_t)
{
    return vm.throwError(ErrorType::Error, 1001, {u"split"});
}

Value replaceByRegExp(Vm& vm, const std::u16string&, const Value&, const Value&)
{
    return vm.throwError(ErrorType::Error, 1001, {u"replace"});
}

Value matchByRegExp(Vm& vm, const Value&, std::span<const Value>)
{
    return vm.throwError(ErrorType::Error, 1001, {u"match"});
}

Value searchByRegExp(Vm& vm, const Value&, std::span<const Value>)
{
    return vm.throwError(ErrorType::Error, 1001, {u"search"});
}

void defineLanguageExtras(Vm& vm)
{
    defineNamespaceClasses(vm);
}

} // namespace avm2
