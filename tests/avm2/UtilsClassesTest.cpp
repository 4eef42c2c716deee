// flash.utils' ByteArray, Dictionary, Proxy and timers, and JSON, driven through the
// machine's own property operations as compiled code would drive them.
#include "AbcWriter.h"
#include "avm2/vm/ErrorObject.h"
#include "avm2/vm/Operations.h"
#include "avm2/vm/Vm.h"

#include <QtTest>

using avm2::Value;

namespace {

class UtilsClassesTest : public QObject {
    Q_OBJECT

    std::vector<std::string> m_traces;
    double m_now = 0;

    std::unique_ptr<avm2::Vm> makeVm()
    {
        avm2::Vm::Host host;
        host.trace = [this](std::string_view line) { m_traces.emplace_back(line); };
        host.milliseconds = [this] { return m_now; };
        return std::make_unique<avm2::Vm>(std::move(host), 17);
    }

    static Value call(avm2::Vm& vm, const Value& object, const char* method,
                      std::vector<Value> args = {})
    {
        return vm.callProperty(object, vm.publicName(method), args);
    }
    static Value get(avm2::Vm& vm, const Value& object, const char* name)
    {
        return vm.getProperty(object, vm.publicName(name));
    }
    static Value str(avm2::Vm& vm, const char* text) { return Value(vm.newString(text)); }
    static Value make(avm2::Vm& vm, const char16_t* cls, std::vector<Value> args = {})
    {
        return vm.construct(vm.getDefinitionByName(cls), args);
    }
    static std::string text(avm2::Vm& vm, const Value& v) { return avm2::utf8(vm.toText(v)); }
    // The bytes of a ByteArray, read back through its index access.
    static std::vector<int> bytesOf(avm2::Vm& vm, const Value& ba)
    {
        std::vector<int> out;
        const std::uint32_t n = vm.toUint32(get(vm, ba, "length"));
        for (std::uint32_t i = 0; i < n; ++i)
            out.push_back(vm.toInt32(vm.getProperty(ba, vm.publicName(std::to_string(i)))));
        return out;
    }
    // The thrown error's class name and number, cleared: "EOFError 2030".
    static std::string thrown(avm2::Vm& vm)
    {
        if (!vm.throwing())
            return "nothing thrown";
        Value e = vm.takeException();
        avm2::ClassObject* cls = vm.classOf(e);
        const std::string name = cls && cls->localName ? cls->localName->utf8() : "?";
        return name + " " + text(vm, get(vm, e, "errorID"));
    }

private Q_SLOTS:
    void numbersInBothByteOrders()
    {
        auto vm = makeVm();
        Value ba = make(*vm, u"flash.utils::ByteArray");
        QCOMPARE(text(*vm, get(*vm, ba, "endian")), std::string("bigEndian"));
        QCOMPARE(vm->toInt32(get(*vm, ba, "objectEncoding")), 3);
        call(*vm, ba, "writeInt", {Value(-2)});
        call(*vm, ba, "writeShort", {Value(0x1234)});
        vm->setProperty(ba, vm->publicName("endian"), str(*vm, "littleEndian"));
        call(*vm, ba, "writeShort", {Value(0x1234)});
        call(*vm, ba, "writeDouble", {Value(1.5)});
        const std::vector<int> all = bytesOf(*vm, ba);
        QCOMPARE(all.size(), std::size_t{16});
        const std::vector<int> head(all.begin(), all.begin() + 8);
        QCOMPARE(head, (std::vector<int>{0xff, 0xff, 0xff, 0xfe, 0x12, 0x34, 0x34, 0x12}));
        vm->setProperty(ba, vm->publicName("position"), Value(0));
        vm->setProperty(ba, vm->publicName("endian"), str(*vm, "bigEndian"));
        QCOMPARE(vm->toNumber(call(*vm, ba, "readUnsignedInt")), 4294967294.0);
        QCOMPARE(vm->toInt32(call(*vm, ba, "readByte")), 0x12);
        QCOMPARE(vm->toInt32(call(*vm, ba, "readUnsignedByte")), 0x34);
        vm->setProperty(ba, vm->publicName("endian"), str(*vm, "littleEndian"));
        QCOMPARE(vm->toInt32(call(*vm, ba, "readShort")), 0x1234);
        QCOMPARE(vm->toNumber(call(*vm, ba, "readDouble")), 1.5);
        QCOMPARE(vm->toInt32(get(*vm, ba, "bytesAvailable")), 0);
        // Past the end: EOFError, the position unmoved; its text names Error.
        call(*vm, ba, "readInt");
        QVERIFY(vm->throwing());
        const Value eof = vm->exception();
        QCOMPARE(thrown(*vm), std::string("EOFError 2030"));
        QCOMPARE(vm->toText(eof),
                 std::u16string(u"Error: Error #2030: End of file was encountered."));
        QCOMPARE(vm->toInt32(get(*vm, ba, "position")), 16);
        vm->setProperty(ba, vm->publicName("endian"), str(*vm, "middle"));
        QCOMPARE(thrown(*vm), std::string("ArgumentError 2008"));
        // A float keeps single precision; a length cut pulls the position back.
        vm->setProperty(ba, vm->publicName("position"), Value(0));
        call(*vm, ba, "writeFloat", {Value(0.1)});
        vm->setProperty(ba, vm->publicName("position"), Value(0));
        QCOMPARE(vm->toNumber(call(*vm, ba, "readFloat")), static_cast<double>(0.1f));
        vm->setProperty(ba, vm->publicName("length"), Value(2));
        QCOMPARE(vm->toInt32(get(*vm, ba, "position")), 2);
    }

