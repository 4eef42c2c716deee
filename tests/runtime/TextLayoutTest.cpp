// Text field layout: lines broken at spaces and at the box's width, alignment, margins
// and indents, tab stops and letter spacing, the heights lines add up to, and the
// scroll positions they allow. A made-up font keeps the numbers whole: 1000 units to
// the em, ascent 800, descent 200; letters 500 wide, spaces 250, "W" 1000. At 20
// pixels (400 twips) a letter is 200 twips, a space 100, a line 400 high.
#include "runtime/TextLayout.h"

#include <QtTest>

using namespace runtime;

namespace {

class TestFont : public FontMetrics {
public:
    double unitsPerEm() const override { return 1000; }
    double ascent() const override { return 800; }
    double descent() const override { return 200; }
    std::optional<double> advance(char32_t code) const override
    {
        if (code == U'#')
            return std::nullopt; // a character the font lacks
        if (code == U' ')
            return 250;
        if (code == U'W')
            return 1000;
        return 500;
    }
    double kerning(char32_t left, char32_t right) const override
    {
        return left == U'A' && right == U'V' ? -250 : 0;
    }
};

class OneFont : public LayoutFontSource {
public:
    std::uint32_t fontFor(const TextFormat&, std::vector<LayoutFont>& fonts) override
    {
        if (fonts.empty()) {
            LayoutFont font;
            font.family = "Test";
            font.metrics = std::make_shared<TestFont>();
            fonts.push_back(font);
        }
        return 0;
    }
};

TextFormat format(swf::TextAlign align = swf::TextAlign::Left)
{
    TextFormat f;
    f.size = 20;
    f.align = align;
    f.leading = 0;
    return f;
}

TextLayout lay(std::u16string_view text, const TextFormat& f, std::int32_t width,
               bool wordWrap = true, std::int32_t height = 4000)
{
    RichText content;
    content.assign(text, f);
    TextBox box;
    box.width = width;
    box.height = height;
    box.wordWrap = wordWrap;
    OneFont fonts;
    return layoutText(content, box, fonts);
}

// The text of each line, for comparisons.
QStringList lineTexts(const TextLayout& layout, std::u16string_view text)
{
    QStringList out;
    for (const LaidLine& line : layout.lines)
        out << QString::fromStdU16String(
            std::u16string(text.substr(line.begin, line.end - line.begin)));
    return out;
}

} // namespace

class TextLayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wrapsAtSpacesAndSplitsLongWords();
    void trailingSpacesCountOnlyWhenAlignedLeft();
    void alignmentPlacesLines();
    void marginsAndIndentsNarrowTheLines();
    void paragraphsAndLineHeights();
    void tabStopsAndLetterSpacing();
    void scrollBounds();
    void passwordsAndMissingGlyphs();
    void hugeValuesStayBounded();
};

void TextLayoutTest::wrapsAtSpacesAndSplitsLongWords()
{
    // 1000 twips wide: 920 inside the gutters, four letters and a space to a line.
    const std::u16string text = u"aaaa aaaa aaaa";
    const TextLayout wrapped = lay(text, format(), 1000);
    QCOMPARE(lineTexts(wrapped, text), QStringList({"aaaa ", "aaaa ", "aaaa"}));
    // Without word wrap the paragraph is one line, however long.
    QCOMPARE(lay(text, format(), 1000, false).lineCount(), 1);
    // A word longer than the line is cut where it stops fitting.
    const std::u16string word = u"aaaaaaaaaa";
    QCOMPARE(lineTexts(lay(word, format(), 1000), word), QStringList({"aaaa", "aaaa", "aa"}));
    // Tabs and no-break spaces hold a word together.
    const std::u16string held = u"aa\u00A0aa\u00A0aa";
    QCOMPARE(lineTexts(lay(held, format(), 1000), held).front(),
             QString::fromStdU16String(u"aa\u00A0a"));
}

