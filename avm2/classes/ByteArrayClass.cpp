// flash.utils.ByteArray: bytes with a position, read and written as numbers in either
// byte order, as text, compressed, and as AMF values; and flash.utils.Endian and
// CompressionAlgorithm, the names its members take.
#include "AmfBridge.h"
#include "ByteArrayCompression.h"
#include "ByteArrayObject.h"
#include "ByteArrayText.h"
#include "Native.h"
#include "avm2/Limits.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace avm2 {

using namespace native;

// The native object -------------------------------------------------------------------

bool ByteArrayObject::resize(std::uint64_t n)
{
    if (n > limits::kMaxByteArrayLength)
        return false;
    bytes.resize(static_cast<std::size_t>(n));
    return true;
}

bool ByteArrayObject::write(const std::uint8_t* data, std::size_t n)
{
    const std::uint64_t end = std::uint64_t{position} + n;
    if (end > bytes.size() && !resize(end))
        return false;
    if (n)
        std::memcpy(bytes.data() + position, data, n);
    position = static_cast<std::uint32_t>(end);
    return true;
}

bool ByteArrayObject::getIndex(Vm&, std::uint32_t index, Value& out)
{
    out = index < bytes.size() ? Value(static_cast<std::int32_t>(bytes[index])) : Value();
    return true;
}

bool ByteArrayObject::setIndex(Vm& vm, std::uint32_t index, const Value& value)
{
    const auto byte = static_cast<std::uint8_t>(vm.toInt32(value));
    if (vm.throwing())
        return true;
    if (index >= bytes.size() && !resize(std::uint64_t{index} + 1)) {
        vm.throwError(ErrorType::RangeError, 1506);
        return true;
    }
    bytes[index] = byte;
    return true;
}

bool ByteArrayObject::deleteIndex(Vm&, std::uint32_t)
{
    return true; // bytes cannot be deleted; the delete answers false-free as the reference
}

bool ByteArrayObject::hasIndex(std::uint32_t index) const
{
    return index < bytes.size();
}

ByteArrayObject* newByteArray(Vm& vm)
{
    Value cls = vm.getDefinitionByName(u"flash.utils::ByteArray");
    if (!cls.isObject() || cls.asObject()->kind() != ObjectKind::Class)
        return nullptr;
    auto& c = *static_cast<ClassObject*>(cls.asObject());
    return vm.make<ByteArrayObject>(c.instanceTraits.get(), c.instancePrototype);
}

Value throwNamedError(Vm& vm, std::u16string_view qualifiedClass, int number,
                      std::u16string_view text)
{
    Value cls = vm.getDefinitionByName(qualifiedClass);
    if (vm.throwing())
        return Value();
    Value ctorArgs[2] = {Value(vm.newString(u"Error #" + utf16(std::to_string(number)) + u": " +
                                            std::u16string(text))),
                         Value(number)};
    Value e = vm.construct(cls, ctorArgs);
    if (!vm.throwing())
        vm.throwValue(e);
    return Value();
}

namespace {

Value eof(Vm& vm)
{
    return throwNamedError(vm, u"flash.errors::EOFError", 2030, u"End of file was encountered.");
}

Value decompressionFailed(Vm& vm)
{
    return throwNamedError(vm, u"flash.errors::IOError", 2058,
                           u"There was an error decompressing the data.");
}

Value nonNull(Vm& vm, const char* parameter)
{
    return vm.throwError(ErrorType::TypeError, 2007, {utf16(parameter)});
}

Value tooLong(Vm& vm)
{
    return vm.throwError(ErrorType::RangeError, 1506);
}

Object* allocateByteArray(Vm& vm, ClassObject& cls)
{
    return vm.make<ByteArrayObject>(cls.instanceTraits.get(), cls.instancePrototype);
}

ByteArrayObject* self(Vm& vm, const Value& thisValue, const char* method)
{
    return receiver<ByteArrayObject>(vm, thisValue, ObjectKind::ByteArray, method);
}

// Reads n bytes at the position in the array's byte order into `out` (most significant
// first); false, with EOFError thrown, when fewer remain.
bool take(Vm& vm, ByteArrayObject& b, std::size_t n, std::uint64_t& out)
{
    if (b.available() < n) {
        eof(vm);
        return false;
    }
    out = 0;
    const std::uint8_t* p = b.bytes.data() + b.position;
    for (std::size_t i = 0; i < n; ++i)
        out = (out << 8) | p[b.littleEndian ? n - 1 - i : i];
    b.position += static_cast<std::uint32_t>(n);
    return true;
}

bool put(Vm& vm, ByteArrayObject& b, std::size_t n, std::uint64_t value)
{
    std::uint8_t buffer[8];
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<std::uint8_t>(value >> (8 * (n - 1 - i)));
        buffer[b.littleEndian ? n - 1 - i : i] = byte;
    }
    if (!b.write(buffer, n)) {
        tooLong(vm);
        return false;
    }
    return true;
}

