// The operators that work on integers: the bit operations with their 32-bit operands
// and 5-bit shift counts, int(), increments, and how their results print, run as byte
// code in movies of each version.
#include "ScriptRun.h"

#include <QtTest>
#include <cmath>

using namespace swfwriter;

namespace {

// Operands written compactly: 'text' a string, u undefined, null, true, false, NaN,
// Infinity, -Infinity and -0 themselves, anything else a number.
PushValue operand(const QString& token)
{
    if (token.startsWith('\''))
        return PushValue(token.mid(1, token.size() - 2).toStdString());
    if (token == "u")
        return PushValue(Undefined{});
    if (token == "null")
        return PushValue(nullptr);
    if (token == "true" || token == "false")
        return PushValue(token == "true");
    if (token == "NaN")
        return PushValue(std::nan(""));
    if (token == "Infinity" || token == "-Infinity")
        return PushValue(token.startsWith('-') ? -HUGE_VAL : HUGE_VAL);
    if (token == "-0")
        return PushValue(Double{-0.0});
    return PushValue(Double{token.toDouble()});
}

Op opNamed(const QString& name)
{
    static const QHash<QString, Op> ops{
        {"&", Op::BitAnd},      {"|", Op::BitOr},      {"^", Op::BitXor},
        {"<<", Op::BitLShift},  {">>", Op::BitRShift}, {">>>", Op::BitURShift},
        {"int", Op::ToInteger}, {"++", Op::Increment}, {"--", Op::Decrement},
    };
    return ops.value(name);
}

} // namespace

class IntegerOperatorsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void operators_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right"); // empty for the one-operand actions
        QTest::addColumn<QString>("printed");
        // Operands wrap to 32 bits; what is not finite is 0.
        QTest::newRow("and") << 7 << "&"
                             << "12"
                             << "10"
                             << "8";
        QTest::newRow("or wraps 2^32") << 7 << "|"
                                       << "4294967296"
                                       << "0"
                                       << "0";
        QTest::newRow("or wraps 2^32 + 1") << 7 << "|"
                                           << "4294967297"
                                           << "0"
                                           << "1";
        QTest::newRow("2^31 turns negative") << 7 << "|"
                                             << "2147483648"
                                             << "0"
                                             << "-2147483648";
        QTest::newRow("1e20 wraps") << 7 << "|"
                                    << "1e20"
                                    << "0"
                                    << "1661992960";
        QTest::newRow("fractions truncate toward zero") << 7 << "|"
                                                        << "-1.9"
                                                        << "0"
                                                        << "-1";
        QTest::newRow("NaN is 0") << 7 << "|"
                                  << "NaN"
                                  << "5"
                                  << "5";
        QTest::newRow("Infinity is 0") << 7 << "|"
                                       << "Infinity"
                                       << "5"
                                       << "5";
        QTest::newRow("-Infinity is 0") << 7 << "&"
                                        << "-Infinity"
                                        << "-1"
                                        << "0";
        QTest::newRow("-0 prints 0") << 7 << "|"
                                     << "-0"
                                     << "-0"
                                     << "0";
        QTest::newRow("not, as the compiler writes it") << 7 << "^"
                                                        << "5"
                                                        << "4294967295"
                                                        << "-6";
        QTest::newRow("xor of -1 and 2^32 - 1") << 7 << "^"
                                                << "-1"
                                                << "4294967295"
                                                << "0";
        QTest::newRow("strings convert") << 7 << "&"
                                         << "'7'"
                                         << "'14'"
                                         << "6";
        QTest::newRow("text that is no number is 0") << 7 << "|"
                                                     << "'abc'"
                                                     << "3"
                                                     << "3";
        QTest::newRow("true is 1") << 7 << "^"
                                   << "true"
                                   << "3"
                                   << "2";
        QTest::newRow("undefined is 0 in SWF 7") << 7 << "|"
                                                 << "u"
                                                 << "1"
                                                 << "1";
        QTest::newRow("undefined is 0 in SWF 5") << 5 << "&"
                                                 << "u"
                                                 << "1"
                                                 << "0";
        QTest::newRow("null is 0") << 6 << "|"
                                   << "null"
                                   << "2"
                                   << "2";
        // Shift counts keep their low 5 bits.
        QTest::newRow("left shift") << 7 << "<<"
                                    << "1"
                                    << "31"
                                    << "-2147483648";
        QTest::newRow("left shift by 32 is by 0") << 7 << "<<"
                                                  << "1"
                                                  << "32"
                                                  << "1";
        QTest::newRow("left shift by 33") << 7 << "<<"
                                          << "1"
                                          << "33"
                                          << "2";
        QTest::newRow("left shift by -1 is by 31") << 7 << "<<"
                                                   << "1"
                                                   << "-1"
                                                   << "-2147483648";
        QTest::newRow("left shift by 1.9") << 7 << "<<"
                                           << "3"
                                           << "1.9"
                                           << "6";
        QTest::newRow("left shift by NaN") << 7 << "<<"
                                           << "3"
                                           << "NaN"
                                           << "3";
        QTest::newRow("left shift overflows") << 7 << "<<"
                                              << "3"
                                              << "31"
                                              << "-2147483648";
        QTest::newRow("right shift keeps the sign") << 7 << ">>"
                                                    << "-16"
                                                    << "2"
                                                    << "-4";
        QTest::newRow("right shift by 35") << 7 << ">>"
                                           << "-16"
                                           << "35"
                                           << "-2";
        QTest::newRow("right shift of 2^32 - 1") << 7 << ">>"
                                                 << "4294967295"
                                                 << "1"
                                                 << "-1";
        // >>> gives an unsigned result, but a shift by nothing leaves it signed.
        QTest::newRow("unsigned shift") << 7 << ">>>"
                                        << "-1"
                                        << "1"
                                        << "2147483647";
        QTest::newRow("unsigned shift by 28") << 7 << ">>>"
                                              << "-1"
                                              << "28"
                                              << "15";
        QTest::newRow("unsigned shift by 0") << 8 << ">>>"
                                             << "-1"
                                             << "0"
                                             << "-1";
        QTest::newRow("unsigned shift by 32") << 8 << ">>>"
                                              << "-3"
                                              << "32"
                                              << "-3";
        QTest::newRow("unsigned shift by 33") << 8 << ">>>"
                                              << "-1"
                                              << "33"
                                              << "2147483647";
        QTest::newRow("unsigned shift of 2^31") << 8 << ">>>"
                                                << "-2147483648"
                                                << "31"
                                                << "1";
        QTest::newRow("unsigned shift of NaN") << 8 << ">>>"
                                               << "NaN"
                                               << "1"
                                               << "0";
        QTest::newRow("unsigned shift in SWF 5") << 5 << ">>>"
                                                 << "-2"
                                                 << "1"
                                                 << "2147483647";
        // int() wraps to 32 bits as the bit operations do.
        QTest::newRow("int truncates") << 7 << "int"
                                       << "-3.7"
                                       << ""
                                       << "-3";
        QTest::newRow("int of -0.5 prints 0") << 7 << "int"
                                              << "-0.5"
                                              << ""
                                              << "0";
        QTest::newRow("int below -2^31 wraps") << 7 << "int"
                                               << "-2147483649"
                                               << ""
                                               << "2147483647";
        QTest::newRow("int of 2^32 - 1") << 7 << "int"
                                         << "4294967295"
                                         << ""
                                         << "-1";
        QTest::newRow("int of NaN") << 7 << "int"
                                    << "NaN"
                                    << ""
                                    << "0";
        QTest::newRow("int of Infinity") << 7 << "int"
                                         << "Infinity"
                                         << ""
                                         << "0";
        QTest::newRow("int of a string") << 7 << "int"
                                         << "'12.9'"
                                         << ""
                                         << "12";
        QTest::newRow("int of undefined in SWF 7") << 7 << "int"
                                                   << "u"
                                                   << ""
                                                   << "0";
        // Increments add and subtract 1 as numbers: no integer conversion.
        QTest::newRow("increment of a fraction") << 7 << "++"
                                                 << "1.5"
                                                 << ""
                                                 << "2.5";
        QTest::newRow("increment of 2^32 - 1") << 7 << "++"
                                               << "4294967295"
                                               << ""
                                               << "4294967296";
        QTest::newRow("increment of undefined in SWF 7") << 7 << "++"
                                                         << "u"
                                                         << ""
                                                         << "NaN";
        QTest::newRow("increment of undefined in SWF 6") << 6 << "++"
                                                         << "u"
                                                         << ""
                                                         << "1";
        QTest::newRow("increment of a string") << 7 << "++"
                                               << "'9'"
                                               << ""
                                               << "10";
        QTest::newRow("decrement of -0.5") << 7 << "--"
                                           << "-0.5"
                                           << ""
                                           << "-1.5";
        QTest::newRow("decrement of -Infinity") << 7 << "--"
                                                << "-Infinity"
                                                << ""
                                                << "-Infinity";
    }

    void operators()
    {
        QFETCH(int, version);
        QFETCH(QString, op);
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(QString, printed);
        ActionWriter a;
        a.push({operand(left)});
        if (!right.isEmpty())
            a.push({operand(right)});
        a.op(opNamed(op)).op(Op::Trace);
        QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(version, a))), printed);
    }
};

QTEST_APPLESS_MAIN(IntegerOperatorsTest)
#include "IntegerOperatorsTest.moc"
