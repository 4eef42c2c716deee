#include "format/Font.h"

#include "FontWriter.h"
#include "FormatTestHelpers.h"

#include <QtTest/QTest>

using namespace formattest;
using swfwriter::FontWriter;
using swfwriter::ShapeWriter;

namespace {

// Glyph outlines in the font's em units: a bar, a box with a hole, a triangle.
ShapeWriter bar()
{
    ShapeWriter s;
    s.fill1(1).rect(0, -700, 100, 700);
    return s;
}

ShapeWriter box()
{
    ShapeWriter s;
    s.fill1(1).rect(0, -700, 500, 700);
    s.fill1(0).fill0(1).rect(100, -600, 300, 500);
    return s;
}

ShapeWriter triangle()
{
    ShapeWriter s;
    s.fill1(1).moveTo(0, 0).lineTo(300, -600).lineTo(600, 0).lineTo(0, 0);
    return s;
}

swf::Result<swf::Font> parse(const FontWriter& writer, int version)
{
    const auto body = writer.body(1);
    auto in = afterId(body);
    auto font = swf::parseFont(in, version);
    if (font.ok() && !in.atEnd())
        return swf::makeError(swf::ErrorCode::BadValue, "bytes left after the font");
    return font;
}

std::size_t contourCount(const swf::Glyph& glyph)
{
    return contours(glyph.outline).size();
}

} // namespace

class FontTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defineFontWithInfo_data()
    {
        QTest::addColumn<int>("infoVersion");
        QTest::addColumn<bool>("wideCodes");
        QTest::newRow("DefineFontInfo, 8-bit codes") << 1 << false;
        QTest::newRow("DefineFontInfo, 16-bit codes") << 1 << true;
        QTest::newRow("DefineFontInfo2") << 2 << true;
    }

    void defineFontWithInfo()
    {
        QFETCH(int, infoVersion);
        QFETCH(bool, wideCodes);
        FontWriter writer(1);
        const std::uint16_t high = wideCodes ? 0x3a9 : 'c'; // Omega when wide
        writer.addGlyph(bar(), 'a').addGlyph(box(), 'b').addGlyph(triangle(), high);
        writer.setName("Serif").setStyle(true, false).setSmallText(true).setLanguage(2);
        writer.setWideCodes(wideCodes);
        auto font = parse(writer, 1);
        QVERIFY2(font.ok(), font.ok() ? "" : font.error().message().c_str());
        QCOMPARE(font->emSize, 1024.0);
        QCOMPARE(font->glyphs.size(), 3u);
        QCOMPARE(contourCount(font->glyphs[0]), 1u);
        QCOMPARE(contourCount(font->glyphs[1]), 2u);
        QCOMPARE(contourCount(font->glyphs[2]), 1u);
        QCOMPARE(font->glyphForCode('a'), -1); // codes come with the info tag

        const auto info = writer.infoBody(1, infoVersion);
        auto in = afterId(info);
        QVERIFY(swf::applyFontInfo(in, infoVersion, *font).ok());
        QCOMPARE(font->name, std::string("Serif"));
        QVERIFY(font->bold);
        QVERIFY(!font->italic);
        QVERIFY(font->smallText);
        QCOMPARE(font->wideCodes, wideCodes);
        QCOMPARE(int(font->language), infoVersion == 2 ? 2 : 0);
        QCOMPARE(font->glyphForCode('a'), 0);
        QCOMPARE(font->glyphForCode('b'), 1);
        QCOMPARE(font->glyphForCode(high), 2);
        QCOMPARE(font->glyphForCode('z'), -1);
    }

    void shortFontInfoNamesWhatItReaches()
    {
        FontWriter writer(1);
        writer.addGlyph(bar(), 'x').addGlyph(box(), 'y');
        auto font = parse(writer, 1);
        QVERIFY(font.ok());
        auto info = writer.infoBody(1, 1);
        info.pop_back(); // the second code
        auto in = afterId(info);
        QVERIFY(swf::applyFontInfo(in, 1, *font).ok());
        QCOMPARE(font->glyphForCode('x'), 0);
        QCOMPARE(font->glyphs[1].code, 0);
    }

    void defineFont2And3_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("wideOffsets");
        QTest::addColumn<bool>("wideCodes");
        QTest::newRow("DefineFont2, narrow") << 2 << false << false;
        QTest::newRow("DefineFont2, wide codes") << 2 << false << true;
        QTest::newRow("DefineFont2, wide offsets") << 2 << true << false;
        QTest::newRow("DefineFont3, wide offsets") << 3 << true << true;
        QTest::newRow("DefineFont3") << 3 << false << true;
    }

    void defineFont2And3()
    {
        QFETCH(int, version);
        QFETCH(bool, wideOffsets);
        QFETCH(bool, wideCodes);
        FontWriter writer(version);
        const std::uint16_t third = wideCodes ? 0x4e2d : 0xe9;
        writer.addGlyph(bar(), 'i', 300, {0, 100, -700, 0})
            .addGlyph(box(), 'o', 600, {0, 500, -700, 0})
            .addGlyph(triangle(), third, -20, {0, 600, -600, 0});
        // Some tools count the name's terminating zero.
        writer.setName(std::string("Sans\0", 5)).setStyle(false, true).setLanguage(1);
        writer.setWideOffsets(wideOffsets).setWideCodes(wideCodes);
        writer.setLayout(900, 200, 50).addKerning('i', 'o', -40).addKerning('o', third, 15);
        auto font = parse(writer, version);
        QVERIFY2(font.ok(), font.ok() ? "" : font.error().message().c_str());
        QCOMPARE(font->emSize, version == 3 ? 20480.0 : 1024.0);
        QCOMPARE(font->name, std::string("Sans"));
        QVERIFY(font->italic);
        QVERIFY(!font->bold);
        QCOMPARE(int(font->language), 1);
        QCOMPARE(font->wideCodes, wideCodes);
        QCOMPARE(font->glyphs.size(), 3u);
        QCOMPARE(contourCount(font->glyphs[1]), 2u);
        QCOMPARE(font->glyphForCode(third), 2);
        QCOMPARE(font->glyphForCode('o'), 1);

        QVERIFY(font->hasLayout);
        QCOMPARE(int(font->ascent), 900);
        QCOMPARE(int(font->descent), 200);
        QCOMPARE(int(font->leading), 50);
        QCOMPARE(int(font->glyphs[0].advance), 300);
        QCOMPARE(int(font->glyphs[2].advance), -20);
        QCOMPARE(font->glyphs[1].bounds, (swf::Rect{{0}, {500}, {-700}, {0}}));
        QCOMPARE(font->kerning.size(), 2u);
        QCOMPARE(int(font->kerning[0].left), int('i'));
        QCOMPARE(int(font->kerning[0].adjustment), -40);
        QCOMPARE(int(font->kerning[1].right), int(third));
    }

    void fontWithoutGlyphs()
    {
        FontWriter writer(2);
        writer.setName("Device");
        auto font = parse(writer, 2);
        QVERIFY(font.ok());
        QVERIFY(font->glyphs.empty());
        QCOMPARE(font->name, std::string("Device"));

        // Leniency: with no glyphs, the code table offset may be left out.
        auto body = writer.body(1);
        body.resize(body.size() - 2);
        auto in = afterId(body);
        QVERIFY(swf::parseFont(in, 2).ok());

        const std::vector<std::uint8_t> bare{1, 0};
        auto bareIn = afterId(bare);
        QVERIFY(swf::parseFont(bareIn, 1).ok());
    }

    void brokenOffsets_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("glyph");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("codeTableOffset");
        QTest::newRow("DefineFont: offset past the body") << 1 << 1 << 5000 << -1;
        QTest::newRow("DefineFont: table longer than the body") << 1 << 0 << 4000 << -1;
        QTest::newRow("DefineFont: offsets out of order") << 1 << 2 << 6 << -1;
        QTest::newRow("DefineFont2: offset past the body") << 2 << 2 << 60000 << -1;
        QTest::newRow("DefineFont2: offset into the table") << 2 << 0 << 2 << -1;
        QTest::newRow("DefineFont2: code table past the body") << 2 << -1 << 0 << 9000;
        QTest::newRow("DefineFont2: code table before a glyph") << 2 << -1 << 0 << 10;
        QTest::newRow("DefineFont3: offset past the body") << 3 << 0 << 0x10000 << -1;
    }

    void brokenOffsets()
    {
        QFETCH(int, version);
        QFETCH(int, glyph);
        QFETCH(int, offset);
        QFETCH(int, codeTableOffset);
        FontWriter writer(version);
        writer.addGlyph(bar(), 'a').addGlyph(box(), 'b').addGlyph(triangle(), 'c');
        if (version == 3)
            writer.setWideOffsets(true);
        if (glyph >= 0)
            writer.setGlyphOffset(std::size_t(glyph), std::uint32_t(offset));
        if (codeTableOffset >= 0)
            writer.setCodeTableOffset(std::uint32_t(codeTableOffset));
        auto font = parse(writer, version);
        QVERIFY(!font.ok());
        QCOMPARE(font.error().code, swf::ErrorCode::BadValue);
        QVERIFY(font.error().message().find("DefineFont") != std::string::npos);
    }

    void everyCutIsAnError_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("DefineFont") << 1;
        QTest::newRow("DefineFont2") << 2;
        QTest::newRow("DefineFont3") << 3;
    }

    void everyCutIsAnError()
    {
        QFETCH(int, version);
        FontWriter writer(version);
        writer.addGlyph(bar(), 'a', 10, {0, 1, 2, 3}).addGlyph(box(), 'b', 20, {0, 1, 2, 3});
        writer.setName("Cut").setLayout(1, 2, 3).addKerning('a', 'b', 4);
        const auto body = writer.body(1);
        for (std::size_t length = 3; length < body.size(); ++length) {
            const std::vector<std::uint8_t> cut(body.begin(), body.begin() + long(length));
            auto in = afterId(cut);
            QVERIFY2(!swf::parseFont(in, version).ok(), qPrintable(QString::number(length)));
        }
    }
};

QTEST_APPLESS_MAIN(FontTest)
#include "FontTest.moc"
