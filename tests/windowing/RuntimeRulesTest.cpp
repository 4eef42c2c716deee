// The runtime's arithmetic rules: twips, checked integers, rounding, the
// floating-point fault test, skip-on-error mode and the top level's report.
#include "windowing/Checked.h"
#include "windowing/EventHandler.h"
#include "windowing/SkipOnError.h"
#include "windowing/Twips.h"

#include <QTemporaryFile>
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unistd.h>

using namespace windowing;

namespace {

// Runs `body` with standard error sent to a file, and returns what was written.
template <typename Body> QByteArray captureStderr(Body&& body)
{
    QTemporaryFile file;
    if (!file.open())
        return "cannot capture";
    std::fflush(stderr);
    const int saved = ::dup(2);
    ::dup2(file.handle(), 2);
    body();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    file.seek(0);
    return file.readAll();
}

ErrorNumber errorOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return static_cast<ErrorNumber>(0);
}

} // namespace

class RuntimeRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twipsToPixels_data()
    {
        QTest::addColumn<float>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("exact") << 4740.0f << 316;
        QTest::newRow("below half") << 22.0f << 1;
        QTest::newRow("half to even, down") << 7.5f << 0;
        QTest::newRow("half to even, up") << 22.5f << 2;
        QTest::newRow("negative") << -450.0f << -30;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0;
        QTest::newRow("saturates") << 1e30f << std::numeric_limits<int>::max();
    }
    void twipsToPixels()
    {
        QFETCH(float, twips);
        QFETCH(int, pixels);
        QCOMPARE(toPixels(twips), pixels);
    }

    void checkedIntegersRaiseOverflow()
    {
        QCOMPARE(add16(32766, 1), std::int16_t(32767));
        QCOMPARE(errorOf([] { add16(32767, 1); }), ErrorNumber::Overflow);
        QCOMPARE(errorOf([] { sub16(-32768, 1); }), ErrorNumber::Overflow);
        QCOMPARE(sub16(0, 1), std::int16_t(-1));
        QCOMPARE(errorOf([] { add32(std::numeric_limits<std::int32_t>::max(), 1); }),
                 ErrorNumber::Overflow);
        QCOMPARE(mul32(143165576, 15), 2147483640);
        QCOMPARE(errorOf([] { mul32(143165577, 15); }), ErrorNumber::Overflow);
        QCOMPARE(narrow16(-32768), std::int16_t(-32768));
        QCOMPARE(errorOf([] { narrow16(32768); }), ErrorNumber::Overflow);
    }

    void roundingIsHalfToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("1200.5") << 1200.5 << 1200;
        QTest::newRow("1201.5") << 1201.5 << 1202;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("-3.5") << -3.5 << -4;
        QTest::newRow("1200.4") << 1200.4 << 1200;
        QTest::newRow("1200.6") << 1200.6 << 1201;
    }
    void roundingIsHalfToEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(roundToInt32(value), expected);
    }

    void conversionsOutOfRangeOverflow()
    {
        QCOMPARE(errorOf([] { roundToInt32(2147483647.5); }), ErrorNumber::Overflow);
        QCOMPARE(errorOf([] { roundToInt32(std::nan("")); }), ErrorNumber::Overflow);
        QCOMPARE(errorOf([] { roundToInt16(32767.6); }), ErrorNumber::Overflow);
        QCOMPARE(roundToInt16(-32768.4), std::int16_t(-32768));
    }

    void floatingPointFaultTest()
    {
        QCOMPARE(checkSingle(3060.0), 3060.0f);
        QCOMPARE(errorOf([] { checkSingle(1e39); }), ErrorNumber::Overflow);
        QCOMPARE(errorOf([] { checkSingle(std::numeric_limits<double>::infinity()); }),
                 ErrorNumber::Overflow);
        QCOMPARE(errorOf([] { checkDouble(std::nan("")); }), ErrorNumber::Overflow);
        QCOMPARE(divide(4740, 2), 2370.0);
        QCOMPARE(errorOf([] { divide(1, 0); }), ErrorNumber::DivisionByZero);
        QCOMPARE(errorOf([] { divide(0, 0); }), ErrorNumber::Overflow);
    }

    void skipOnErrorAbandonsOnlyTheFailingStep()
    {
        QStringList ran;
        SkipOnError step(true);
        step([&] {
            ran << "first";
            raiseError(ErrorNumber::Overflow);
            ran << "never";
        });
        step([&] { ran << "second"; });
        QCOMPARE(ran, QStringList({"first", "second"}));
    }

    void skipOnErrorOffLetsTheErrorPass()
    {
        SkipOnError step(false);
        QCOMPARE(errorOf([&] { step([] { raiseError(ErrorNumber::DivisionByZero); }); }),
                 ErrorNumber::DivisionByZero);
    }

    void skipOnErrorTakesOnlyRuntimeErrors()
    {
        SkipOnError step(true);
        bool escaped = false;
        try {
            step([] { throw std::logic_error("a bug, not a run-time error"); });
        } catch (const std::logic_error&) {
            escaped = true;
        }
        QVERIFY(escaped);
    }

    void topLevelReportsOneLineAndContinues()
    {
        bool after = false;
        const QByteArray printed = captureStderr([&] {
            runEventHandler("frmMain.Resize", [] { raiseError(ErrorNumber::Overflow); });
            after = true;
        });
        QVERIFY(after);
        QCOMPARE(printed, QByteArray("reelvane: run-time error 6 (Overflow) in frmMain.Resize\n"));
    }

    void topLevelTakesOtherExceptionsToo()
    {
        const QByteArray printed = captureStderr(
            [] { runEventHandler("picX_Click", [] { throw std::runtime_error("boom"); }); });
        QVERIFY(
            printed.startsWith("reelvane: run-time error 51 (Internal error: boom) in picX_Click"));
    }

    void handlersWithoutErrorsPrintNothing()
    {
        int calls = 0;
        const QByteArray printed = captureStderr([&] { runEventHandler("x", [&] { ++calls; }); });
        QCOMPARE(calls, 1);
        QVERIFY(printed.isEmpty());
    }
};

QTEST_APPLESS_MAIN(RuntimeRulesTest)
#include "RuntimeRulesTest.moc"