    void indexAccess()
    {
        auto vm = makeVm();
        Value ba = make(*vm, u"flash.utils::ByteArray");
        vm->setProperty(ba, vm->publicName("3"), Value(0x1ff));
        QCOMPARE(bytesOf(*vm, ba), (std::vector<int>{0, 0, 0, 0xff}));
        QVERIFY(vm->getProperty(ba, vm->publicName("9")).isUndefined());
        QVERIFY(vm->hasProperty(ba, vm->publicName("3")));
        QVERIFY(!vm->hasProperty(ba, vm->publicName("4")));
    }

    void textAndCharacterSets()
    {
        auto vm = makeVm();
        Value ba = make(*vm, u"flash.utils::ByteArray");
        call(*vm, ba, "writeUTF", {Value(vm->newString(u"h\u00e9"))});
        QCOMPARE(bytesOf(*vm, ba), (std::vector<int>{0, 3, 'h', 0xc3, 0xa9}));
        vm->setProperty(ba, vm->publicName("position"), Value(0));
        QCOMPARE(vm->toText(call(*vm, ba, "readUTF")), std::u16string(u"h\u00e9"));
        // readUTFBytes skips a byte order mark and stops at a zero byte; toString keeps it.
        Value b = make(*vm, u"flash.utils::ByteArray");
        for (int byte : std::initializer_list<int>{0xef, 0xbb, 0xbf, 'A', 'B', 0, 'C'})
            call(*vm, b, "writeByte", {Value(byte)});
        vm->setProperty(b, vm->publicName("position"), Value(0));
        QCOMPARE(text(*vm, call(*vm, b, "readUTFBytes", {Value(7)})), std::string("AB"));
        QCOMPARE(vm->toText(call(*vm, b, "toString")), std::u16string(u"AB\0C", 4));
        // A UTF-16 byte order mark makes toString read UTF-16; a stray byte is its own
        // character.
        Value c = make(*vm, u"flash.utils::ByteArray");
        for (int byte : std::initializer_list<int>{0xff, 0xfe, 'x', 0})
            call(*vm, c, "writeByte", {Value(byte)});
        QCOMPARE(text(*vm, call(*vm, c, "toString")), std::string("x"));
        Value d = make(*vm, u"flash.utils::ByteArray");
        call(*vm, d, "writeByte", {Value(0xe9)});
        QCOMPARE(vm->toText(call(*vm, d, "toString")), std::u16string(u"\u00e9"));
        // Character sets: Shift-JIS through the converters, null refused.
        Value e = make(*vm, u"flash.utils::ByteArray");
        call(*vm, e, "writeMultiByte", {Value(vm->newString(u"\u6b21")), str(*vm, "shift-jis")});
        QCOMPARE(bytesOf(*vm, e), (std::vector<int>{0x8e, 0x9f}));
        vm->setProperty(e, vm->publicName("position"), Value(0));
        QCOMPARE(vm->toText(call(*vm, e, "readMultiByte", {Value(2), str(*vm, "shift-jis")})),
                 std::u16string(u"\u6b21"));
        call(*vm, e, "writeUTFBytes", {Value::null()});
        QCOMPARE(thrown(*vm), std::string("TypeError 2007"));
        call(*vm, e, "readMultiByte", {Value(9), str(*vm, "utf-8")});
        QCOMPARE(thrown(*vm), std::string("EOFError 2030"));
    }

