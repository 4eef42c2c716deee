// Strings read as numbers: ToNumber (Number("..."), unary minus) and the global parseInt
// and parseFloat, with ActionScript 3's departures: signed hexadecimal, no octal.
#include "script/StringToNumber.h"

#include "script/ParseNumber.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace script;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

// Equal as ActionScript sees identity of numbers: NaN is NaN, and -0 is not 0.
QString mismatch(double got, double expected)
{
    const bool same = (std::isnan(got) && std::isnan(expected)) ||
                      (got == expected && std::signbit(got) == std::signbit(expected));
    return same ? QString()
                : QStringLiteral("got %1, expected %2")
                      .arg(got, 0, 'g', 17)
                      .arg(expected, 0, 'g', 17);
}

std::u16string text(const QString& s)
{
    return s.toStdU16String();
}

} // namespace

class StringToNumberTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toNumber_data();
    void toNumber();
    void parseIntCases_data();
    void parseIntCases();
    void parseFloatCases_data();
    void parseFloatCases();
};

void StringToNumberTest::toNumber_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty is 0") << "" << 0.0;
    QTest::newRow("spaces only are 0") << " \t\n\r\f\v" << 0.0;
    QTest::newRow("space separators around") << QString::fromUtf16(u"\u20001234\u2001") << 1234.0;
    QTest::newRow("no-break space and line separator")
        << QString::fromUtf16(u"\u00a07\u2028") << 7.0;
    QTest::newRow("a control is no space") << (QStringLiteral("1234") + QChar(0)) << kNaN;
    QTest::newRow("byte order mark is no space") << (QString(QChar(0xFEFF)) + "1") << kNaN;
    QTest::newRow("leading zeros are decimal") << "013  " << 13.0;
    QTest::newRow("minus zero") << "-0" << -0.0;
    QTest::newRow("trailing point") << "-3." << -3.0;
    QTest::newRow("leading point and exponent") << "+.01e+2" << 1.0;
    QTest::newRow("capital exponent") << "3.E-1" << 0.3;
    QTest::newRow("exponent without digits") << "1e-" << kNaN;
    QTest::newRow("point alone") << "." << kNaN;
    QTest::newRow("sign alone") << "-" << kNaN;
    QTest::newRow("two signs") << "-0-" << kNaN;
    QTest::newRow("inner space") << "1 2" << kNaN;
    QTest::newRow("Infinity with signs") << " -Infinity " << -kInf;
    QTest::newRow("Infinity is case sensitive") << "-infinity" << kNaN;
    QTest::newRow("Infinity misspelt") << "+Infiniti" << kNaN;
    QTest::newRow("overflow to infinity") << "-1e2000" << -kInf;
    QTest::newRow("rounds up past the largest double") << "1.7976931348623159e+308" << kInf;
    QTest::newRow("underflow keeps the sign") << "-1e-2000" << -0.0;
    QTest::newRow("denormal") << "5e-324" << 5e-324;
    QTest::newRow("exact round trip") << "0.30000000000000004" << 0.30000000000000004;
    QTest::newRow("hex") << "0X1a" << 26.0;
    QTest::newRow("hex with minus") << "-0x123456789abcde8" << -81985529216486880.0;
    QTest::newRow("hex with plus and spaces") << " +0x10 " << 16.0;
    QTest::newRow("hex rounds ties to even (down)")
        << "0x1000000000000080" << 1152921504606846976.0;
    QTest::newRow("hex past the tie rounds up") << "0x1000000000000081" << 1152921504606847232.0;
    QTest::newRow("hex tie rounds to even (up)") << "0x1000000000000180" << 1152921504606847488.0;
    QTest::newRow("hex of 2^64") << "0x10000000000000000" << 18446744073709551616.0;
    QTest::newRow("hex without digits") << "0x" << kNaN;
    QTest::newRow("hex with a bad digit") << "0x1g" << kNaN;
    QTest::newRow("hex has no fraction") << "0x1.8" << kNaN;
    QTest::newRow("huge hex is infinite") << ("0x" + QString(300, 'F')) << kInf;
}