void TextLayoutTest::trailingSpacesCountOnlyWhenAlignedLeft()
{
    QCOMPARE(lay(u"aa  ", format(), 4000, false).textWidth, 600);
    QCOMPARE(lay(u"aa  ", format(swf::TextAlign::Right), 4000, false).textWidth, 400);
    QCOMPARE(lay(u"aa  ", format(swf::TextAlign::Center), 4000, false).textWidth, 400);
    // Leading spaces always count.
    QCOMPARE(lay(u"  aa", format(swf::TextAlign::Right), 4000, false).textWidth, 600);
    // No text, no lines: nothing wide or high.
    const TextLayout empty = lay(u"", format(), 4000);
    QCOMPARE(empty.lineCount(), 0);
    QCOMPARE(empty.textWidth, 0);
    QCOMPARE(empty.textHeight, 0);
}

void TextLayoutTest::alignmentPlacesLines()
{
    // "aaaa" is 800 twips in 920: 120 to spare.
    QCOMPARE(lay(u"aaaa", format(), 1000).lines[0].x, kTextGutter);
    QCOMPARE(lay(u"aaaa", format(swf::TextAlign::Right), 1000).lines[0].x, kTextGutter + 120);
    QCOMPARE(lay(u"aaaa", format(swf::TextAlign::Center), 1000).lines[0].x, kTextGutter + 60);
    // Justified lines share the room out between their spaces; the paragraph's last
    // line keeps its natural spacing.
    const TextLayout justified = lay(u"a a a a a a", format(swf::TextAlign::Justify), 1000);
    QCOMPARE(justified.lineCount(), 2);
    const LaidLine& first = justified.lines[0]; // "a a a " of 800 and a trailing space
    const LaidGlyph& last = justified.glyphs[justified.runs[first.firstRun].firstGlyph + 4];
    QCOMPARE(last.x + last.advance, 920);
    const LaidGlyph& next =
        justified.glyphs[justified.runs[justified.lines[1].firstRun].firstGlyph + 2];
    QCOMPARE(next.x, 300);
    // Kerning applies only when the format asks for it.
    TextFormat kerned = format();
    kerned.kerning = true;
    QCOMPARE(lay(u"AV", kerned, 4000).textWidth, 300);
    QCOMPARE(lay(u"AV", format(), 4000).textWidth, 400);
}

void TextLayoutTest::marginsAndIndentsNarrowTheLines()
{
    TextFormat f = format();
    f.leftMargin = 5;  // 100 twips
    f.rightMargin = 5; // 100 twips
    f.indent = 10;     // 200 twips, the first line only
    f.blockIndent = 1; // 20 twips
    // Room: 1400 - 80 - 100 - 100 - 20 = 1100, and 900 on the first line.
    const std::u16string text = u"aaaa aaaa aaaa aaaa";
    const TextLayout layout = lay(text, f, 1400);
    QCOMPARE(lineTexts(layout, text), QStringList({"aaaa ", "aaaa ", "aaaa ", "aaaa"}));
    QCOMPARE(layout.lines[0].x, kTextGutter + 100 + 20 + 200);
    QCOMPARE(layout.lines[1].x, kTextGutter + 100 + 20);
    // Right aligned lines end at the right margin.
    f.align = swf::TextAlign::Right;
    const TextLayout right = lay(u"aaaa", f, 1400);
    QCOMPARE(right.lines[0].x + 800, 1400 - kTextGutter - 100);
}

void TextLayoutTest::paragraphsAndLineHeights()
{
    TextFormat f = format();
    f.leading = 2; // 40 twips between lines
    const TextLayout three = lay(u"a\r\rb", f, 4000);
    QCOMPARE(three.lineCount(), 3);
    // Empty lines are as tall as their format's font.
    QCOMPARE(three.lines[1].ascent, 320);
    QCOMPARE(three.lines[1].descent, 80);
    QCOMPARE(three.lines[2].top, 880);
    // The last line's leading counts only when it is the only line.
    QCOMPARE(three.textHeight, 3 * 400 + 2 * 40);
    QCOMPARE(lay(u"a", f, 4000).textHeight, 440);
    // Mixed sizes: a line is as tall as its tallest run.
    RichText mixed;
    mixed.assign(u"ab", format());
    TextFormat big = format();
    big.size = 40;
    mixed.applyFormat(1, 2, big);
    TextBox box;
    box.width = 4000;
    box.height = 4000;
    OneFont fonts;
    const TextLayout tall = layoutText(mixed, box, fonts);
    QCOMPARE(tall.lines[0].ascent, 640);
    QCOMPARE(tall.textWidth, 200 + 400);
}