    void compression()
    {
        auto vm = makeVm();
        for (const char* algorithm : {"zlib", "deflate", "lzma"}) {
            Value ba = make(*vm, u"flash.utils::ByteArray");
            for (int i = 0; i < 300; ++i)
                call(*vm, ba, "writeByte", {Value(i % 7)});
            call(*vm, ba, "compress", {str(*vm, algorithm)});
            QVERIFY(!vm->throwing());
            const std::vector<int> packed = bytesOf(*vm, ba);
            QVERIFY2(packed.size() < 300, algorithm);
            QCOMPARE(vm->toInt32(get(*vm, ba, "position")), static_cast<int>(packed.size()));
            if (std::string(algorithm) == "zlib")
                QCOMPARE(packed[0], 0x78);
            if (std::string(algorithm) == "lzma") {
                // Properties, then the unpacked size as eight little-endian bytes.
                QCOMPARE(packed[5] | (packed[6] << 8), 300);
                QCOMPARE(packed[12], 0);
            }
            call(*vm, ba, "uncompress", {str(*vm, algorithm)});
            QVERIFY(!vm->throwing());
            QCOMPARE(vm->toInt32(get(*vm, ba, "length")), 300);
            QCOMPARE(vm->toInt32(get(*vm, ba, "position")), 0);
            QCOMPARE(vm->toInt32(vm->getProperty(ba, vm->publicName("13"))), 13 % 7);
        }
        Value junk = make(*vm, u"flash.utils::ByteArray");
        call(*vm, junk, "writeUTFBytes", {str(*vm, "not compressed")});
        call(*vm, junk, "uncompress");
        QCOMPARE(thrown(*vm), std::string("IOError 2058"));
        call(*vm, junk, "compress", {str(*vm, "rar")});
        QCOMPARE(thrown(*vm), std::string("IOError 2058"));
        // deflate() and inflate() are the raw form.
        call(*vm, junk, "deflate");
        call(*vm, junk, "inflate");
        QCOMPARE(text(*vm, call(*vm, junk, "toString")), std::string("not compressed"));
    }

    // Damaged input ends in the documented errors, with nothing allocated for sizes
    // the bytes only claim.
    void hostileInput()
    {
        auto vm = makeVm();
        auto fill = [&](std::initializer_list<int> bytes) {
            Value ba = make(*vm, u"flash.utils::ByteArray");
            for (int b : bytes)
                call(*vm, ba, "writeByte", {Value(b)});
            vm->setProperty(ba, vm->publicName("position"), Value(0));
            return ba;
        };
        // An LZMA header claiming a terabyte.
        Value lzma = fill({0x5d, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0});
        call(*vm, lzma, "uncompress", {str(*vm, "lzma")});
        QCOMPARE(thrown(*vm), std::string("IOError 2058"));
        // An AMF 3 string claiming 2^27 bytes, and a cut-off AMF 0 number.
        Value amf3 = fill({6, 0xff, 0xff, 0xff, 0x7f, 'a'});
        call(*vm, amf3, "readObject");
        QCOMPARE(thrown(*vm), std::string("EOFError 2030"));
        Value amf0 = fill({0, 0x40, 0x09});
        vm->setProperty(amf0, vm->publicName("objectEncoding"), Value(0));
        call(*vm, amf0, "readObject");
        QCOMPARE(thrown(*vm), std::string("EOFError 2030"));
        // A readUTF length past the end, and a length beyond the cap.
        Value utf = fill({0xff, 0xff, 'a'});
        call(*vm, utf, "readUTF");
        QCOMPARE(thrown(*vm), std::string("EOFError 2030"));
        vm->setProperty(utf, vm->publicName("length"), Value::fromUint(0xffffffffu));
        QCOMPARE(thrown(*vm), std::string("RangeError 1506"));
        QCOMPARE(vm->toInt32(get(*vm, utf, "length")), 3);
    }

