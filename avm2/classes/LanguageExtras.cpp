// Classes not yet built out in full: each keeps the machine's instructions that need
// them answering with a clear error rather than a crash.
#include "Native.h"
#include "StringRegExp.h"
#include "avm2/vm/Loader.h"
#include "avm2/vm/Operations.h"

namespace avm2 {

using namespace native;

void defineNamespaceClasses(Vm& vm);

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
