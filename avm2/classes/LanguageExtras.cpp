// Classes not yet built out in full: each keeps the machine's instructions that need
// them answering with a clear error rather than a crash.
#include "Native.h"
#include "avm2/vm/Loader.h"
#include "avm2/vm/Operations.h"

namespace avm2 {

using namespace native;

void defineNamespaceClasses(Vm& vm);

Value applyType(Vm& vm, const Value& base, std::span<const Value> params)
{
    if (!base.isObject() || base.asObject()->kind() != ObjectKind::Class)
        return vm.throwError(ErrorType::TypeError, 1127);
    auto* cls = static_cast<ClassObject*>(base.asObject());
    if (!cls->isGenericVector)
        return vm.throwError(ErrorType::TypeError, 1127);
    if (params.size() != 1)
        return vm.throwError(ErrorType::TypeError, 1128,
                             {u"Vector", u"1", utf16(std::to_string(params.size()))});
    return Value(vm.builtins().array);
}

bool domainMemoryOp(Vm& vm, std::uint8_t, Value*, std::uint32_t&, std::uint32_t)
{
    vm.throwError(ErrorType::RangeError, 1506);
    return false;
}

void defineLanguageExtras(Vm& vm)
{
    defineNamespaceClasses(vm);
    Builtins& b = vm.builtinsForSetup();
    b.vector = vm.defineClass("__AS3__.vec", "Vector", b.object, false);
    b.vector->isGenericVector = true;
}

} // namespace avm2
