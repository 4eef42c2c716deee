// Classes not yet built out in full: each keeps the machine's instructions that need
// them answering with a clear error rather than a crash.
#include "Native.h"
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

void defineLanguageExtras(Vm& vm)
{
    defineNamespaceClasses(vm);
}

} // namespace avm2
