// The String methods over positions: how each coerces and clamps NaN, fractions,
// negatives and infinities, and localeCompare's code-unit differences.
#include "script/StringMethods.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace script;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");
constexpr std::u16string_view kText = u"this is a string object";

} // namespace

class StringMethodsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ranges_data();
    void ranges();
    void searching_data();
    void searching();
    void characters();
    void compare();
};

void StringMethodsTest::ranges_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("second");
    QTest::addColumn<QString>("expected");
    const QString whole = QString::fromStdU16String(std::u16string(kText));
    QTest::newRow("substring defaults") << "substring" << 0.0 << kToEnd << whole;
    QTest::newRow("substring swaps") << "substring" << 4.0 << 0.0 << "this";
    QTest::newRow("substring NaN is 0") << "substring" << kNaN << 2.9 << "th";
    QTest::newRow("substring clamps negatives") << "substring" << -5.0 << 2.0 << "th";
    QTest::newRow("substring infinity") << "substring" << 17.0 << kInf << "object";
    QTest::newRow("substr NaN, Infinity") << "substr" << kNaN << kInf << whole;
    QTest::newRow("substr Infinity, NaN") << "substr" << kInf << kNaN << "";
    QTest::newRow("substr -0.01, 0") << "substr" << -0.01 << 0.0 << "";
    QTest::newRow("substr -0.01 to the end") << "substr" << -0.01 << kToEnd << whole;
    QTest::newRow("substr from the end") << "substr" << -6.0 << 3.0 << "obj";
    QTest::newRow("substr end before 0 counts from the end")
        << "substr" << 0.0 << -1.0 << whole.left(whole.size() - 1);
    QTest::newRow("substr end before start") << "substr" << 1.0 << -1.0 << "";
    QTest::newRow("substr negative length below one") << "substr" << 0.0 << -0.6 << "";
    QTest::newRow("substr end past the end") << "substr" << 2.0 << 1e21 << whole.mid(2);
    QTest::newRow("substr before the start") << "substr" << -100.0 << 4.0 << "this";
    QTest::newRow("substr -Infinity") << "substr" << -kInf << kToEnd << whole;
    QTest::newRow("substr past the end") << "substr" << 24.0 << 1.0 << "";
    QTest::newRow("substr negative length") << "substr" << 1.0 << -1.0 << "";
    QTest::newRow("slice NaN, Infinity") << "slice" << kNaN << kInf << whole;
    QTest::newRow("slice reversed is empty") << "slice" << 4.0 << 0.0 << "";
    QTest::newRow("slice both from the end") << "slice" << -6.0 << -3.0 << "obj";
    QTest::newRow("slice -Infinity, -Infinity") << "slice" << -kInf << -kInf << "";
    QTest::newRow("slice drops fractions") << "slice" << 0.9 << 4.9 << "this";
}

void StringMethodsTest::ranges()
{
    QFETCH(QString, method);
    QFETCH(double, first);
    QFETCH(double, second);
    QFETCH(QString, expected);
    std::u16string_view got;
    if (method == "substring")
        got = substring(kText, first, second);
    else if (method == "substr")
        got = substr(kText, first, second);
    else
        got = slice(kText, first, second);
    QCOMPARE(QString::fromStdU16String(std::u16string(got)), expected);
}

void StringMethodsTest::searching_data()
{
    QTest::addColumn<bool>("last");
    QTest::addColumn<QString>("search");
    QTest::addColumn<double>("position");
    QTest::addColumn<int>("expected");
    QTest::newRow("indexOf from 0") << false << "is" << 0.0 << 2;
    QTest::newRow("indexOf from a fraction") << false << "is" << 2.5 << 2;
    QTest::newRow("indexOf after the first") << false << "is" << 3.0 << 5;
    QTest::newRow("indexOf negative is 0") << false << "t" << -kInf << 0;
    QTest::newRow("indexOf NaN is 0") << false << "t" << kNaN << 0;
    QTest::newRow("indexOf missing") << false << "X" << 0.0 << -1;
    QTest::newRow("indexOf empty past the end") << false << "" << 100.0 << 23;
    QTest::newRow("lastIndexOf default") << true << "is" << kToEnd << 5;
    QTest::newRow("lastIndexOf NaN is the end") << true << "t" << kNaN << 22;
    QTest::newRow("lastIndexOf before a match") << true << "is" << 4.0 << 2;
    QTest::newRow("lastIndexOf match starting at the position") << true << "is" << 5.0 << 5;
    QTest::newRow("lastIndexOf negative is 0") << true << "t" << -1.0 << 0;
    QTest::newRow("lastIndexOf negative misses") << true << "h" << -1.0 << -1;
    QTest::newRow("lastIndexOf empty") << true << "" << 3.0 << 3;
}

void StringMethodsTest::searching()
{
    QFETCH(bool, last);
    QFETCH(QString, search);
    QFETCH(double, position);
    QFETCH(int, expected);
    const std::u16string needle = search.toStdU16String();
    QCOMPARE(last ? lastIndexOf(kText, needle, position) : indexOf(kText, needle, position),
             expected);
}

void StringMethodsTest::characters()
{
    QCOMPARE(charCodeAt(u"true", 1.0), 114.0);
    QCOMPARE(charCodeAt(u"true", kNaN), 116.0);
    QCOMPARE(charCodeAt(u"1234567890", M_PI), 52.0);
    QVERIFY(std::isnan(charCodeAt(u"true", 4.0)));
    QVERIFY(std::isnan(charCodeAt(u"true", -1.0)));
    QVERIFY(std::isnan(charCodeAt(u"", kInf)));
    QCOMPARE(QString::fromStdU16String(std::u16string(charAt(u"abc", 2.9))), QStringLiteral("c"));
    QVERIFY(charAt(u"abc", -kInf).empty());
    QVERIFY(charAt(u"abc", 3.0).empty());
    QCOMPARE(int(fromCharCode(65536.0 + 65)), 65);
    QCOMPARE(int(fromCharCode(-1.0)), 0xFFFF);
    QCOMPARE(int(fromCharCode(kNaN)), 0);
}

void StringMethodsTest::compare()
{
    QCOMPARE(localeCompare(u"h", u"H"), 32);
    QCOMPARE(localeCompare(u"h", u"flash"), 2);
    QCOMPARE(localeCompare(u"h", u"hello"), -1);
    QCOMPARE(localeCompare(u"hello", u"h"), 1);
    QCOMPARE(localeCompare(u"same", u"same"), 0);
    QCOMPARE(localeCompare(u"", u"a"), -1);
    QCOMPARE(localeCompare(u"\uffff", u"a"), 0xFFFF - 'a');
}

QTEST_GUILESS_MAIN(StringMethodsTest)
#include "StringMethodsTest.moc"
