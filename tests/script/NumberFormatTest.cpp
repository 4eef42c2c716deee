// Numbers printed as ActionScript 3 prints them: ECMAScript's layouts, exact decimal
// rounding, and the reference's 15-digit cut of large magnitudes.
#include "script/NumberFormat.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace script;

class NumberFormatTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toStringShortest_data();
    void toStringShortest();
    void fixedPrecisionExponential_data();
    void fixedPrecisionExponential();
    void radix_data();
    void radix();
};

void NumberFormatTest::toStringShortest_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("sum that does not round trip short") << 0.1 + 0.2 << "0.30000000000000004";
    QTest::newRow("integer") << 42.0 << "42";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("below 1e21 in full") << 1e20 << "100000000000000000000";
    QTest::newRow("1e21 takes an exponent") << 1e21 << "1e+21";
    QTest::newRow("small fixed") << 0.000001 << "0.000001";
    QTest::newRow("smaller takes an exponent") << 1e-7 << "1e-7";
    QTest::newRow("small with digits") << 1.23e-18 << "1.23e-18";
    QTest::newRow("denormal") << 5e-324 << "5e-324";
    QTest::newRow("large cut to 15 digits") << std::ldexp(1.0, 70) << "1.18059162071741e+21";
    QTest::newRow("max value") << std::numeric_limits<double>::max() << "1.79769313486231e+308";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("NaN") << std::nan("") << "NaN";
    QTest::newRow("minus infinity") << -inf << "-Infinity";
}

void NumberFormatTest::toStringShortest()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(numberToString(value)), text);
}

void NumberFormatTest::fixedPrecisionExponential_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("text");
    // toFixed rounds the exact binary value, ties away from zero.
    QTest::newRow("fixed 1.005 is below the tie") << "fixed" << 1.005 << 2 << "1.00";
    QTest::newRow("fixed tie 0.5") << "fixed" << 0.5 << 0 << "1";
    QTest::newRow("fixed tie 2.5") << "fixed" << 2.5 << 0 << "3";
    QTest::newRow("fixed 1.45 is below the tie") << "fixed" << 1.45 << 1 << "1.4";
    QTest::newRow("fixed small negative") << "fixed" << -0.0001 << 2 << "-0.00";
    QTest::newRow("fixed zero") << "fixed" << 0.0 << 2 << "0.00";
    QTest::newRow("fixed rounds up into the place kept") << "fixed" << 0.00005 << 4 << "0.0001";
    QTest::newRow("fixed far below the place kept") << "fixed" << 1e-10 << 5 << "0.00000";
    QTest::newRow("fixed pads") << "fixed" << 0.000001 << 7 << "0.0000010";
    QTest::newRow("fixed carries") << "fixed" << 9.996 << 2 << "10.00";
    QTest::newRow("fixed exact digits") << "fixed" << 123.15 << 20 << "123.15000000000000568434";
    QTest::newRow("fixed large stays fixed") << "fixed" << 1e21 << 0 << "1000000000000000000000";
    // toPrecision: an exponent only when the integer part needs more digits.
    QTest::newRow("precision exponent") << "precision" << 123.456 << 2 << "1.2e+2";
    QTest::newRow("precision integer") << "precision" << 123.456 << 3 << "123";
    QTest::newRow("precision carries") << "precision" << 99.99 << 3 << "100";
    QTest::newRow("precision carries into an exponent") << "precision" << 999.9 << 3 << "1.00e+3";
    QTest::newRow("precision small stays fixed") << "precision" << 1e-10 << 3 << "0.000000000100";
    QTest::newRow("precision exact digits")
        << "precision" << 1.2315e-8 << 20 << "0.000000012314999999999999763";
    QTest::newRow("precision zero") << "precision" << 0.0 << 3 << "0.00";
    QTest::newRow("precision negative") << "precision" << -0.000123 << 2 << "-0.00012";
    QTest::newRow("exponential") << "exponential" << 123.456 << 2 << "1.23e+2";
    QTest::newRow("exponential zero") << "exponential" << 0.0 << 1 << "0.0e+0";
    QTest::newRow("exponential small") << "exponential" << 1e-7 << 0 << "1e-7";
    QTest::newRow("exponential carries") << "exponential" << 9.99 << 1 << "1.0e+1";
    QTest::newRow("NaN in every form") << "fixed" << std::nan("") << 2 << "NaN";
}

void NumberFormatTest::fixedPrecisionExponential()
{
    QFETCH(QString, form);
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(QString, text);
    const std::string got = form == "fixed"       ? numberToFixed(value, digits)
                            : form == "precision" ? numberToPrecision(value, digits)
                                                  : numberToExponential(value, digits);
    QCOMPARE(QString::fromStdString(got), text);
}

void NumberFormatTest::radix_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("radix");
    QTest::addColumn<QString>("text");
    QTest::newRow("hex") << 255.0 << 16 << "ff";
    QTest::newRow("negative binary") << -255.0 << 2 << "-11111111";
    QTest::newRow("base 36") << 35.0 << 36 << "z";
    QTest::newRow("binary fraction") << 0.5 << 2 << "0.1";
    QTest::newRow("octal fraction") << 3.5 << 8 << "3.4";
    QTest::newRow("2^53 in binary") << std::ldexp(1.0, 53) << 2 << "1" + QString(53, '0');
    QTest::newRow("radix 10 is toString") << 0.1 << 10 << "0.1";
    QTest::newRow("zero") << 0.0 << 2 << "0";
}

void NumberFormatTest::radix()
{
    QFETCH(double, value);
    QFETCH(int, radix);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(numberToRadix(value, radix)), text);
}

QTEST_GUILESS_MAIN(NumberFormatTest)
#include "NumberFormatTest.moc"
