// Text field text as the runtime keeps it: runs of formats over UTF-16 units, edits
// that split and join them, and the HTML read into and written from them.
#include "runtime/RichText.h"

#include "runtime/TextHtml.h"
#include "runtime/TextStyles.h"

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
    void htmlLineBreaks();
    void htmlWithStyleSheet();
    void htmlParagraphsAndItems_data();
    void htmlParagraphsAndItems();
    void htmlBeforeSwf8();
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
    // Each paragraph ends in a break, the last one too.
    QCOMPARE(q(text.text()), QStringLiteral("ab\rc<A&unknown;\r"));
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

void RichTextTest::htmlLineBreaks()
{
    const TextFormat base = colored(0);
    HtmlOptions single;
    single.multiline = false;
    // On one line, paragraphs run together but line ends in the markup still break.
    QCOMPARE(q(parseHtml(u"<p>a</p><p>b</p>", base, single).text()), QStringLiteral("ab"));
    QCOMPARE(q(parseHtml(u"a\nb", base, single).text()), QStringLiteral("a\rb"));
    // Paragraphs do not nest, so the inner one's end ends the outer and the last
    // closing tag has nothing to close; opening one breaks nothing, a list item starts
    // a line of its own.
    QCOMPARE(q(parseHtml(u"<p>a<p>b</p></p>", base, {}).text()), QStringLiteral("ab\r"));
    QCOMPARE(q(parseHtml(u"x<li>y</li>", base, {}).text()), QStringLiteral("x\ry\r"));
    // The break is in the format of what the paragraph held last.
    const RichText closed = parseHtml(u"<p><font color='#111111'>a</font></p>", base, {});
    QCOMPARE(*closed.formatOf(1, 2)->color, 0x111111u);
}

void RichTextTest::htmlWithStyleSheet()
{
    TextStyles styles;
    TextStyle red;
    red.format.color = 0xFF0000;
    styles[".red"] = red;
    TextStyle big;
    big.format.size = 30;
    big.format.align = swf::TextAlign::Right;
    styles["p"] = big;
    styles["span"] = big;
    TextStyle hidden;
    hidden.display = TextStyle::Display::None;
    styles["secret"] = hidden;
    HtmlOptions options;
    options.styles = &styles;
    const TextFormat base = colored(0);
    const auto first = [&](std::u16string_view html) {
        return *parseHtml(html, base, options).formatOf(0, 1);
    };
    // Classes match whatever their case, but not with white space around them.
    QCOMPARE(*first(u"<span class='RED'>a</span>").color, 0xFF0000u);
    QCOMPARE(*first(u"<span class=' red'>a</span>").color, 0u);
    // Tag styles apply to paragraphs (and tags of the sheet's own), not to spans; the
    // tag's own attributes win over them.
    QCOMPARE(*first(u"<p>a</p>").size, 30);
    QCOMPARE(*first(u"<span>a</span>").size, 12);
    QVERIFY(first(u"<p align='left'>a</p>").align == swf::TextAlign::Left);
    // An element its style hides shows nothing.
    QCOMPARE(q(parseHtml(u"a<secret>b</secret>c", base, options).text()), QStringLiteral("ac"));
}

void RichTextTest::htmlParagraphsAndItems_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bullets");
    // Each closing P or LI with something open breaks the line; list items nest.
    QTest::newRow("empty paragraphs") << "<p></p><p></p>x<p></p><p></p>"
                                      << "\r\rx\r\r"
                                      << "-----";
    QTest::newRow("nested items") << "x<li><li><li></li></li></li>"
                                  << "x\r\r\r\r"
                                  << "--***";
    QTest::newRow("stray closings") << "a</p></li>b"
                                    << "ab"
                                    << "--";
    QTest::newRow("item in paragraph") << "<p><li>t</li></p>"
                                       << "t\r\r"
                                       << "**-";
    // A paragraph inside an item stays bulleted, and ends it a line early.
    QTest::newRow("paragraph in item") << "<li><p>t</p></li>"
                                       << "t\r\r"
                                       << "***";
    QTest::newRow("paragraphs in paragraph") << "<p>a<p>b</p>c<p>d</p>e</p>"
                                             << "ab\rcd\re"
                                             << "-------";
}

// The text and, per unit, whether it is bulleted (*) or not (-).
void RichTextTest::htmlParagraphsAndItems()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(QString, bullets);
    const RichText parsed = parseHtml(html.toStdU16String(), colored(0), {});
    QCOMPARE(q(parsed.text()), text);
    QString got;
    for (std::size_t i = 0; i < parsed.length(); ++i)
        got += parsed.formatOf(i, i + 1)->bullet.value_or(false) ? '*' : '-';
    QCOMPARE(got, bullets);
}

// Movies before SWF 8 drop text between tags that is only white space and read no
// KERNING; character elements close only when innermost; sizes stay within 1 to 127.
void RichTextTest::htmlBeforeSwf8()
{
    const TextFormat base = colored(0);
    HtmlOptions old;
    old.beforeSwf8 = true;
    QCOMPARE(q(parseHtml(u" <b>x</b> \n <b>y</b>\n", base, old).text()), QStringLiteral("xy"));
    QCOMPARE(q(parseHtml(u" <b>x</b> \n <b>y</b>\n", base, {}).text()),
             QStringLiteral(" x \r y\r"));
    QCOMPARE(q(parseHtml(u"\n", base, old).text()), QString());
    QCOMPARE(q(parseHtml(u"<b> x </b>\nz\n", base, old).text()), QStringLiteral(" x \rz\r"));
    QVERIFY(!parseHtml(u"<font kerning='1'>k</font>", base, old).formatOf(0, 1)->kerning);
    QVERIFY(*parseHtml(u"<font kerning='1'>k</font>", base, {}).formatOf(0, 1)->kerning);

    // </b> while I is open closes nothing: "c" stays bold and italic.
    const RichText crossed = parseHtml(u"<b>a<i>b</b>c</i>d</b>e", base, {});
    const auto bold = [&](std::size_t i) {
        return crossed.formatOf(i, i + 1)->bold.value_or(false);
    };
    const auto italic = [&](std::size_t i) {
        return crossed.formatOf(i, i + 1)->italic.value_or(false);
    };
    QVERIFY(bold(2) && italic(2));
    QVERIFY(bold(3) && !italic(3));
    QVERIFY(!bold(4));
    const RichText sized = parseHtml(u"<font size='300'>a</font><font size='0'>b</font>", base, {});
    QCOMPARE(*sized.formatOf(0, 1)->size, 127);
    QCOMPARE(*sized.formatOf(1, 2)->size, 1);
}

QTEST_GUILESS_MAIN(RichTextTest)
#include "RichTextTest.moc"