    void amf()
    {
        auto vm = makeVm();
        Value ba = make(*vm, u"flash.utils::ByteArray");
        Value o(vm->newObject());
        vm->setProperty(o, vm->publicName("first"), str(*vm, "Hello"));
        call(*vm, ba, "writeObject", {o});
        QCOMPARE(bytesOf(*vm, ba), (std::vector<int>{10, 11, 1, 11, 'f', 'i', 'r', 's', 't', 6, 11,
                                                     'H', 'e', 'l', 'l', 'o', 1}));
        // Integral numbers in 29 bits go as AMF 3 integers whatever their type; -0 and
        // larger ones as doubles.
        Value nums = make(*vm, u"flash.utils::ByteArray");
        call(*vm, nums, "writeObject", {Value(1.0)});
        call(*vm, nums, "writeObject", {Value(-0.0)});
        call(*vm, nums, "writeObject", {Value(268435456)});
        const std::vector<int> numBytes = bytesOf(*vm, nums);
        QCOMPARE(numBytes.size(), std::size_t{2 + 9 + 9});
        QCOMPARE(numBytes[0], 4);
        QCOMPARE(numBytes[1], 1);
        QCOMPARE(numBytes[2], 5);
        QCOMPARE(numBytes[3], 0x80);
        QCOMPARE(numBytes[11], 5);
        // A graph with a cycle and a ByteArray comes back with its shape.
        Value list(vm->newArray());
        call(*vm, list, "push", {Value(1), Value(2.5), str(*vm, "x"), Value::null(), list});
        Value inner = make(*vm, u"flash.utils::ByteArray");
        call(*vm, inner, "writeByte", {Value(7)});
        call(*vm, list, "push", {inner});
        for (int encoding : {0, 3}) {
            Value out = make(*vm, u"flash.utils::ByteArray");
            vm->setProperty(out, vm->publicName("objectEncoding"), Value(encoding));
            call(*vm, out, "writeObject", {list});
            vm->setProperty(out, vm->publicName("position"), Value(0));
            Value back = call(*vm, out, "readObject");
            QVERIFY(!vm->throwing());
            QCOMPARE(vm->toInt32(get(*vm, back, "length")), 6);
            QCOMPARE(vm->toNumber(vm->getProperty(back, vm->publicName("1"))), 2.5);
            QVERIFY(vm->getProperty(back, vm->publicName("3")).isNull());
            QVERIFY(vm->strictEquals(vm->getProperty(back, vm->publicName("4")), back));
            Value bytes = vm->getProperty(back, vm->publicName("5"));
            QCOMPARE(bytesOf(*vm, bytes), std::vector<int>{7});
            QCOMPARE(vm->toInt32(get(*vm, out, "bytesAvailable")), 0);
            call(*vm, out, "readObject");
            QCOMPARE(thrown(*vm), std::string("EOFError 2030"));
        }
    }

    void dictionaryKeysByIdentity()
    {
        auto vm = makeVm();
        Value d = make(*vm, u"flash.utils::Dictionary");
        Value k1(vm->newObject());
        Value k2(vm->newObject());
        // Both keys print "[object Object]": a Dictionary tells them apart.
        avm2::Name n1 = vm->publicName(vm->toString(k1));
        n1.key = k1.asObject();
        avm2::Name n2 = vm->publicName(vm->toString(k2));
        n2.key = k2.asObject();
        vm->setProperty(d, n1, Value(1));
        vm->setProperty(d, n2, Value(2));
        vm->setProperty(d, vm->publicName("[object Object]"), Value(3));
        QCOMPARE(vm->toInt32(vm->getProperty(d, n1)), 1);
        QCOMPARE(vm->toInt32(vm->getProperty(d, n2)), 2);
        QCOMPARE(vm->toInt32(vm->getProperty(d, vm->publicName("[object Object]"))), 3);
        QVERIFY(vm->hasProperty(d, n1));
        QVERIFY(vm->deleteProperty(d, n1));
        QVERIFY(!vm->hasProperty(d, n1));
        QVERIFY(vm->getProperty(d, n1).isUndefined());
        // for-in: the object key itself, then the named one.
        avm2::Object* o = d.asObject();
        std::vector<Value> keys;
        for (std::uint32_t p = o->nextEnumerable(0); p; p = o->nextEnumerable(p))
            keys.push_back(o->enumerableName(*vm, p));
        QCOMPARE(keys.size(), std::size_t{2});
        QVERIFY(vm->strictEquals(keys[0], k2));
        QCOMPARE(text(*vm, keys[1]), std::string("[object Object]"));
    }

