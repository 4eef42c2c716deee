// Text field text as the runtime keeps it: runs of formats over UTF-16 units, edits
// that split and join them, and the HTML read into and written from them.
#include "runtime/RichText.h"

#include "runtime/TextHtml.h"

#include <QtTest>

using namespace runtime;

namespace {

TextFormat colored(std::uint32_t color)
{
    TextFormat format;
    format.color = color;
    format.size = 12;
    return format;
}

QString q(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

} // namespace

class RichTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void formatsSplitAndJoin();
    void replaceKeepsNeighbours();
    void utf8RoundTrip();
    void htmlReading();
    void htmlWriting();
};

void RichTextTest::formatsSplitAndJoin()
{
    RichText text;
    text.assign(u"abcdef", colored(1));
    text.applyFormat(2, 4, colored(2));
    QCOMPARE(text.runs().size(), std::size_t(3));
    QCOMPARE(text.runs()[1].length, std::size_t(2));
    // Mixed colours leave the colour open; the size they share stays.
    const auto mixed = text.formatOf(0, 6);
    QVERIFY(mixed && !mixed->color && mixed->size == 12);
    QCOMPARE(*text.formatOf(2, 4)->color, 2u);
    // An empty range answers for the unit at its start, past the end for the last.
    QCOMPARE(*text.formatOf(3, 3)->color, 2u);
    QCOMPARE(*text.formatOf(99, 99)->color, 1u);
    // Giving the middle its old colour back joins the runs again.
    text.applyFormat(2, 4, colored(1));
    QCOMPARE(text.runs().size(), std::size_t(1));
    QVERIFY(!RichText().formatOf(0, 1));
}

void RichTextTest::replaceKeepsNeighbours()
{
    RichText text;
    text.assign(u"hello", colored(1));
    text.replace(1, 4, u"EY", colored(2));
    QCOMPARE(q(text.text()), QStringLiteral("hEYo"));
    QCOMPARE(text.runs().size(), std::size_t(3));
    // Ranges past the end are clamped.
    text.replace(10, 20, u"!", colored(1));
    QCOMPARE(q(text.text()), QStringLiteral("hEYo!"));
    QCOMPARE(text.runs().back().length, std::size_t(2));
}

void RichTextTest::utf8RoundTrip()
{
    const std::string source = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    const std::u16string units = toUtf16(source);
    QCOMPARE(units.size(), std::size_t(5)); // a, é, €, and a surrogate pair
    QCOMPARE(toUtf8(units), source);
    // Broken bytes become replacement characters, never lost bytes after them.
    QCOMPARE(toUtf16("x\xC3").size(), std::size_t(2));
    QCOMPARE(toUtf16("\xE2\x82z"), std::u16string(u"\uFFFDz"));
}

void RichTextTest::htmlReading()
{
    const TextFormat base = colored(0);
    RichText text = parseHtml(u"<p align='center'><b>a</b><font color=\"#ff0\" size=\"+2\">b</font>"
                              u"</p><p>c&lt;&#65;&unknown;</p>",
                              base, {});
    QCOMPARE(q(text.text()), QStringLiteral("ab\rc<A&unknown;"));
    QCOMPARE(*text.formatOf(0, 1)->bold, true);
    QCOMPARE(*text.formatOf(1, 2)->color, 0xFF0u);
    QCOMPARE(*text.formatOf(1, 2)->size, 14);
    QVERIFY(text.formatOf(0, 1)->align == swf::TextAlign::Center);
    // Colours read hex digits up to the first other character, keeping 24 bits; one
    // without "#" or digits leaves the colour as it was.
    const auto colorOf = [&](std::u16string_view html) {
        return *parseHtml(html, colored(7), {}).formatOf(0, 1)->color;
    };
    QCOMPARE(colorOf(u"<font color='#ff00ffffee'>x</font>"), 0xFFFFEEu);
    QCOMPARE(colorOf(u"<font color='# ab0g1'>x</font>"), 0xAB0u);
    QCOMPARE(colorOf(u"<font color='ff00ff'>x</font>"), 7u);
    QCOMPARE(colorOf(u"<font color='#g1'>x</font>"), 7u);
    // A cut-off tag or an unquoted attribute ends the text.
    QCOMPARE(q(parseHtml(u"ab<b", base, {}).text()), QStringLiteral("ab"));
    QCOMPARE(q(parseHtml(u"ab<font color=#fff>c", base, {}).text()), QStringLiteral("ab"));
    // Line ends in the markup break lines, unless white space is condensed.
    QCOMPARE(q(parseHtml(u"a\r\nb", base, {}).text()), QStringLiteral("a\rb"));
    HtmlOptions condensed;
    condensed.condenseWhite = true;
    QCOMPARE(q(parseHtml(u"  a \n\t b<br>c", base, condensed).text()), QStringLiteral("a b\rc"));
}

void RichTextTest::htmlWriting()
{
    TextFormat base = colored(0);
    base.font = "Arial";
    base.bold = false;
    base.align = swf::TextAlign::Left;
    base.letterSpacing = 0;
    base.kerning = false;
    RichText text;
    text.assign(u"x<y\rz", base);
    TextFormat red = colored(0xFF0000);
    red.bold = true;
    text.applyFormat(4, 5, red);
    QCOMPARE(q(toHtml(text)),
             QStringLiteral("<P ALIGN=\"LEFT\"><FONT FACE=\"Arial\" SIZE=\"12\" COLOR=\"#000000\" "
                            "LETTERSPACING=\"0\" KERNING=\"0\">x&lt;y</FONT></P>"
                            "<P ALIGN=\"LEFT\"><FONT FACE=\"Arial\" SIZE=\"12\" COLOR=\"#FF0000\" "
                            "LETTERSPACING=\"0\" KERNING=\"0\"><B>z</B></FONT></P>"));
    // A later run writes only what differs from the paragraph's first.
    text.assign(u"ab", base);
    text.applyFormat(1, 2, red);
    QCOMPARE(q(toHtml(text)),
             QStringLiteral("<P ALIGN=\"LEFT\"><FONT FACE=\"Arial\" SIZE=\"12\" COLOR=\"#000000\" "
                            "LETTERSPACING=\"0\" KERNING=\"0\">a<FONT COLOR=\"#FF0000\"><B>b</B>"
                            "</FONT></FONT></P>"));
    // Margins put the paragraph in a TEXTFORMAT; an empty text writes nothing.
    TextFormat indented = base;
    indented.leftMargin = 5;
    text.assign(u"m", indented);
    QVERIFY(q(toHtml(text)).startsWith(QStringLiteral("<TEXTFORMAT LEFTMARGIN=\"5\"><P")));
    QVERIFY(toHtml(RichText()).empty());
}

QTEST_GUILESS_MAIN(RichTextTest)
#include "RichTextTest.moc"
