// The verifier's first pass: code followed from the entry and the handlers, junk where
// no path goes left alone, and the reference's errors for branches off the
// instructions, code that runs off its end, bad opcodes and bad handler ranges.
#include "avm2/verify/ControlFlow.h"

#include <QtTest>

using avm2::analyseControlFlow;
using avm2::VerifyErrorKind;

Q_DECLARE_METATYPE(std::vector<std::uint8_t>)

namespace {

struct Handler {
    std::uint32_t from, to, target;
};

avm2::abc::MethodBody bodyOf(const std::vector<std::uint8_t>& code,
                             const std::vector<Handler>& handlers = {})
{
    avm2::abc::MethodBody body;
    body.code = code;
    for (const Handler& h : handlers) {
        avm2::abc::ExceptionInfo e;
        e.from = h.from;
        e.to = h.to;
        e.target = h.target;
        body.exceptions.push_back(e);
    }
    return body;
}

} // namespace

class ControlFlowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void verdicts_data();
    void verdicts();
    void handlersAreEntries();
    void messagesAreTheReferences();
};

void ControlFlowTest::verdicts_data()
{
    QTest::addColumn<std::vector<std::uint8_t>>("code");
    QTest::addColumn<int>("error"); // 0: accepted
    QTest::addColumn<int>("reached");

    // returnvoid 0x47, jump 0x10, iftrue 0x11, pushtrue 0x26, pop 0x29, nop 0x02.
    QTest::newRow("straight line") << std::vector<std::uint8_t>{0x26, 0x29, 0x47} << 0 << 3;
    QTest::newRow("junk after a return is not read")
        << std::vector<std::uint8_t>{0x47, 0xFF, 0xFE, 0x10} << 0 << 1;
    QTest::newRow("a jump over junk")
        << std::vector<std::uint8_t>{0x10, 0x02, 0x00, 0x00, 0xFF, 0xFF, 0x47} << 0 << 2;
    QTest::newRow("a loop") << std::vector<std::uint8_t>{0x26, 0x11, 0xFB, 0xFF, 0xFF, 0x47} << 0
                            << 3;
    QTest::newRow("empty code falls off the end")
        << std::vector<std::uint8_t>{} << int(VerifyErrorKind::FallsOffEnd) << 0;
    QTest::newRow("no return at the end")
        << std::vector<std::uint8_t>{0x26, 0x29} << int(VerifyErrorKind::FallsOffEnd) << 0;
    QTest::newRow("a branch to the end")
        << std::vector<std::uint8_t>{0x26, 0x11, 0x01, 0x00, 0x00, 0x47}
        << int(VerifyErrorKind::FallsOffEnd) << 0;
    QTest::newRow("an unknown opcode reached")
        << std::vector<std::uint8_t>{0x02, 0xFF, 0x47} << int(VerifyErrorKind::IllegalOpcode) << 0;
    QTest::newRow("operands cut by the end")
        << std::vector<std::uint8_t>{0x02, 0x10, 0x00} << int(VerifyErrorKind::FallsOffEnd) << 0;
    QTest::newRow("a branch into an instruction")
        << std::vector<std::uint8_t>{0x11, 0xFD, 0xFF, 0xFF, 0x2C, 0x01, 0x47}
        << int(VerifyErrorKind::BadBranchTarget) << 0;
    QTest::newRow("a branch before the code")
        << std::vector<std::uint8_t>{0x10, 0x00, 0x00, 0x80, 0x47}
        << int(VerifyErrorKind::BadBranchTarget) << 0;
    // lookupswitch: default to the return, one case into the middle of the switch.
    QTest::newRow("a switch case into itself")
        << std::vector<std::uint8_t>{0x24, 0x00, 0x1B, 0x08, 0x00, 0x00,
                                     0x00, 0x01, 0x00, 0x00, 0x47}
        << int(VerifyErrorKind::BadBranchTarget) << 0;
    QTest::newRow("a switch to its cases")
        << std::vector<std::uint8_t>{0x24, 0x00, 0x1B, 0x09, 0x00, 0x00,
                                     0x00, 0x08, 0x00, 0x00, 0x47, 0x47}
        << 0 << 4;
}

void ControlFlowTest::verdicts()
{
    QFETCH(std::vector<std::uint8_t>, code);
    QFETCH(int, error);
    QFETCH(int, reached);
    const auto flow = analyseControlFlow(bodyOf(code));
    if (error) {
        QVERIFY(!flow.ok());
        QCOMPARE(flow.error().number(), error);
        return;
    }
    QVERIFY2(flow.ok(), flow.ok() ? "" : flow.error().message().c_str());
    QCOMPARE(static_cast<int>(flow->instructions.size()), reached);
    for (std::size_t i = 1; i < flow->instructions.size(); ++i)
        QVERIFY(flow->instructions[i - 1].offset < flow->instructions[i].offset);
    for (std::size_t i = 0; i < flow->instructions.size(); ++i)
        QCOMPARE(flow->indexAt[flow->instructions[i].offset], static_cast<std::int32_t>(i));
}

void ControlFlowTest::handlersAreEntries()
{
    // returnvoid, then a handler no branch reaches: pop the exception, return.
    const std::vector<std::uint8_t> code = {0x02, 0x47, 0x29, 0x47};
    const auto flow = analyseControlFlow(bodyOf(code, {{0, 1, 2}}));
    QVERIFY(flow.ok());
    QCOMPARE(flow->instructions.size(), 4u);

    QCOMPARE(analyseControlFlow(bodyOf(code, {{1, 0, 2}})).error().kind,
             VerifyErrorKind::BadExceptionRange);
    QCOMPARE(analyseControlFlow(bodyOf(code, {{0, 5, 2}})).error().kind,
             VerifyErrorKind::BadExceptionRange);
    QCOMPARE(analyseControlFlow(bodyOf(code, {{0, 1, 4}})).error().kind,
             VerifyErrorKind::BadExceptionRange);
    // A handler into the middle of an instruction.
    const std::vector<std::uint8_t> push = {0x2C, 0x01, 0x29, 0x47};
    QCOMPARE(analyseControlFlow(bodyOf(push, {{0, 2, 1}})).error().kind,
             VerifyErrorKind::BadBranchTarget);
}

void ControlFlowTest::messagesAreTheReferences()
{
    const auto flow = analyseControlFlow(bodyOf({0x26, 0x29}));
    QCOMPARE(QString::fromStdString(flow.error().message()),
             QString("Error #1020: Code cannot fall off the end of a method."));
}

QTEST_GUILESS_MAIN(ControlFlowTest)
#include "ControlFlowTest.moc"
