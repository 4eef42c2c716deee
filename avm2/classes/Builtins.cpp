// The built-in classes, defined in dependency order: a class's base and the classes its
// members make must exist before it.
#include "Native.h"

namespace avm2 {

void defineCoreClasses(Vm& vm);
void defineErrorClasses(Vm& vm);
void definePrimitiveClasses(Vm& vm);
void defineStringClass(Vm& vm);
void defineRegExpClass(Vm& vm);
void defineArrayClass(Vm& vm);
void defineMathClass(Vm& vm);
void defineDateClass(Vm& vm);
void defineGlobalFunctions(Vm& vm);
void defineLanguageExtras(Vm& vm);
void defineVectorClasses(Vm& vm);
void defineXmlClasses(Vm& vm);
void defineDisplayClasses(Vm& vm);
void defineSystemClasses(Vm& vm);
void defineByteArrayClass(Vm& vm);
void defineDictionaryClass(Vm& vm);
void defineProxyClass(Vm& vm);
void defineClassAliasFunctions(Vm& vm);
void defineJsonClass(Vm& vm);
void defineTimerFunctions(Vm& vm);

void registerBuiltins(Vm& vm)
{
    defineCoreClasses(vm);
    defineErrorClasses(vm);
    definePrimitiveClasses(vm);
    defineStringClass(vm);
    defineRegExpClass(vm);
    defineArrayClass(vm);
    defineMathClass(vm);
    defineDateClass(vm);
    defineGlobalFunctions(vm);
    defineLanguageExtras(vm);
    defineVectorClasses(vm);
    defineXmlClasses(vm);
    defineDisplayClasses(vm);
    defineSystemClasses(vm);
    defineByteArrayClass(vm);
    defineDictionaryClass(vm);
    defineProxyClass(vm);
    defineClassAliasFunctions(vm);
    defineJsonClass(vm);
    defineTimerFunctions(vm);
}

} // namespace avm2