template <std::size_t N, typename Convert>
Value readNumber(Vm& vm, const Value& thisValue, const char* method, Convert convert)
{
    ByteArrayObject* b = self(vm, thisValue, method);
    std::uint64_t raw = 0;
    if (!b || !take(vm, *b, N, raw))
        return Value();
    return convert(raw);
}

#define READER(NAME, N, EXPR)                                                                      \
    Value NAME(Vm& vm, const Value& t, Args)                                                       \
    {                                                                                              \
        return readNumber<N>(vm, t, "flash.utils::ByteArray/" #NAME,                               \
                             [](std::uint64_t r) -> Value { return EXPR; });                       \
    }

READER(readBoolean, 1, Value(r != 0))
READER(readByte, 1, Value(static_cast<std::int32_t>(static_cast<std::int8_t>(r))))
READER(readUnsignedByte, 1, Value(static_cast<std::int32_t>(r)))
READER(readShort, 2, Value(static_cast<std::int32_t>(static_cast<std::int16_t>(r))))
READER(readUnsignedShort, 2, Value(static_cast<std::int32_t>(r)))
READER(readInt, 4, Value(static_cast<std::int32_t>(static_cast<std::uint32_t>(r))))
READER(readUnsignedInt, 4, Value::fromUint(static_cast<std::uint32_t>(r)))
READER(readFloat, 4,
       Value::number(static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(r)))))
READER(readDouble, 8, Value::number(std::bit_cast<double>(r)))
#undef READER

template <std::size_t N, typename Convert>
Value writeNumber(Vm& vm, const Value& thisValue, Args args, const char* method, Convert convert)
{
    ByteArrayObject* b = self(vm, thisValue, method);
    if (!b)
        return Value();
    const std::uint64_t raw = convert(vm, arg(args, 0));
    if (!vm.throwing())
        put(vm, *b, N, raw);
    return Value();
}

Value writeBoolean(Vm& vm, const Value& t, Args args)
{
    return writeNumber<1>(vm, t, args, "flash.utils::ByteArray/writeBoolean",
                          [](Vm&, const Value& v) -> std::uint64_t { return Vm::toBoolean(v); });
}

std::uint64_t int32Of(Vm& vm, const Value& v)
{
    return static_cast<std::uint32_t>(vm.toInt32(v));
}

Value writeByte(Vm& vm, const Value& t, Args args)
{
    return writeNumber<1>(vm, t, args, "flash.utils::ByteArray/writeByte", int32Of);
}
Value writeShort(Vm& vm, const Value& t, Args args)
{
    return writeNumber<2>(vm, t, args, "flash.utils::ByteArray/writeShort", int32Of);
}
Value writeInt(Vm& vm, const Value& t, Args args)
{
    return writeNumber<4>(vm, t, args, "flash.utils::ByteArray/writeInt", int32Of);
}
Value writeUnsignedInt(Vm& vm, const Value& t, Args args)
{
    return writeNumber<4>(vm, t, args, "flash.utils::ByteArray/writeUnsignedInt",
                          [](Vm& m, const Value& v) -> std::uint64_t { return m.toUint32(v); });
}
Value writeFloat(Vm& vm, const Value& t, Args args)
{
    return writeNumber<4>(vm, t, args, "flash.utils::ByteArray/writeFloat",
                          [](Vm& m, const Value& v) -> std::uint64_t {
                              return std::bit_cast<std::uint32_t>(
                                  static_cast<float>(m.toNumber(v)));
                          });
}
Value writeDouble(Vm& vm, const Value& t, Args args)
{
    return writeNumber<8>(vm, t, args, "flash.utils::ByteArray/writeDouble",
                          [](Vm& m, const Value& v) -> std::uint64_t {
                              return std::bit_cast<std::uint64_t>(m.toNumber(v));
                          });
}