void TextLayoutTest::tabStopsAndLetterSpacing()
{
    TextFormat f = format();
    f.tabStops = std::vector<std::int32_t>{30, 50}; // 600 and 1000 twips
    const TextLayout tabbed = lay(u"a\ta\ta\ta", f, 8000, false);
    QCOMPARE(tabbed.glyphs[2].x, 600);
    QCOMPARE(tabbed.glyphs[4].x, 1000);
    // Past the last stop a tab takes no room.
    QCOMPARE(tabbed.glyphs[6].x, 1200);
    // Without stops a tab is as wide as six spaces.
    QCOMPARE(lay(u"\ta", format(), 8000, false).glyphs[1].x, 600);
    TextFormat spaced = format();
    spaced.letterSpacing = 1.5; // 30 twips after every glyph
    QCOMPARE(lay(u"aaa", spaced, 8000, false).textWidth, 3 * 230);
}

void TextLayoutTest::scrollBounds()
{
    // Ten lines of 400 twips in a box showing 1040 - 80 = 960: two lines at a time.
    const std::u16string text = u"0\r1\r2\r3\r4\r5\r6\r7\r8\r9";
    const TextLayout layout = lay(text, format(), 2000, false, 1040);
    QCOMPARE(layout.lineCount(), 10);
    QCOMPARE(layout.bottomScroll(1), 2);
    QCOMPARE(layout.bottomScroll(5), 6);
    QCOMPARE(layout.maxScroll(), 9);
    QCOMPARE(layout.bottomScroll(10), 10);
    QCOMPARE(layout.scrollOffset(3), 800);
    // Scroll positions outside the lines are taken as the nearest line.
    QCOMPARE(layout.bottomScroll(-4), 2);
    QCOMPARE(layout.scrollOffset(99), 3600);
    // Text that fits never scrolls.
    QCOMPARE(lay(u"a", format(), 2000, false, 1040).maxScroll(), 1);
    // 20 letters are 4000 twips in 1920: 104 pixels to scroll sideways.
    QCOMPARE(lay(u"aaaaaaaaaaaaaaaaaaaa", format(), 2000, false).maxHScroll(), 104);
    QCOMPARE(lay(u"aa", format(), 2000, false).maxHScroll(), 0);
}

void TextLayoutTest::passwordsAndMissingGlyphs()
{
    RichText content;
    content.assign(u"ab\rc", format());
    TextBox box;
    box.width = 4000;
    box.height = 4000;
    box.password = true;
    OneFont fonts;
    const TextLayout hidden = layoutText(content, box, fonts);
    QCOMPARE(hidden.lineCount(), 2);
    for (const LaidGlyph& glyph : hidden.glyphs)
        QCOMPARE(glyph.code, u'*');
    // A character the font lacks takes no room.
    QCOMPARE(lay(u"a#a", format(), 4000).textWidth, 400);
}

void TextLayoutTest::hugeValuesStayBounded()
{
    TextFormat f = format();
    f.size = 2'000'000'000;
    f.letterSpacing = 1e300;
    f.indent = -2'000'000'000;
    f.leading = 2'000'000'000;
    const TextLayout layout = lay(u"aaaa aaaa\raaaa", f, 4000);
    QVERIFY(layout.lineCount() >= 2);
    QVERIFY(layout.textWidth > 0);
    QVERIFY(layout.textHeight > 0);
    // Sums stop at the cap rather than wrapping around.
    for (const LaidLine& line : layout.lines)
        QVERIFY(line.top >= 0);
}

QTEST_GUILESS_MAIN(TextLayoutTest)
#include "TextLayoutTest.moc"