void StringToNumberTest::toNumber()
{
    QFETCH(QString, input);
    QFETCH(double, expected);
    const QString problem = mismatch(stringToNumber(text(input)), expected);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void StringToNumberTest::parseIntCases_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("radix");
    QTest::addColumn<double>("expected");
    QTest::newRow("leading zeros are decimal") << "0022" << 0 << 22.0;
    QTest::newRow("0x picks hex") << "0x10" << 0 << 16.0;
    QTest::newRow("0x under radix 10 is 0") << "0x10" << 10 << 0.0;
    QTest::newRow("0x under radix 16") << "-0XfF" << 16 << -255.0;
    QTest::newRow("stops at the first non-digit") << "1e2" << 0 << 1.0;
    QTest::newRow("fraction dropped") << "1.9999999999999999999" << 0 << 1.0;
    QTest::newRow("leading space separators")
        << QString::fromUtf16(u"\u20001234\u2000") << 0 << 1234.0;
    QTest::newRow("plus sign") << "+77" << 0 << 77.0;
    QTest::newRow("minus in radix 9") << "-77" << 9 << -70.0;
    QTest::newRow("minus zero") << "-0" << 0 << -0.0;
    QTest::newRow("digit out of radix") << "9" << 8 << kNaN;
    QTest::newRow("radix 35") << "yz" << 35 << 34.0;
    QTest::newRow("radix 36") << "yz" << 36 << 1259.0;
    QTest::newRow("radix 37") << "yz" << 37 << kNaN;
    QTest::newRow("radix 1") << "0" << 1 << kNaN;
    QTest::newRow("negative radix") << "10" << -10 << kNaN;
    QTest::newRow("no digits") << " x" << 0 << kNaN;
    QTest::newRow("empty") << "" << 0 << kNaN;
    QTest::newRow("sign, then space") << "- 1" << 0 << kNaN;
    QTest::newRow("Infinity is no integer") << "Infinity" << 0 << kNaN;
    QTest::newRow("decimal rounds exactly") << "123456789012345678" << 0 << 123456789012345680.0;
    QTest::newRow("binary tie to even, down")
        << "000000100000000100100011010001010110011110001001101010111101" << 2
        << 9027215253084860.0;
    QTest::newRow("binary past half rounds up")
        << "000000100000000100100011010001010110011110001001101010111111" << 2
        << 9027215253084864.0;
    QTest::newRow("binary tie to even, up")
        << "0000001000000001001000110100010101100111100010011010101111010" << 2
        << 18054430506169720.0;
    QTest::newRow("radix 32 stops at x") << "0xFFFF" << 32 << 0.0;
    QTest::newRow("radix 36 overflows") << ("0x" + QString(300, 'F')) << 36 << kInf;
    QTest::newRow("hex overflows") << ("0x" + QString(300, 'F')) << 0 << kInf;
    QTest::newRow("trailing space ignored") << " 1234 " << 0 << 1234.0;
}

void StringToNumberTest::parseIntCases()
{
    QFETCH(QString, input);
    QFETCH(int, radix);
    QFETCH(double, expected);
    const QString problem = mismatch(parseInt(text(input), radix), expected);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void StringToNumberTest::parseFloatCases_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << "" << kNaN;
    QTest::newRow("space") << " " << kNaN;
    QTest::newRow("word") << "string" << kNaN;
    QTest::newRow("Infinity with text after") << "  -Infinity  x" << -kInf;
    QTest::newRow("minus zero") << "-0" << -0.0;
    QTest::newRow("hex reads its 0") << "  0XF  " << 0.0;
    QTest::newRow("exponent") << "-.01e-2" << -0.0001;
    QTest::newRow("exponent without digits stops before e") << "1e+" << 1.0;
    QTest::newRow("second point stops") << "1.5.3" << 1.5;
    QTest::newRow("point without digits") << ".e1" << kNaN;
    QTest::newRow("overflow") << "1e2000" << kInf;
    QTest::newRow("underflow") << "1e-2000" << 0.0;
    QTest::newRow("leading zeros") << "0010" << 10.0;
    QTest::newRow("line terminator before") << QString::fromUtf16(u"\u20293.25") << 3.25;
}

void StringToNumberTest::parseFloatCases()
{
    QFETCH(QString, input);
    QFETCH(double, expected);
    const QString problem = mismatch(parseFloat(text(input)), expected);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

QTEST_GUILESS_MAIN(StringToNumberTest)
#include "StringToNumberTest.moc"