// Text ---------------------------------------------------------------------------------

Value readUTFBytesOf(Vm& vm, ByteArrayObject& b, std::uint32_t n)
{
    if (b.available() < n)
        return eof(vm);
    std::u16string text = decodeUtf8Bytes(b.bytes.data() + b.position, n, true);
    b.position += n;
    return Value(vm.newString(std::move(text)));
}

Value readUTF(Vm& vm, const Value& t, Args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/readUTF");
    std::uint64_t n = 0;
    if (!b || !take(vm, *b, 2, n))
        return Value();
    return readUTFBytesOf(vm, *b, static_cast<std::uint32_t>(n));
}

Value readUTFBytes(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/readUTFBytes");
    if (!b)
        return Value();
    const std::uint32_t n = vm.toUint32(arg(args, 0));
    return vm.throwing() ? Value() : readUTFBytesOf(vm, *b, n);
}

Value readMultiByte(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/readMultiByte");
    if (!b)
        return Value();
    const std::uint32_t n = vm.toUint32(arg(args, 0));
    if (vm.throwing())
        return Value();
    if (arg(args, 1).isNullish())
        return nonNull(vm, "charSet");
    const std::u16string charset = vm.toText(arg(args, 1));
    if (vm.throwing())
        return Value();
    if (b->available() < n)
        return eof(vm);
    std::u16string text = decodeMultiByte(b->bytes.data() + b->position, n, charset);
    b->position += n;
    return Value(vm.newString(std::move(text)));
}

// The string argument of a write, or TypeError #2007 for null and undefined.
bool stringArg(Vm& vm, Args args, std::size_t i, const char* parameter, std::u16string& out)
{
    if (arg(args, i).isNullish()) {
        nonNull(vm, parameter);
        return false;
    }
    out = vm.toText(arg(args, i));
    return !vm.throwing();
}

bool writeText(Vm& vm, ByteArrayObject& b, const std::string& bytes)
{
    if (!b.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())) {
        tooLong(vm);
        return false;
    }
    return true;
}

Value writeUTF(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/writeUTF");
    std::u16string text;
    if (!b || !stringArg(vm, args, 0, "value", text))
        return Value();
    const std::string bytes = encodeUtf8(text);
    if (bytes.size() > 65535)
        return vm.throwError(ErrorType::RangeError, 2006);
    if (put(vm, *b, 2, bytes.size()))
        writeText(vm, *b, bytes);
    return Value();
}

Value writeUTFBytes(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/writeUTFBytes");
    std::u16string text;
    if (b && stringArg(vm, args, 0, "value", text))
        writeText(vm, *b, encodeUtf8(text));
    return Value();
}

Value writeMultiByte(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/writeMultiByte");
    std::u16string text;
    std::u16string charset;
    if (b && stringArg(vm, args, 0, "value", text) && stringArg(vm, args, 1, "charSet", charset))
        writeText(vm, *b, encodeMultiByte(text, charset));
    return Value();
}

// Bytes --------------------------------------------------------------------------------

ByteArrayObject* byteArrayArg(Vm& vm, Args args, std::size_t i)
{
    const Value v = arg(args, i);
    if (v.isNullish()) {
        nonNull(vm, "bytes");
        return nullptr;
    }
    if (!v.isObject() || v.asObject()->kind() != ObjectKind::ByteArray) {
        vm.throwError(ErrorType::TypeError, 1034,
                      {vm.describeForError(v), u"flash.utils.ByteArray"});
        return nullptr;
    }
    return static_cast<ByteArrayObject*>(v.asObject());
}