    void json()
    {
        auto vm = makeVm();
        Value json = vm->getDefinitionByName(u"JSON");
        Value parsed = call(*vm, json, "parse",
                            {str(*vm, " {\"a\": [1, -2.5e1, true, null, \"\\u0041\\n\"]} ")});
        QVERIFY(!vm->throwing());
        Value a = get(*vm, parsed, "a");
        QCOMPARE(vm->toNumber(vm->getProperty(a, vm->publicName("1"))), -25.0);
        QCOMPARE(text(*vm, vm->getProperty(a, vm->publicName("4"))), std::string("A\n"));
        for (const char* bad : {"[1,]", "{'a':1}", "01", "[1] 2", "\"\t\"", "\v1", ""}) {
            call(*vm, json, "parse", {str(*vm, bad)});
            QCOMPARE(thrown(*vm), std::string("SyntaxError 1132"));
        }
        QCOMPARE(text(*vm, call(*vm, json, "stringify", {parsed})),
                 std::string("{\"a\":[1,-25,true,null,\"A\\n\"]}"));
        QCOMPARE(
            text(*vm, call(*vm, json, "stringify", {parsed, Value::null(), Value(2)})),
            std::string(
                "{\n  \"a\": [\n    1,\n    -25,\n    true,\n    null,\n    \"A\\n\"\n  ]\n}"));
        // A property list picks and orders the names; NaN and functions write as null.
        Value o(vm->newObject());
        vm->setProperty(o, vm->publicName("x"), Value(std::nan("")));
        vm->setProperty(o, vm->publicName("y"), str(*vm, "\x01"));
        vm->setProperty(o, vm->publicName("z"), Value(3));
        Value names(vm->newArray());
        call(*vm, names, "push", {str(*vm, "z"), str(*vm, "x"), str(*vm, "y"), str(*vm, "z")});
        QCOMPARE(text(*vm, call(*vm, json, "stringify", {o, names})),
                 std::string("{\"z\":3,\"x\":null,\"y\":\"\\u0001\"}"));
        call(*vm, json, "stringify", {o, Value(1)});
        QCOMPARE(thrown(*vm), std::string("TypeError 1131"));
        vm->setProperty(o, vm->publicName("self"), o);
        call(*vm, json, "stringify", {o});
        QCOMPARE(thrown(*vm), std::string("TypeError 1129"));
        QVERIFY(call(*vm, json, "stringify", {Value()}).isNull());
        // A ByteArray and a Dictionary write their class names.
        Value list(vm->newArray());
        call(*vm, list, "push",
             {make(*vm, u"flash.utils::ByteArray"), make(*vm, u"flash.utils::Dictionary")});
        QCOMPARE(text(*vm, call(*vm, json, "stringify", {list})),
                 std::string("[\"ByteArray\",\"Dictionary\"]"));
    }

