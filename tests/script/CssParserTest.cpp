// The style sheet grammar parseCSS reads: selectors, properties, camel-cased names, and
// text that breaks the grammar or the caps giving no rules.
#include "script/css/CssParser.h"

#include <QtTest>

class CssParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cssGrammar_data();
    void cssGrammar();
    void cssBadInputIsBounded();
};

void CssParserTest::cssGrammar_data()
{
    QTest::addColumn<QString>("css");
    QTest::addColumn<QString>("rules"); // selector{name=value;...} each, or "fail"
    QTest::newRow("plain") << "a { color: red; }"
                           << "a{color=red;}";
    QTest::newRow("value keeps its trailing space") << "a { kerning: 5 }"
                                                    << "a{kerning=5 ;}";
    QTest::newRow("selector list") << "a, b {x:1}"
                                   << "a{x=1;}b{x=1;}";
    QTest::newRow("names camel-cased") << "a {font-size: 2; this--one: 3}"
                                       << "a{fontSize=2;this-one=3;}";
    QTest::newRow("unclosed block") << "a{"
                                    << "a{}";
    QTest::newRow("empty name skipped") << "a{:}"
                                        << "a{}";
    QTest::newRow("brace inside a name") << "a{name}b{:value}"
                                         << "a{name}b{=value;}";
    QTest::newRow("selector with a space") << "long key { x: 1 }"
                                           << "fail";
    QTest::newRow("no selector") << "{color:}"
                                 << "fail";
    QTest::newRow("no colon") << "a{name}"
                              << "fail";
    QTest::newRow("ends in a value") << "a{key:value"
                                     << "fail";
    QTest::newRow("garbage after a rule") << "a { x: 1; }; junk"
                                          << "fail";
}

void CssParserTest::cssGrammar()
{
    QFETCH(QString, css);
    QFETCH(QString, rules);
    const auto parsed = script::css::parse(css.toStdString());
    QString got = "fail";
    if (parsed) {
        got.clear();
        for (const script::css::Rule& rule : *parsed)
            for (const std::string& selector : rule.selectors) {
                got += QString::fromStdString(selector) + "{";
                for (const auto& [name, value] : rule.properties)
                    got += QString::fromStdString(name + "=" + value + ";");
                got += "}";
            }
    }
    QCOMPARE(got, rules);
}

void CssParserTest::cssBadInputIsBounded()
{
    // Rules past the cap make the sheet fail rather than grow without end.
    std::string many;
    for (int i = 0; i < 5000; ++i)
        many += "a{}";
    QVERIFY(!script::css::parse(many));
    // Deep braces and stray bytes end in a diagnosis, not a hang.
    QVERIFY(!script::css::parse(std::string(100000, '{')));
    QVERIFY(!script::css::parse(std::string("a{b:\0c", 6)));
    QVERIFY(script::css::parse(std::string(1000, ' ')).has_value());
}

QTEST_APPLESS_MAIN(CssParserTest)
#include "CssParserTest.moc"