Value readBytes(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/readBytes");
    ByteArrayObject* target = b ? byteArrayArg(vm, args, 0) : nullptr;
    if (!target)
        return Value();
    const std::uint32_t offset = vm.toUint32(arg(args, 1));
    std::uint32_t n = vm.toUint32(arg(args, 2));
    if (vm.throwing())
        return Value();
    if (n == 0)
        n = b->available();
    if (b->available() < n)
        return eof(vm);
    if (std::uint64_t{offset} + n > limits::kMaxByteArrayLength)
        return tooLong(vm);
    // Copied first, for a read into the array itself.
    const std::vector<std::uint8_t> chunk(b->bytes.begin() + b->position,
                                          b->bytes.begin() + b->position + n);
    b->position += n;
    if (target->bytes.size() < std::uint64_t{offset} + n)
        target->resize(std::uint64_t{offset} + n);
    if (n)
        std::memcpy(target->bytes.data() + offset, chunk.data(), n);
    return Value();
}

Value writeBytes(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/writeBytes");
    ByteArrayObject* source = b ? byteArrayArg(vm, args, 0) : nullptr;
    if (!source)
        return Value();
    const std::uint32_t offset = vm.toUint32(arg(args, 1));
    std::uint32_t n = vm.toUint32(arg(args, 2));
    if (vm.throwing())
        return Value();
    const std::uint32_t size = source->length();
    if (offset > size)
        return vm.throwError(ErrorType::RangeError, 2006);
    if (n == 0)
        n = size - offset;
    if (n > size - offset)
        return vm.throwError(ErrorType::RangeError, 2006);
    const std::vector<std::uint8_t> chunk(source->bytes.begin() + offset,
                                          source->bytes.begin() + offset + n);
    if (!b->write(chunk.data(), chunk.size()))
        return tooLong(vm);
    return Value();
}

// Properties ---------------------------------------------------------------------------

Value getLength(Vm& vm, const Value& t, Args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/length");
    return b ? Value::fromUint(b->length()) : Value();
}

Value setLength(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/length");
    if (!b)
        return Value();
    const std::uint32_t n = vm.toUint32(arg(args, 0));
    if (vm.throwing())
        return Value();
    if (!b->resize(n))
        return tooLong(vm);
    if (b->position > n)
        b->position = n;
    return Value();
}

Value getPosition(Vm& vm, const Value& t, Args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/position");
    return b ? Value::fromUint(b->position) : Value();
}

Value setPosition(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/position");
    if (!b)
        return Value();
    const std::uint32_t p = vm.toUint32(arg(args, 0));
    if (!vm.throwing())
        b->position = p;
    return Value();
}

Value getBytesAvailable(Vm& vm, const Value& t, Args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/bytesAvailable");
    return b ? Value::fromUint(b->available()) : Value();
}

Value getEndian(Vm& vm, const Value& t, Args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/endian");
    if (!b)
        return Value();
    return Value(vm.intern(b->littleEndian ? "littleEndian" : "bigEndian"));
}

Value setEndian(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/endian");
    std::u16string name;
    if (!b || !stringArg(vm, args, 0, "type", name))
        return Value();
    if (name == u"bigEndian")
        b->littleEndian = false;
    else if (name == u"littleEndian")
        b->littleEndian = true;
    else
        return vm.throwError(ErrorType::ArgumentError, 2008, {u"type"});
    return Value();
}

// The class-wide default encoding new arrays start with, kept per machine.
std::uint32_t defaultEncoding(Vm& vm)
{
    const Value& v = vm.classState("ByteArray.defaultObjectEncoding");
    return v.isInt() ? static_cast<std::uint32_t>(v.asInt()) : 3;
}

Value getObjectEncoding(Vm& vm, const Value& t, Args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/objectEncoding");
    return b ? Value::fromUint(b->objectEncoding) : Value();
}