    void proxyForwardsUndeclaredNames()
    {
        auto vm = makeVm();
        auto* proxyClass = static_cast<avm2::ClassObject*>(
            vm->getDefinitionByName(u"flash.utils::Proxy").asObject());
        avm2::ClassObject* probe = vm->defineClass("test", "Probe", proxyClass, false);
        using M = avm2::Vm::Member;
        auto describe = [](avm2::Vm& m, const Value& name) {
            return m.toText(name) + u"|" + m.toText(m.getProperty(name, m.publicName("uri")));
        };
        static std::u16string (*describeName)(avm2::Vm&, const Value&) = describe;
        vm->defineMethod(
            probe, "getProperty",
            [](avm2::Vm& m, const Value&, std::span<const Value> a) {
                return Value(m.newString(u"got " + describeName(m, a[0])));
            },
            1, M::FlashProxy);
        vm->defineMethod(
            probe, "setProperty",
            [](avm2::Vm& m, const Value&, std::span<const Value> a) {
                m.classState("test.set") =
                    Value(m.newString(m.toText(a[0]) + u"=" + m.toText(a[1])));
                return Value();
            },
            2, M::FlashProxy);
        vm->defineMethod(
            probe, "callProperty",
            [](avm2::Vm& m, const Value&, std::span<const Value> a) {
                return Value(
                    m.newString(m.toText(a[0]) + u"/" + avm2::utf16(std::to_string(a.size()))));
            },
            1, M::FlashProxy);
        vm->defineMethod(
            probe, "hasProperty",
            [](avm2::Vm& m, const Value&, std::span<const Value> a) {
                return Value(m.toText(a[0]) == u"here");
            },
            1, M::FlashProxy);
        vm->defineMethod(
            probe, "nextNameIndex",
            [](avm2::Vm& m, const Value&, std::span<const Value> a) {
                const int i = m.toInt32(a[0]);
                return Value(i < 3 ? i + 1 : 0);
            },
            1, M::FlashProxy);
        vm->defineMethod(
            probe, "nextName",
            [](avm2::Vm& m, const Value&, std::span<const Value> a) {
                return Value(m.newString(u"k" + m.toText(a[0])));
            },
            1, M::FlashProxy);
        vm->defineMethod(
            probe, "getDescendants",
            [](avm2::Vm& m, const Value&, std::span<const Value> a) {
                return Value(m.newString(u"descendants " + m.toText(a[0])));
            },
            1, M::FlashProxy);
        Value p = vm->construct(Value(probe), {});
        QVERIFY(!vm->throwing());
        QCOMPARE(text(*vm, get(*vm, p, "foo")), std::string("got foo|"));
        vm->setProperty(p, vm->publicName("bar"), Value(5));
        QCOMPARE(text(*vm, vm->classState("test.set")), std::string("bar=5"));
        QCOMPARE(text(*vm, call(*vm, p, "run", {Value(1), Value(2)})), std::string("run/3"));
        QVERIFY(vm->hasProperty(p, vm->publicName("here")));
        QVERIFY(!vm->hasProperty(p, vm->publicName("there")));
        // A name in another namespace arrives with its URI.
        avm2::Name qualified;
        qualified.local = vm->intern("baz");
        qualified.ns = vm->internNamespace(avm2::NsKind::Public, vm->intern("my.ns"));
        QCOMPARE(text(*vm, vm->getProperty(p, qualified)), std::string("got my.ns::baz|my.ns"));
        // Declared members are not forwarded (hasOwnProperty asks hasProperty with the
        // name as given); prototype functions are not declared, so toString is.
        avm2::Name hasOwn;
        hasOwn.local = vm->intern("hasOwnProperty");
        hasOwn.ns = vm->as3Ns();
        Value here[1] = {str(*vm, "here")};
        QVERIFY(vm->toBoolean(vm->callProperty(p, hasOwn, here)));
        QCOMPARE(text(*vm, call(*vm, p, "toString")), std::string("toString/1"));
        // for-in asks nextNameIndex and nextName.
        std::vector<std::string> names;
        for (std::uint32_t i = avm2::proxyNextIndex(*vm, *p.asObject(), 0); i;
             i = avm2::proxyNextIndex(*vm, *p.asObject(), i))
            names.push_back(text(*vm, p.asObject()->enumerableName(*vm, i)));
        QCOMPARE(names, (std::vector<std::string>{"k1", "k2", "k3"}));
        // x..name
        QCOMPARE(text(*vm, avm2::getDescendants(*vm, p, vm->publicName("kids"))),
                 std::string("descendants kids"));
        // What the subclass leaves alone says it must be overridden.
        vm->deleteProperty(p, vm->publicName("gone"));
        QCOMPARE(thrown(*vm), std::string("Error 2092"));
    }

