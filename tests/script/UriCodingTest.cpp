// escape/unescape and the URI encoders and decoders, with the sets of characters each
// keeps and the input the decoders refuse (which the machine turns into URIError).
#include "script/UriCoding.h"

#include <QtTest>

using namespace script;
using namespace std::string_view_literals;

namespace {

// Every printable ASCII character, and the units around the byte and surrogate ranges.
const QString kAscii = QStringLiteral(
    "!\"#$%&'()*+,-./"
    "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~");

QString show(const std::optional<std::u16string>& result)
{
    return result ? QString::fromStdU16String(*result) : QStringLiteral("<URIError>");
}

std::u16string text(const QString& s)
{
    return s.toStdU16String();
}

} // namespace

class UriCodingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void escapeKeepsItsSet();
    void unescape_data();
    void unescape();
    void encode_data();
    void encode();
    void decode_data();
    void decode();
};

void UriCodingTest::escapeKeepsItsSet()
{
    QCOMPARE(
        QString::fromStdU16String(escape(text(kAscii))),
        QStringLiteral(
            "%21%22%23%24%25%26%27%28%29*+%2C-./0123456789%3A%3B%3C%3D%3E%3F@ABCDEFGHIJKLMNOPQRS"
            "TUVWXYZ%5B%5C%5D%5E_%60abcdefghijklmnopqrstuvwxyz%7B%7C%7D%7E"));
    QCOMPARE(QString::fromStdU16String(escape(u"\u0000\u00a3\u00ff\u0100\uffff"sv)),
             QStringLiteral("%00%A3%FF%u0100%uFFFF"));
    // A surrogate pair escapes unit by unit.
    QCOMPARE(QString::fromStdU16String(escape(u"\U0001F62D")), QStringLiteral("%uD83D%uDE2D"));
}

void UriCodingTest::unescape_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bytes and units, either case")
        << "%41%e9%u00E9%uabcd" << QString::fromUtf16(u"A\u00e9\u00e9\uabcd");
    QTest::newRow("broken escapes stay") << "%%4%G1%u12G4%u12"
                                         << "%%4%G1%u12G4%u12";
    QTest::newRow("escape at the very end") << "a%4"
                                            << "a%4";
    QTest::newRow("round trip of escape") << QString::fromStdU16String(escape(u"\u00a3\u2028 x"))
                                          << QString::fromUtf16(u"\u00a3\u2028 x");
}

void UriCodingTest::unescape()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdU16String(script::unescape(text(input))), expected);
}

void UriCodingTest::encode_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("component");
    QTest::addColumn<QString>("expected");
    QTest::newRow("URI keeps reserved and #") << kAscii << false
                                              << "!%22#$%25&'()*+,-./"
                                                 "0123456789:;%3C=%3E?@ABCDEFGHIJKLMNOPQRSTUVWXYZ%"
                                                 "5B%5C%5D%5E_%60abcdefghijklmnopqrstuvwxyz"
                                                 "%7B%7C%7D~";
    QTest::newRow("component keeps only unreserved")
        << kAscii << true
        << "!%22%23%24%25%26'()*%2B%2C-.%2F0123456789%3A%3B%3C%3D%3E%3F%"
           "40ABCDEFGHIJKLMNOPQRSTUVWXYZ%5B%5C%5D%5E_%60"
           "abcdefghijklmnopqrstuvwxyz%7B%7C%7D~";
    QTest::newRow("two, three and four octets")
        << QString::fromUtf16(u"\u00a3\u20ac\U0001F62D") << true << "%C2%A3%E2%82%AC%F0%9F%98%AD";
    QTest::newRow("controls") << (QString(QChar(0)) + QChar(0x10)) << false << "%00%10";
    QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) + "a" << false << "<URIError>";
    QTest::newRow("high surrogate at the end")
        << "a" + QString(QChar(0xD83D)) << true << "<URIError>";
    QTest::newRow("lone low surrogate") << QString(QChar(0xDE2D)) << true << "<URIError>";
}

void UriCodingTest::encode()
{
    QFETCH(QString, input);
    QFETCH(bool, component);
    QFETCH(QString, expected);
    QCOMPARE(show(component ? encodeURIComponent(text(input)) : encodeURI(text(input))), expected);
}

void UriCodingTest::decode_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("component");
    QTest::addColumn<QString>("expected");
    QTest::newRow("URI leaves reserved escapes as written")
        << "%3b%2F%23%41%20" << false << "%3b%2F%23A ";
    QTest::newRow("component decodes them") << "%3b%2F%23%41%20" << true << ";/#A ";
    QTest::newRow("multi-octet, lowercase hex")
        << "%c2%a3%E2%82%AC%F0%9F%98%AD" << false << QString::fromUtf16(u"\u00a3\u20ac\U0001F62D");
    QTest::newRow("plain text and non-ASCII pass")
        << QString::fromUtf16(u"a+b\u00e9") << true << QString::fromUtf16(u"a+b\u00e9");
    QTest::newRow("% at the end") << "abc%" << true << "<URIError>";
    QTest::newRow("% with one digit") << "%4" << true << "<URIError>";
    QTest::newRow("% with a bad digit") << "%4G" << false << "<URIError>";
    QTest::newRow("continuation first") << "%80" << true << "<URIError>";
    QTest::newRow("five-octet lead") << "%F8%88%80%80%80" << true << "<URIError>";
    QTest::newRow("missing continuation") << "%E2%82" << true << "<URIError>";
    QTest::newRow("continuation not an escape") << "%C2A" << true << "<URIError>";
    QTest::newRow("bad continuation") << "%C2%41" << true << "<URIError>";
    QTest::newRow("overlong") << "%C0%AF" << false << "<URIError>";
    QTest::newRow("overlong three octets") << "%E0%80%AF" << true << "<URIError>";
    QTest::newRow("surrogate code point") << "%ED%A0%80" << true << "<URIError>";
    QTest::newRow("past U+10FFFF") << "%F4%90%80%80" << true << "<URIError>";
    QTest::newRow("largest code point")
        << "%F4%8F%BF%BF" << true << QString::fromUcs4(U"\U0010FFFF");
}

void UriCodingTest::decode()
{
    QFETCH(QString, input);
    QFETCH(bool, component);
    QFETCH(QString, expected);
    QCOMPARE(show(component ? decodeURIComponent(text(input)) : decodeURI(text(input))), expected);
}

QTEST_GUILESS_MAIN(UriCodingTest)
#include "UriCodingTest.moc"
