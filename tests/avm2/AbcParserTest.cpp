// The ABC reader on blocks from the project's assembler: every table read back as
// written, every index and count checked, and damaged blocks refused with a reason.
#include "avm2/abc/AbcParser.h"

#include "AbcWriter.h"
#include "avm2/abc/Disassembler.h"
#include "avm2/abc/Instruction.h"

#include <QtTest>
#include <cmath>

using namespace swfwriter;
using avm2::abc::AbcFile;
using avm2::abc::parseAbc;

namespace {

// A class Point with a slot, a method and a getter, and a script whose initializer
// builds it and calls a function with an optional parameter.
AbcWriter pointProgram()
{
    AbcWriter w;
    const std::uint32_t intType = w.publicName("int");
    const std::uint32_t point = w.publicName("Point", "geom");
    const std::uint32_t object = w.publicName("Object");
    const std::uint32_t vectorOfInt = w.typeName(w.publicName("Vector", "__AS3__.vec"), {intType});

    abc::Code empty;
    empty.op(abc::Op::GetLocal0).op(abc::Op::PushScope).op(abc::Op::ReturnVoid);
    const std::uint32_t cinit = w.function({.name = "Point$cinit"}, empty);
    abc::Code ctor;
    ctor.op(abc::Op::GetLocal0).op(abc::Op::ConstructSuper, 0).op(abc::Op::ReturnVoid);
    const std::uint32_t iinit = w.function({.paramTypes = {intType}, .name = "Point"}, ctor, 2, 2);
    abc::Code length;
    length.op(abc::Op::GetLocal0).op(abc::Op::GetProperty, w.publicName("x"));
    length.op(abc::Op::ReturnValue);
    const std::uint32_t getter = w.function({.returnType = intType, .name = "length"}, length);

    abc::ClassInfo c;
    c.name = point;
    c.superName = object;
    c.instanceInit = iinit;
    c.classInit = cinit;
    c.instanceTraits.push_back({.name = w.publicName("x"),
                                .kind = abc::TraitKind::Slot,
                                .id = 1,
                                .typeName = intType,
                                .value = abc::ConstantValue{w.integer(-7), abc::kConstInt}});
    c.instanceTraits.push_back({.name = w.publicName("length"),
                                .kind = abc::TraitKind::Getter,
                                .attributes = 1,
                                .index = getter,
                                .metadata = {w.metadata("Inline", {{"", "yes"}, {"k", "v"}})}});
    c.classTraits.push_back({.name = w.publicName("ORIGIN"),
                             .kind = abc::TraitKind::Const,
                             .id = 1,
                             .typeName = vectorOfInt});
    const std::uint32_t cls = w.addClass(c);

    abc::Code f;
    f.op(abc::Op::GetLocal1).op(abc::Op::ReturnValue);
    const std::uint32_t withDefault =
        w.function({.paramTypes = {0},
                    .name = "withDefault",
                    .optional = {abc::ConstantValue{w.number(2.5), abc::kConstDouble}},
                    .paramNames = {"amount"}},
                   f);

    abc::Code init;
    abc::Code::Label loop = init.label();
    abc::Code::Label done = init.label();
    init.op(abc::Op::GetLocal0).op(abc::Op::PushScope);
    init.bind(loop);
    init.pushByte(-1).branch(abc::Op::IfFalse, done).branch(abc::Op::Jump, loop);
    init.bind(done);
    init.op(abc::Op::ReturnVoid);
    const std::uint32_t scriptInit = w.function({.name = ""}, init, 4);
    w.script(scriptInit, {{.name = point, .kind = abc::TraitKind::Class, .id = 1, .index = cls},
                          {.name = w.publicName("withDefault"),
                           .kind = abc::TraitKind::Function,
                           .id = 2,
                           .index = withDefault}});
    return w;
}

} // namespace

class AbcParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsEveryTableBack();
    void poolEntryZeroIsImplied();
    void instructionsAndBranches_data();
    void instructionsAndBranches();
    void refusesDamagedBlocks_data();
    void refusesDamagedBlocks();
    void everyCutIsRefused();
    void typeNamesMustNotNestWithoutEnd();
    void listsTheBlock();
};