    // Compiled code's run-time names reach a Dictionary with the key object itself
    // (setproperty, getproperty, in, delete through a MultinameL).
    void dictionaryFromByteCode()
    {
        using namespace swfwriter;
        AbcWriter w;
        const std::uint32_t pub = w.nsSet({w.ns(0x16, "")});
        const std::uint32_t late = w.multinameL(pub);
        const std::uint32_t dictionary = w.publicName("Dictionary", "flash.utils");
        const std::uint32_t trace = w.publicName("trace");
        abc::Code c;
        c.op(abc::Op::GetLocal0).op(abc::Op::PushScope);
        c.op(abc::Op::FindPropStrict, dictionary).op(abc::Op::ConstructProp, dictionary, 0);
        c.op(abc::Op::SetLocal1);
        c.op(abc::Op::NewObject, 0).op(abc::Op::SetLocal, 2);
        // d[k] = 7; d["[object Object]"] = "text"
        c.op(abc::Op::GetLocal1).op(abc::Op::GetLocal, 2).pushByte(7);
        c.op(abc::Op::SetProperty, late);
        c.op(abc::Op::GetLocal1).op(abc::Op::PushString, w.string("[object Object]"));
        c.op(abc::Op::PushString, w.string("text")).op(abc::Op::SetProperty, late);
        // trace(d[k], k in d, d["[object Object]"])
        c.op(abc::Op::FindPropStrict, trace);
        c.op(abc::Op::GetLocal1).op(abc::Op::GetLocal, 2).op(abc::Op::GetProperty, late);
        c.op(abc::Op::GetLocal, 2).op(abc::Op::GetLocal1).op(0xB4);
        c.op(abc::Op::GetLocal1).op(abc::Op::PushString, w.string("[object Object]"));
        c.op(abc::Op::GetProperty, late);
        c.op(abc::Op::CallPropVoid, trace, 3);
        // delete d[k]; trace(k in d)
        c.op(abc::Op::GetLocal1)
            .op(abc::Op::GetLocal, 2)
            .op(static_cast<abc::Op>(0x6A), late)
            .op(abc::Op::Pop);
        c.op(abc::Op::FindPropStrict, trace);
        c.op(abc::Op::GetLocal, 2).op(abc::Op::GetLocal1).op(0xB4);
        c.op(abc::Op::CallPropVoid, trace, 1);
        c.op(abc::Op::ReturnVoid);
        w.script(w.function({.name = "main"}, c, 8, 3), {});
        auto vm = makeVm();
        m_traces.clear();
        std::string error;
        QVERIFY2(vm->loadAbc(w.bytes(), false, &error), error.c_str());
        QVERIFY(!vm->throwing());
        QCOMPARE(m_traces, (std::vector<std::string>{"7 true text", "false"}));
    }

    void timers()
    {
        auto vm = makeVm();
        Value traceFn = vm->getDefinitionByName(u"trace");
        Value setTimeout = vm->getDefinitionByName(u"flash.utils::setTimeout");
        Value setInterval = vm->getDefinitionByName(u"flash.utils::setInterval");
        Value clearInterval = vm->getDefinitionByName(u"flash.utils::clearInterval");
        Value once[3] = {traceFn, Value(50), str(*vm, "once")};
        vm->call(setTimeout, Value::null(), once);
        Value every[3] = {traceFn, Value(20), str(*vm, "tick")};
        Value id = vm->call(setInterval, Value::null(), every);
        QVERIFY(vm->toUint32(id) > 0);
        m_traces.clear();
        m_now = 10;
        vm->runTimers();
        QVERIFY(m_traces.empty());
        m_now = 20;
        vm->runTimers();
        m_now = 55;
        vm->runTimers();
        QCOMPARE(m_traces, (std::vector<std::string>{"tick", "tick", "once"}));
        Value ids[1] = {id};
        vm->call(clearInterval, Value::null(), ids);
        m_now = 500;
        vm->runTimers();
        QCOMPARE(m_traces.size(), std::size_t{3});
        Value bad[2] = {Value::null(), Value(1)};
        vm->call(setTimeout, Value::null(), bad);
        QCOMPARE(thrown(*vm), std::string("TypeError 2007"));
    }
};

} // namespace

QTEST_GUILESS_MAIN(UtilsClassesTest)
#include "UtilsClassesTest.moc"
