// The integer conversions: ToInteger, ToInt32, ToUint32 (the >>> 0 of scripts), ToUint16.
#include "script/NumberConvert.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace script;

class NumberConvertTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void int32AndUint32_data();
    void int32AndUint32();
    void integerAndUint16();
    void integerText();
};

void NumberConvertTest::int32AndUint32_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("asInt32");
    QTest::addColumn<qint64>("asUint32");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("NaN") << std::nan("") << qint64(0) << qint64(0);
    QTest::newRow("infinity") << inf << qint64(0) << qint64(0);
    QTest::newRow("minus infinity") << -inf << qint64(0) << qint64(0);
    QTest::newRow("smallest denormal") << 5e-324 << qint64(0) << qint64(0);
    QTest::newRow("minus fraction") << -1.1 << qint64(-1) << qint64(4294967295);
    QTest::newRow("2^31") << 2147483648.0 << qint64(-2147483648) << qint64(2147483648);
    QTest::newRow("2^32 + 1") << 4294967297.0 << qint64(1) << qint64(1);
    QTest::newRow("-2^31 - 1") << -2147483649.0 << qint64(2147483647) << qint64(2147483647);
    QTest::newRow("-2^32") << -4294967296.0 << qint64(0) << qint64(0);
    QTest::newRow("2^53 + 2 keeps low bits") << 9007199254740994.0 << qint64(2) << qint64(2);
    QTest::newRow("1e21 wraps exactly") << 1e21 << qint64(-559939584) << qint64(3735027712);
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << qint64(0) << qint64(0);
}

void NumberConvertTest::int32AndUint32()
{
    QFETCH(double, value);
    QFETCH(qint64, asInt32);
    QFETCH(qint64, asUint32);
    QCOMPARE(qint64(toInt32(value)), asInt32);
    QCOMPARE(qint64(toUint32(value)), asUint32);
}

void NumberConvertTest::integerAndUint16()
{
    QCOMPARE(toInteger(std::nan("")), 0.0);
    QVERIFY(std::signbit(toInteger(-0.5)));
    QCOMPARE(toInteger(-2.9), -2.0);
    QCOMPARE(toInteger(-std::numeric_limits<double>::infinity()),
             -std::numeric_limits<double>::infinity());
    QCOMPARE(int(toUint16(65601.0)), 65);
    QCOMPARE(int(toUint16(-1.0)), 65535);
}

void NumberConvertTest::integerText()
{
    QCOMPARE(QString::fromStdU16String(intToString(-2147483647 - 1)),
             QStringLiteral("-2147483648"));
    QCOMPARE(QString::fromStdU16String(intToString(0)), QStringLiteral("0"));
    QCOMPARE(QString::fromStdU16String(uintToString(4294967295u)), QStringLiteral("4294967295"));
}

QTEST_GUILESS_MAIN(NumberConvertTest)
#include "NumberConvertTest.moc"
