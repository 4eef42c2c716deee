// escape and unescape over UTF-8 text, and the name and value pairs of a query.
#include "script/url/UrlEscaping.h"

#include <QtTest>

class UrlEscapingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void escapeAndUnescape_data();
    void escapeAndUnescape();
    void variablesSplitAndUnescape();
};

void UrlEscapingTest::escapeAndUnescape_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("letters and digits stay")
        << "escape" << QByteArray("aZ09") << QByteArray("aZ09");
    QTest::newRow("punctuation escapes")
        << "escape" << QByteArray("@*_+-./ ") << QByteArray("%40%2A%5F%2B%2D%2E%2F%20");
    QTest::newRow("UTF-8 bytes") << "escape" << QByteArray("\xC4\x80") << QByteArray("%C4%80");
    QTest::newRow("both cases") << "unescape" << QByteArray("%2a%2A") << QByteArray("**");
    QTest::newRow("plus is a space") << "unescape" << QByteArray("a+b") << QByteArray("a b");
    QTest::newRow("UTF-8 back") << "unescape" << QByteArray("%E3%81%82")
                                << QByteArray("\xE3\x81\x82");
    QTest::newRow("no %u form") << "unescape" << QByteArray("%u0100") << QByteArray("0100");
    QTest::newRow("non-digit drops one") << "unescape" << QByteArray("%_a%@b") << QByteArray("ab");
    QTest::newRow("digit then non-digit drops both")
        << "unescape" << QByteArray("aaa%4zz") << QByteArray("aaaz");
    QTest::newRow("cut short") << "unescape" << QByteArray("aaa%4") << QByteArray("aaa");
    QTest::newRow("bad UTF-8 as Latin-1")
        << "unescape" << QByteArray("%E9") << QByteArray("\xC3\xA9");
}

void UrlEscapingTest::escapeAndUnescape()
{
    QFETCH(QString, function);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    const std::string_view in(input.constData(), static_cast<std::size_t>(input.size()));
    const std::string out =
        function == "escape" ? script::url::escapeText(in) : script::url::unescapeText(in);
    QCOMPARE(QByteArray::fromStdString(out), expected);
}

void UrlEscapingTest::variablesSplitAndUnescape()
{
    QStringList pairs;
    script::url::forEachUrlVariable("a=1&b%20c=x+y%26z&&=skipped&flag&d=",
                                    [&](const std::string& name, const std::string& value) {
                                        pairs << QString::fromStdString(name + "|" + value);
                                        return true;
                                    });
    QCOMPARE(pairs, QStringList({"a|1", "b c|x y&z", "flag|", "d|"}));
    // The reader stops when asked to.
    int seen = 0;
    script::url::forEachUrlVariable(
        "a=1&b=2&c=3", [&](const std::string&, const std::string&) { return ++seen < 2; });
    QCOMPARE(seen, 2);
}

QTEST_APPLESS_MAIN(UrlEscapingTest)
#include "UrlEscapingTest.moc"
