// The test assembler's records, byte for byte where a slip would make every script
// test wrong together: branch offsets, push types, and the records that carry bodies.
#include "swfwriter/ActionWriter.h"

#include <QtTest>
#include <functional>

using namespace swfwriter;

using Code = std::function<void(ActionWriter&)>;
Q_DECLARE_METATYPE(Code)

class ActionWriterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void records_data();
    void records();
    void movieFramesEndWithEnd();
};

void ActionWriterTest::records_data()
{
    QTest::addColumn<Code>("code");
    QTest::addColumn<QByteArray>("hex");

    // Offsets count from the end of the branch record.
    QTest::newRow("forward jump") << Code([](ActionWriter& a) {
        auto l = a.label();
        a.jump(l).op(Op::Stop).bind(l).op(Op::Play);
    }) << QByteArray("99 0200 0100  07  06");
    QTest::newRow("backward if") << Code([](ActionWriter& a) {
        auto l = a.label();
        a.bind(l).op(Op::Play).ifTrue(l);
    }) << QByteArray("06  9d 0200 faff");
    QTest::newRow("two branches to one label") << Code([](ActionWriter& a) {
        auto l = a.label();
        a.ifTrue(l).jump(l).bind(l);
    }) << QByteArray("9d 0200 0500  99 0200 0000");
    QTest::newRow("push picks types")
        << Code([](ActionWriter& a) {
               a.push({"a", 2, 1.5, -0.0, 3e9, true, nullptr, Undefined{}});
           })
        << QByteArray("96 2700  00 6100  07 02000000  06 0000f83f 00000000  06 00000080 00000000"
                      "  06 0b5ae641 000000c0  05 01  02  03");
    QTest::newRow("push forced types")
        << Code([](ActionWriter& a) {
               a.push({Float{1}, Double{2}, Int{-1}, Str{"7"}, Register{3}, Constant{1},
                       Constant{300}, Constant16{2}});
           })
        << QByteArray("96 2000  01 0000803f  06 00000040 00000000  07 ffffffff  00 3700  04 03"
                      "  08 01  09 2c01  09 0200");
    QTest::newRow("DefineFunction2") << Code([](ActionWriter& a) {
        ActionWriter body;
        body.op(Op::Return);
        a.defineFunction2("f", 3, FunctionFlag::PreloadThis | FunctionFlag::PreloadGlobal,
                          {{1, "a"}, {0, "b"}}, body);
    }) << QByteArray("8e 0f00  6600 0200 03 0101  01 6100  00 6200  0100  3e");
    QTest::newRow("DefineFunction") << Code([](ActionWriter& a) {
        ActionWriter body;
        body.op(Op::Pop);
        a.defineFunction("g", {"x"}, body);
    }) << QByteArray("9b 0800  6700 0100 7800 0100  17");
    QTest::newRow("try, catch in a register, finally") << Code([](ActionWriter& a) {
        ActionWriter tryBody, catchBody, finallyBody;
        tryBody.op(Op::Throw);
        catchBody.op(Op::Pop).op(Op::Pop);
        finallyBody.op(Op::Stop);
        a.tryBlock(tryBody, Register{2}, catchBody, finallyBody);
    }) << QByteArray("8f 0800  07 0100 0200 0100 02  2a  17 17  07");
    QTest::newRow("try and finally only") << Code([](ActionWriter& a) {
        ActionWriter tryBody, finallyBody;
        tryBody.op(Op::Stop);
        finallyBody.op(Op::Play);
        a.tryBlock(tryBody, std::nullopt, {}, finallyBody);
    }) << QByteArray("8f 0800  02 0100 0000 0100 00  07  06");
    QTest::newRow("with") << Code([](ActionWriter& a) {
        ActionWriter body;
        body.op(Op::Stop);
        a.with(body);
    }) << QByteArray("94 0200 0100  07");
    QTest::newRow("GotoFrame2 with a scene bias")
        << Code([](ActionWriter& a) { a.gotoFrame2(true, 5).gotoFrame2(false); })
        << QByteArray("9f 0300 03 0500  9f 0100 00");
    QTest::newRow("Call has a length")
        << Code([](ActionWriter& a) { a.op(Op::Call); }) << QByteArray("9e 0000");
}

void ActionWriterTest::records()
{
    QFETCH(Code, code);
    QFETCH(QByteArray, hex);
    ActionWriter a;
    code(a);
    const auto& bytes = a.bytes();
    const QByteArray got(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<qsizetype>(bytes.size()));
    QCOMPARE(got.toHex(' '), QByteArray::fromHex(hex).toHex(' '));
}

void ActionWriterTest::movieFramesEndWithEnd()
{
    ActionWriter open;
    open.op(Op::Play);
    ActionWriter closed;
    closed.op(Op::Stop).end();
    TagList timeline;
    const ActionWriter frames[] = {open, closed};
    addScriptFrames(timeline, frames);
    // DoAction (code 12) with a short header, then ShowFrame; End is added only once.
    const std::vector<std::uint8_t> expected = {0x02, 0x03, 0x06, 0x00, 0x40, 0x00,
                                                0x02, 0x03, 0x07, 0x00, 0x40, 0x00};
    QCOMPARE(timeline.bytes(), expected);
    QCOMPARE(timeline.frameCount(), 2);
}

QTEST_APPLESS_MAIN(ActionWriterTest)
#include "ActionWriterTest.moc"