void AbcParserTest::readsEveryTableBack()
{
    const auto parsed = parseAbc(pointProgram().bytes());
    QVERIFY2(parsed.ok(), parsed.ok() ? "" : parsed.error().message().c_str());
    const AbcFile& abc = *parsed;
    QCOMPARE(abc.majorVersion, 46);
    QCOMPARE(abc.minorVersion, 16);
    QCOMPARE(abc.instances.size(), 1u);
    QCOMPARE(abc.classes.size(), 1u);
    QCOMPARE(abc.scripts.size(), 1u);
    QCOMPARE(abc.methods.size(), abc.bodies.size());
    for (std::size_t i = 0; i < abc.methods.size(); ++i) {
        QVERIFY(abc.methods[i].body);
        QCOMPARE(abc.bodies[*abc.methods[i].body].method, i);
    }

    const auto& instance = abc.instances[0];
    QCOMPARE(avm2::abc::multinameText(abc, instance.name), std::string("geom::Point"));
    QCOMPARE(avm2::abc::multinameText(abc, instance.superName), std::string("Object"));
    QCOMPARE(instance.traits.size(), 2u);
    const auto& slot = instance.traits[0];
    QCOMPARE(slot.kind, avm2::abc::TraitKind::Slot);
    QCOMPARE(slot.value.kind, avm2::abc::ConstantKind::Int);
    QCOMPARE(abc.pool.ints[slot.value.index], -7);
    const auto& getter = instance.traits[1];
    QCOMPARE(getter.kind, avm2::abc::TraitKind::Getter);
    QCOMPARE(getter.attributes,
             avm2::abc::trait_attributes::kFinal | avm2::abc::trait_attributes::kMetadata);
    QCOMPARE(getter.metadata.size(), 1u);
    // Metadata keys are stored before the values; a key of 0 is an item without one.
    const auto& meta = abc.metadata[getter.metadata[0]];
    QCOMPARE(abc.pool.strings[meta.name], std::string("Inline"));
    QCOMPARE(meta.items.size(), 2u);
    QCOMPARE(meta.items[0].key, 0u);
    QCOMPARE(abc.pool.strings[meta.items[0].value], std::string("yes"));
    QCOMPARE(abc.pool.strings[meta.items[1].key], std::string("k"));
    QCOMPARE(abc.pool.strings[meta.items[1].value], std::string("v"));

    const auto& constant = abc.classes[0].traits[0];
    QCOMPARE(avm2::abc::multinameText(abc, constant.typeName),
             std::string("__AS3__.vec::Vector.<int>"));

    const auto& function = abc.scripts[0].traits[1];
    QCOMPARE(function.kind, avm2::abc::TraitKind::Function);
    const auto& withDefault = abc.methods[function.index];
    QCOMPARE(withDefault.optionalValues.size(), 1u);
    QCOMPARE(abc.pool.doubles[withDefault.optionalValues[0].index], 2.5);
    QCOMPARE(abc.pool.strings[withDefault.paramNames.at(0)], std::string("amount"));
}

void AbcParserTest::poolEntryZeroIsImplied()
{
    // An empty block: every count 0, and entry 0 of each table still there.
    const std::vector<std::uint8_t> empty = {16, 0, 46, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const auto parsed = parseAbc(empty);
    QVERIFY(parsed.ok());
    QCOMPARE(parsed->pool.ints.size(), 1u);
    QVERIFY(std::isnan(parsed->pool.doubles.at(0)));
    QCOMPARE(parsed->pool.strings.at(0), std::string());
    QCOMPARE(avm2::abc::multinameText(*parsed, 0), std::string("*"));
}

void AbcParserTest::instructionsAndBranches_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("length");
    QTest::addColumn<qint64>("firstTarget");

    auto bytes = [](std::initializer_list<int> b) {
        QByteArray out;
        for (int v : b)
            out.append(static_cast<char>(v));
        return out;
    };
    QTest::newRow("pushbyte sign-extends") << bytes({0x24, 0xFF}) << "pushbyte" << 2 << qint64(-1);
    QTest::newRow("jump counts from its end")
        << bytes({0x10, 0x02, 0x00, 0x00}) << "jump" << 4 << qint64(6);
    QTest::newRow("backward branch")
        << bytes({0x11, 0xFC, 0xFF, 0xFF}) << "iftrue" << 4 << qint64(0);
    QTest::newRow("switch counts from itself")
        << bytes({0x1B, 0x05, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00})
        << "lookupswitch" << 11 << qint64(5);
    QTest::newRow("callproperty two operands")
        << bytes({0x46, 0x81, 0x01, 0x02}) << "callproperty" << 4 << qint64(129);
    QTest::newRow("debug four fields")
        << bytes({0xEF, 0x01, 0x03, 0x00, 0x00}) << "debug" << 5 << qint64(1);
}

void AbcParserTest::instructionsAndBranches()
{
    QFETCH(QByteArray, code);
    QFETCH(QString, name);
    QFETCH(int, length);
    QFETCH(qint64, firstTarget);
    const auto* data = reinterpret_cast<const std::uint8_t*>(code.constData());
    const auto ins = avm2::abc::readInstruction({data, static_cast<std::size_t>(code.size())}, 0);
    QVERIFY(ins);
    QCOMPARE(QString::fromUtf8(avm2::abc::opcodeInfo(ins->code).name.data()), name);
    QCOMPARE(static_cast<int>(ins->length), length);
    const qint64 first =
        !ins->cases.empty() ? ins->cases[0]
        : avm2::abc::opcodeInfo(ins->code).layout == avm2::abc::OperandLayout::Branch
            ? ins->target
            : static_cast<std::int32_t>(ins->operands[0]);
    QCOMPARE(first, firstTarget);
    // Cut anywhere inside, the instruction is refused rather than read past the end.
    for (int cut = 1; cut < length; ++cut)
        QVERIFY(!avm2::abc::readInstruction({data, static_cast<std::size_t>(cut)}, 0));
}