bool encodingArg(Vm& vm, Args args, std::uint32_t& out)
{
    out = vm.toUint32(arg(args, 0));
    if (vm.throwing())
        return false;
    if (out != 0 && out != 3) {
        vm.throwError(ErrorType::ArgumentError, 2008, {u"version"});
        return false;
    }
    return true;
}

Value setObjectEncoding(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/objectEncoding");
    std::uint32_t e = 0;
    if (b && encodingArg(vm, args, e))
        b->objectEncoding = e;
    return Value();
}

Value getDefaultObjectEncoding(Vm& vm, const Value&, Args)
{
    return Value::fromUint(defaultEncoding(vm));
}

Value setDefaultObjectEncoding(Vm& vm, const Value&, Args args)
{
    std::uint32_t e = 0;
    if (encodingArg(vm, args, e))
        vm.classState("ByteArray.defaultObjectEncoding") = Value(static_cast<std::int32_t>(e));
    return Value();
}

Value constructByteArray(Vm& vm, const Value& t, Args)
{
    if (auto* b = static_cast<ByteArrayObject*>(t.objectOrNull());
        b && b->kind() == ObjectKind::ByteArray)
        b->objectEncoding = defaultEncoding(vm);
    return Value();
}

// Whole-array operations ---------------------------------------------------------------

Value clear(Vm& vm, const Value& t, Args)
{
    if (ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/clear")) {
        b->bytes.clear();
        b->bytes.shrink_to_fit();
        b->position = 0;
    }
    return Value();
}

Value toString(Vm& vm, const Value& t, Args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/toString");
    if (!b)
        return Value();
    return Value(vm.newString(decodeByteArrayText(b->bytes.data(), b->bytes.size())));
}

bool algorithmArg(Vm& vm, Args args, Compression& out)
{
    if (!has(args, 0)) {
        out = Compression::Zlib;
        return true;
    }
    std::u16string name;
    if (!stringArg(vm, args, 0, "algorithm", name))
        return false;
    if (name == u"zlib")
        out = Compression::Zlib;
    else if (name == u"deflate")
        out = Compression::Deflate;
    else if (name == u"lzma")
        out = Compression::Lzma;
    else {
        decompressionFailed(vm);
        return false;
    }
    return true;
}

void compressWith(Vm& vm, ByteArrayObject& b, Compression kind)
{
    // An empty array stays empty, whatever the algorithm.
    if (b.bytes.empty())
        return;
    std::vector<std::uint8_t> out;
    if (!compressBytes(kind, b.bytes, out) || out.size() > limits::kMaxByteArrayLength) {
        tooLong(vm);
        return;
    }
    b.bytes = std::move(out);
    b.position = b.length();
}

void uncompressWith(Vm& vm, ByteArrayObject& b, Compression kind)
{
    if (b.bytes.empty())
        return;
    std::vector<std::uint8_t> out;
    if (!uncompressBytes(kind, b.bytes, limits::kMaxByteArrayLength, out)) {
        decompressionFailed(vm);
        return;
    }
    b.bytes = std::move(out);
    b.position = 0;
}

Value compress(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/compress");
    Compression kind{};
    if (b && algorithmArg(vm, args, kind))
        compressWith(vm, *b, kind);
    return Value();
}

Value uncompress(Vm& vm, const Value& t, Args args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/uncompress");
    Compression kind{};
    if (b && algorithmArg(vm, args, kind))
        uncompressWith(vm, *b, kind);
    return Value();
}

