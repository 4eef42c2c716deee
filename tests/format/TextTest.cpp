#include "format/Text.h"

#include "EditTextWriter.h"
#include "FormatTestHelpers.h"
#include "TextWriter.h"
#include "format/Limits.h"

#include <QtTest/QTest>

using namespace formattest;
using swfwriter::EditTextFields;
using swfwriter::TextRecordFields;
using swfwriter::TextWriter;

Q_DECLARE_METATYPE(EditTextFields)

namespace {

// Three runs: the first sets everything, the second only moves down, the third
// changes font and colour and starts a line of its own.
TextWriter threeRuns(int version)
{
    TextWriter writer(version);
    writer.setBounds({-20, 2000, -300, 900}).setMatrix(swfwriter::Matrix::translate(40, 60));
    TextRecordFields first;
    first.fontId = 3;
    first.height = 240;
    first.color = swfwriter::Color{10, 20, 30, 77};
    first.x = 100;
    first.y = 200;
    first.glyphs = {{1, 50}, {2, 60}};
    TextRecordFields second;
    second.y = 480;
    second.glyphs = {{0, -5}};
    TextRecordFields third;
    third.fontId = 4;
    third.height = 480;
    third.color = swfwriter::Color{1, 2, 3, 4};
    third.x = 0;
    third.glyphs = {{1000, 300}, {7, 0}, {8, 1}};
    writer.addRecord(first).addRecord(second).addRecord(third);
    return writer;
}

} // namespace

class TextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void runsCarryStateOver_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("alpha");
        QTest::newRow("DefineText, RGB") << 1 << 255;
        QTest::newRow("DefineText2, RGBA") << 2 << 77;
    }

    void runsCarryStateOver()
    {
        QFETCH(int, version);
        QFETCH(int, alpha);
        const auto body = threeRuns(version).body(1);
        auto in = afterId(body);
        auto text = swf::parseStaticText(in, version);
        QVERIFY2(text.ok(), text.ok() ? "" : text.error().message().c_str());
        QVERIFY(in.atEnd());
        QCOMPARE(text->bounds, (swf::Rect{{-20}, {2000}, {-300}, {900}}));
        QCOMPARE(text->matrix, swf::Matrix::translation(40, 60));
        QCOMPARE(text->runs.size(), 3u);

        const swf::TextRun& first = text->runs[0];
        QCOMPARE(int(first.fontId), 3);
        QCOMPARE(int(first.height), 240);
        QCOMPARE(first.color, (swf::Rgba{10, 20, 30, std::uint8_t(alpha)}));
        QCOMPARE(first.x, 100);
        QCOMPARE(first.y, 200);
        QCOMPARE(first.glyphs.size(), 2u);
        QCOMPARE(first.glyphs[1].index, 2u);
        QCOMPARE(first.glyphs[1].advance, 60);

        // Font, height and colour carry over; x goes on from the first run's advances.
        const swf::TextRun& second = text->runs[1];
        QCOMPARE(int(second.fontId), 3);
        QCOMPARE(int(second.height), 240);
        QCOMPARE(second.color, first.color);
        QCOMPARE(second.x, 100 + 50 + 60);
        QCOMPARE(second.y, 480);
        QCOMPARE(second.glyphs.at(0).advance, -5);

        const swf::TextRun& third = text->runs[2];
        QCOMPARE(int(third.fontId), 4);
        QCOMPARE(int(third.height), 480);
        QCOMPARE(third.x, 0);
        QCOMPARE(third.y, 480);
        QCOMPARE(third.glyphs.size(), 3u);
        QCOMPARE(third.glyphs[0].index, 1000u);
        QCOMPARE(third.glyphs[0].advance, 300);
    }

    void recordsEndAtTheZeroByte()
    {
        auto body = threeRuns(1).body(1);
        body.push_back(0xee); // not part of the text
        auto in = afterId(body);
        auto text = swf::parseStaticText(in, 1);
        QVERIFY(text.ok());
        QCOMPARE(in.remaining(), 1u);

        // Leniency: a byte without the record type bit ends the records as well.
        TextWriter empty;
        auto odd = empty.body(1);
        odd.back() = 0x45;
        auto oddIn = afterId(odd);
        auto none = swf::parseStaticText(oddIn, 1);
        QVERIFY(none.ok());
        QVERIFY(none->runs.empty());
    }

    void penStaysInRange()
    {
        // 32-bit advances that would carry x past 32 bits stop at the coordinate range.
        TextWriter writer;
        TextRecordFields wide;
        wide.x = 0;
        wide.glyphs.assign(200, {0, 0x7fffffff});
        TextRecordFields next;
        next.glyphs = {{0, 1}};
        writer.addRecord(wide).addRecord(next);
        const auto body = writer.body(1);
        auto in = afterId(body);
        auto text = swf::parseStaticText(in, 1);
        QVERIFY(text.ok());
        QCOMPARE(text->runs.at(1).x, swf::limits::kMaxCoordinate);
    }

    void brokenText_data()
    {
        QTest::addColumn<std::vector<std::uint8_t>>("body");
        QTest::addColumn<int>("code");
        using B = std::vector<std::uint8_t>;
        // After the id: an empty RECT (1 byte), an empty MATRIX (1 byte), then
        // GlyphBits and AdvanceBits.
        QTest::newRow("glyph bits too wide") << B{0, 0, 33, 8, 0} << int(swf::ErrorCode::BadValue);
        QTest::newRow("no end of records") << B{0, 0, 8, 8} << int(swf::ErrorCode::Truncated);
        QTest::newRow("glyph count past the end")
            << B{0, 0, 8, 8, 0x80, 200, 1, 2, 0} << int(swf::ErrorCode::Truncated);
        QTest::newRow("font id cut") << B{0, 0, 8, 8, 0x88, 1} << int(swf::ErrorCode::Truncated);
    }

    void brokenText()
    {
        QFETCH(std::vector<std::uint8_t>, body);
        QFETCH(int, code);
        swf::ByteReader in(body);
        auto text = swf::parseStaticText(in, 1);
        QVERIFY(!text.ok());
        QCOMPARE(int(text.error().code), code);
        QVERIFY(text.error().message().find("DefineText") != std::string::npos);
    }

    void everyCutIsAnError()
    {
        const auto body = threeRuns(2).body(1);
        for (std::size_t length = 2; length < body.size(); ++length) {
            const std::vector<std::uint8_t> cut(body.begin(), body.begin() + long(length));
            auto in = afterId(cut);
            QVERIFY2(!swf::parseStaticText(in, 2).ok(), qPrintable(QString::number(length)));
        }
    }

    void editText_data()
    {
        QTest::addColumn<EditTextFields>("fields");
        EditTextFields bare;
        bare.bounds = {0, 2000, 0, 400};
        bare.variableName = "_root.score";
        QTest::newRow("nothing optional") << bare;

        EditTextFields all = bare;
        all.wordWrap = all.multiline = all.password = all.readOnly = true;
        all.autoSize = all.noSelect = all.border = all.wasStatic = all.html = true;
        all.useOutlines = true;
        all.fontId = 12;
        all.height = 360;
        all.color = swfwriter::Color{9, 8, 7, 6};
        all.maxLength = 40;
        all.layout = EditTextFields::Layout{2, 40, 60, 20, -10};
        all.initialText = "<b>Hello</b>";
        QTest::newRow("everything") << all;

        EditTextFields byClass = bare;
        byClass.fontClass = "EmbeddedSans";
        byClass.height = 300;
        byClass.initialText = "";
        byClass.layout = EditTextFields::Layout{3, 0, 0, 0, 0};
        QTest::newRow("font class, empty text") << byClass;

        EditTextFields flagsOnly = bare;
        flagsOnly.readOnly = flagsOnly.border = true;
        flagsOnly.initialText = "caf\xc3\xa9";
        QTest::newRow("some flags, UTF-8 text") << flagsOnly;
    }

    void editText()
    {
        QFETCH(EditTextFields, fields);
        const auto body = swfwriter::editTextBody(5, fields);
        auto in = afterId(body);
        auto text = swf::parseEditText(in);
        QVERIFY2(text.ok(), text.ok() ? "" : text.error().message().c_str());
        QVERIFY(in.atEnd());
        QCOMPARE(text->bounds, (swf::Rect{{fields.bounds.xMin},
                                          {fields.bounds.xMax},
                                          {fields.bounds.yMin},
                                          {fields.bounds.yMax}}));
        QCOMPARE(text->wordWrap, fields.wordWrap);
        QCOMPARE(text->multiline, fields.multiline);
        QCOMPARE(text->password, fields.password);
        QCOMPARE(text->readOnly, fields.readOnly);
        QCOMPARE(text->autoSize, fields.autoSize);
        QCOMPARE(text->noSelect, fields.noSelect);
        QCOMPARE(text->border, fields.border);
        QCOMPARE(text->wasStatic, fields.wasStatic);
        QCOMPARE(text->html, fields.html);
        QCOMPARE(text->useOutlines, fields.useOutlines);
        QCOMPARE(text->fontId, fields.fontId);
        QCOMPARE(text->fontClass, fields.fontClass.value_or(""));
        const bool hasFont = fields.fontId || fields.fontClass;
        QCOMPARE(int(text->height), hasFont ? int(fields.height) : 240);
        const swfwriter::Color color = fields.color.value_or(swfwriter::Color{0, 0, 0, 255});
        QCOMPARE(text->color, (swf::Rgba{color.r, color.g, color.b, color.a}));
        QCOMPARE(text->maxLength, fields.maxLength);
        const auto layout = fields.layout.value_or(EditTextFields::Layout{});
        QCOMPARE(int(text->align), int(layout.align));
        QCOMPARE(int(text->leftMargin), int(layout.leftMargin));
        QCOMPARE(int(text->rightMargin), int(layout.rightMargin));
        QCOMPARE(int(text->indent), int(layout.indent));
        QCOMPARE(int(text->leading), int(layout.leading));
        QCOMPARE(text->variableName, fields.variableName);
        QCOMPARE(text->initialText, fields.initialText.value_or(""));
    }

    void editTextCutShort()
    {
        EditTextFields fields;
        fields.fontId = 1;
        fields.layout = EditTextFields::Layout{};
        fields.variableName = "v";
        fields.initialText = "text";
        const auto body = swfwriter::editTextBody(5, fields);
        for (std::size_t length = 2; length < body.size(); ++length) {
            const std::vector<std::uint8_t> cut(body.begin(), body.begin() + long(length));
            auto in = afterId(cut);
            auto text = swf::parseEditText(in);
            QVERIFY2(!text.ok(), qPrintable(QString::number(length)));
            QCOMPARE(text.error().code, swf::ErrorCode::Truncated);
        }
    }

    void unknownAlignIsLeft()
    {
        EditTextFields fields;
        fields.layout = EditTextFields::Layout{9, 1, 2, 3, 4};
        const auto body = swfwriter::editTextBody(5, fields);
        auto in = afterId(body);
        auto text = swf::parseEditText(in);
        QVERIFY(text.ok());
        QCOMPARE(int(text->align), int(swf::TextAlign::Left));
        QCOMPARE(int(text->leftMargin), 1);
    }
};

QTEST_APPLESS_MAIN(TextTest)
#include "TextTest.moc"