void AbcParserTest::refusesDamagedBlocks_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("reason");
    auto bytes = [](std::initializer_list<int> b) {
        QByteArray out;
        for (int v : b)
            out.append(static_cast<char>(v));
        return out;
    };
    // version, then int, uint, double, string, namespace, ns set, multiname counts...
    QTest::newRow("huge string count")
        << bytes({16, 0, 46, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}) << "string pool";
    QTest::newRow("string past the end") << bytes({16, 0, 46, 0, 0, 0, 0, 2, 9, 'a'}) << "string";
    QTest::newRow("namespace kind")
        << bytes({16, 0, 46, 0, 0, 0, 0, 0, 2, 0x42, 0}) << "namespace kind";
    QTest::newRow("namespace names a missing string")
        << bytes({16, 0, 46, 0, 0, 0, 0, 0, 2, 0x16, 5}) << "namespace name";
    QTest::newRow("set holds namespace 0")
        << bytes({16, 0, 46, 0, 0, 0, 0, 0, 0, 2, 1, 0}) << "namespace 0";
    QTest::newRow("multiname kind")
        << bytes({16, 0, 46, 0, 0, 0, 0, 0, 0, 0, 2, 0x33}) << "multiname kind";
    QTest::newRow("multiname without namespaces")
        << bytes({16, 0, 46, 0, 0, 0, 0, 0, 0, 0, 2, 0x09, 0, 0}) << "without namespaces";
    QTest::newRow("method count beyond the bytes")
        << bytes({16, 0, 46, 0, 0, 0, 0, 0, 0, 0, 0, 0x7F}) << "methods";
    QTest::newRow("method return type out of range")
        << bytes({16, 0, 46, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 9, 0, 0, 0, 0, 0, 0}) << "return type";
}

void AbcParserTest::refusesDamagedBlocks()
{
    QFETCH(QByteArray, block);
    QFETCH(QString, reason);
    const auto parsed = parseAbc({reinterpret_cast<const std::uint8_t*>(block.constData()),
                                  static_cast<std::size_t>(block.size())});
    QVERIFY(!parsed.ok());
    const QString message = QString::fromStdString(parsed.error().message());
    QVERIFY2(message.contains(reason), qPrintable(message));
}

void AbcParserTest::everyCutIsRefused()
{
    // A block cut short anywhere fails cleanly: no cut reads past its end.
    const std::vector<std::uint8_t> whole = pointProgram().bytes();
    QVERIFY(parseAbc(whole).ok());
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        QVERIFY2(!parseAbc({whole.data(), cut}).ok(), qPrintable(QString::number(cut)));
}

void AbcParserTest::typeNamesMustNotNestWithoutEnd()
{
    AbcWriter w;
    const std::uint32_t vector = w.publicName("Vector");
    const std::uint32_t inner = w.typeName(vector, {w.publicName("int")});
    const std::uint32_t outer = w.typeName(vector, {inner});
    QVERIFY(parseAbc(w.bytes()).ok());
    QCOMPARE(avm2::abc::multinameText(*parseAbc(w.bytes()), outer),
             std::string("Vector.<Vector.<int>>"));

    // A type name whose parameter is itself: refused, not walked for ever.
    AbcWriter self;
    const std::uint32_t selfVector = self.publicName("Vector");
    const std::uint32_t itself = self.typeName(selfVector, {selfVector + 1});
    QCOMPARE(itself, selfVector + 1);
    const auto parsed = parseAbc(self.bytes());
    QVERIFY(!parsed.ok());
    QVERIFY(QString::fromStdString(parsed.error().message()).contains("cycle"));
}

void AbcParserTest::listsTheBlock()
{
    const auto parsed = parseAbc(pointProgram().bytes());
    QVERIFY(parsed.ok());
    const std::string listing = avm2::abc::disassemble(*parsed);
    QVERIFY(listing.find("class 0 geom::Point extends Object") != std::string::npos);
    QVERIFY(listing.find("getter length (method") != std::string::npos);
    QVERIFY(listing.find("constructsuper 0") != std::string::npos);
    QVERIFY(listing.find("pushbyte -1") != std::string::npos);
    QVERIFY(listing.find("getproperty x") != std::string::npos);
}

QTEST_GUILESS_MAIN(AbcParserTest)
#include "AbcParserTest.moc"