Value deflateMethod(Vm& vm, const Value& t, Args)
{
    if (ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/deflate"))
        compressWith(vm, *b, Compression::Deflate);
    return Value();
}

Value inflateMethod(Vm& vm, const Value& t, Args)
{
    if (ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/inflate"))
        uncompressWith(vm, *b, Compression::Deflate);
    return Value();
}

// AMF ----------------------------------------------------------------------------------

Value readObject(Vm& vm, const Value& t, Args)
{
    ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/readObject");
    return b ? readAmfValue(vm, *b) : Value();
}

Value writeObject(Vm& vm, const Value& t, Args args)
{
    if (ByteArrayObject* b = self(vm, t, "flash.utils::ByteArray/writeObject"))
        writeAmfValue(vm, *b, arg(args, 0));
    return Value();
}

// JSON writes a ByteArray as its class name rather than its bytes.
Value byteArrayToJson(Vm& vm, const Value&, Args)
{
    return Value(vm.intern("ByteArray"));
}

} // namespace

void defineByteArrayClass(Vm& vm)
{
    ClassObject* endian =
        vm.defineClass("flash.utils", "Endian", vm.builtins().object, false, {}, true);
    vm.defineConstant(endian, "BIG_ENDIAN", Value(vm.intern("bigEndian")));
    vm.defineConstant(endian, "LITTLE_ENDIAN", Value(vm.intern("littleEndian")));
    ClassObject* algorithm = vm.defineClass("flash.utils", "CompressionAlgorithm",
                                            vm.builtins().object, false, {}, true);
    vm.defineConstant(algorithm, "ZLIB", Value(vm.intern("zlib")));
    vm.defineConstant(algorithm, "DEFLATE", Value(vm.intern("deflate")));
    vm.defineConstant(algorithm, "LZMA", Value(vm.intern("lzma")));

    NativeClassHooks hooks;
    hooks.allocate = allocateByteArray;
    hooks.construct = constructByteArray;
    ClassObject* c = vm.defineClass("flash.utils", "ByteArray", vm.builtins().object, false, hooks);
    vm.defineGetter(c, "length", getLength, setLength);
    vm.defineGetter(c, "position", getPosition, setPosition);
    vm.defineGetter(c, "bytesAvailable", getBytesAvailable);
    vm.defineGetter(c, "endian", getEndian, setEndian);
    vm.defineGetter(c, "objectEncoding", getObjectEncoding, setObjectEncoding);
    vm.defineGetter(c, "defaultObjectEncoding", getDefaultObjectEncoding, setDefaultObjectEncoding,
                    true);
    struct Method {
        const char* name;
        NativeMethod fn;
        int length;
    };
    const Method methods[] = {
        {"readBoolean", readBoolean, 0},
        {"readByte", readByte, 0},
        {"readUnsignedByte", readUnsignedByte, 0},
        {"readShort", readShort, 0},
        {"readUnsignedShort", readUnsignedShort, 0},
        {"readInt", readInt, 0},
        {"readUnsignedInt", readUnsignedInt, 0},
        {"readFloat", readFloat, 0},
        {"readDouble", readDouble, 0},
        {"readUTF", readUTF, 0},
        {"readUTFBytes", readUTFBytes, 1},
        {"readMultiByte", readMultiByte, 2},
        {"readBytes", readBytes, 3},
        {"readObject", readObject, 0},
        {"writeBoolean", writeBoolean, 1},
        {"writeByte", writeByte, 1},
        {"writeShort", writeShort, 1},
        {"writeInt", writeInt, 1},
        {"writeUnsignedInt", writeUnsignedInt, 1},
        {"writeFloat", writeFloat, 1},
        {"writeDouble", writeDouble, 1},
        {"writeUTF", writeUTF, 1},
        {"writeUTFBytes", writeUTFBytes, 1},
        {"writeMultiByte", writeMultiByte, 2},
        {"writeBytes", writeBytes, 3},
        {"writeObject", writeObject, 1},
        {"clear", clear, 0},
        {"compress", compress, 0},
        {"uncompress", uncompress, 0},
        {"deflate", deflateMethod, 0},
        {"inflate", inflateMethod, 0},
    };
    for (const Method& m : methods)
        vm.defineMethod(c, m.name, m.fn, m.length, Vm::Member::Public);
    vm.defineMethod(c, "toString", toString, 0, Vm::Member::PrototypeOnly);
    vm.definePrototypeFunction(c->instancePrototype, "toJSON", byteArrayToJson, 1);
}

} // namespace avm2
