// Hostile bytes in a ByteArray through every reader: the numbers in both byte orders,
// text in the character sets, readObject in AMF 0 and 3, and uncompress with each
// algorithm; none may crash, hang or allocate past the caps.
#include "avm2/vm/Vm.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using avm2::Value;
    avm2::Vm vm(avm2::Vm::Host{}, 17);
    Value ba = vm.construct(vm.getDefinitionByName(u"flash.utils::ByteArray"), {});
    if (vm.throwing())
        return 0;
    for (std::size_t i = 0; i < size; ++i) {
        Value byte[1] = {Value(static_cast<std::int32_t>(data[i]))};
        vm.callProperty(ba, vm.publicName("writeByte"), byte);
    }
    const char* readers[] = {"readObject", "readUTF", "readDouble", "readInt", "readFloat"};
    const char* algorithms[] = {"zlib", "deflate", "lzma"};
    for (int encoding : {0, 3}) {
        vm.setProperty(ba, vm.publicName("objectEncoding"), Value(encoding));
        for (const char* reader : readers) {
            vm.setProperty(ba, vm.publicName("position"), Value(0));
            for (int n = 0; n < 64 && !vm.throwing(); ++n)
                vm.callProperty(ba, vm.publicName(reader), {});
            if (vm.throwing())
                vm.takeException();
        }
    }
    for (const char* charset : {"shift-jis", "unicode", "utf-8"}) {
        vm.setProperty(ba, vm.publicName("position"), Value(0));
        Value args[2] = {Value(static_cast<std::int32_t>(size)), Value(vm.newString(charset))};
        vm.callProperty(ba, vm.publicName("readMultiByte"), args);
        if (vm.throwing())
            vm.takeException();
    }
    vm.callProperty(ba, vm.publicName("toString"), {});
    for (const char* algorithm : algorithms) {
        Value copy = vm.construct(vm.getDefinitionByName(u"flash.utils::ByteArray"), {});
        Value whole[1] = {ba};
        vm.callProperty(copy, vm.publicName("writeBytes"), whole);
        Value name[1] = {Value(vm.newString(algorithm))};
        vm.callProperty(copy, vm.publicName("uncompress"), name);
        if (vm.throwing())
            vm.takeException();
    }
    return 0;
}
