// Static and edit text: glyph outlines, device fonts, and fields drawn from the
// runtime's layout of their text.
#include "RenderScenes.h"
#include "render/DeviceFonts.h"
#include "runtime/TextFonts.h"
#include "runtime/TextHtml.h"

#include <QTest>

using namespace scenes;

Q_DECLARE_METATYPE(swf::TextAlign)

namespace {

const QColor kWhite(255, 255, 255);

// A font whose glyph 'A' is a square half an em wide standing on the baseline, and
// whose 'B' is a square with a square hole.
swf::Font squareFont()
{
    swf::Font font;
    font.name = "Squares";
    font.emSize = 1024;
    font.hasLayout = true;
    font.ascent = 800;
    font.descent = 224;
    swf::Glyph a;
    a.code = 'A';
    a.advance = 600;
    a.outline = rectPath(0, -512, 512, 0);
    swf::Glyph b = a;
    b.code = 'B';
    b.outline = rectPath(0, -512, 512, 0);
    const swf::Path hole = rectPath(128, -384, 384, -128);
    b.outline.segments.insert(b.outline.segments.end(), hole.segments.begin(), hole.segments.end());
    font.glyphs = {a, b};
    return font;
}

// Rows and columns holding dark pixels.
QRect inkBounds(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Measures system fonts with the faces the renderer draws, as the hosts do.
class FontHost : public runtime::Host {
public:
    std::shared_ptr<const runtime::FontMetrics> deviceFont(std::string_view family, bool bold,
                                                           bool italic) override
    {
        return render::DeviceFonts::shared().metrics(std::string(family), bold, italic);
    }
};

// The command that draws `field` showing `text` (its own text when null), laid out as
// the runtime lays it out.
runtime::DrawCommand placeField(Scene& scene, swf::CharacterId id, const swf::EditText& field,
                                const std::string* text = nullptr)
{
    runtime::DrawCommand command = scene.place(scene.define(id, field));
    FontHost host;
    runtime::FieldFonts fonts(*scene.movie, host, field);
    const runtime::TextFormat format = runtime::initialFormat(field, scene.movie.get());
    runtime::RichText content;
    content.assign(runtime::toUtf16(text ? *text : field.initialText), format);
    runtime::TextBox box;
    box.width = field.bounds.width().value;
    box.height = field.bounds.height().value;
    box.wordWrap = field.wordWrap;
    command.textLayout =
        std::make_shared<const runtime::TextLayout>(runtime::layoutText(content, box, fonts));
    return command;
}

} // namespace

class RenderTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void staticTextPlacesGlyphs();
    void editTextWithEmbeddedGlyphs_data();
    void editTextWithEmbeddedGlyphs();
    void editTextWrapsWords();
    void editTextDeviceFontStaysInItsBox();
    void editTextBorderAndBackground();
};

void RenderTextTest::staticTextPlacesGlyphs()
{
    Scene scene;
    scene.define(1, squareFont());
    swf::StaticText text;
    swf::TextRun run;
    run.fontId = 1;
    run.color = {0, 0, 255, 255};
    run.x = 10 * kPx;
    run.y = 50 * kPx;
    run.height = 512; // a glyph's square is 256 twips: 12.8 pixels
    run.glyphs = {{0, 30 * kPx}, {1, 30 * kPx}, {7, 30 * kPx}, {0, 30 * kPx}};
    text.runs = {run};
    text.matrix = swf::Matrix::translation(0, 0);
    runtime::DrawList list = scene.list();
    runtime::DrawCommand command = scene.place(scene.define(2, text));
    command.colorTransform.bAdd = -255; // blue to black
    list.commands.push_back(command);
    const QImage image = renderFrame(list, {140, 80});
    QCOMPARE(at(image, 15, 45), QColor(0, 0, 0));
    QCOMPARE(at(image, 30, 45), kWhite);           // between glyphs
    QCOMPARE(at(image, 41, 39), QColor(0, 0, 0));  // 'B' frame
    QCOMPARE(at(image, 46, 44), kWhite);           // 'B' hole
    QCOMPARE(at(image, 75, 45), kWhite);           // glyph 7 does not exist: nothing
    QCOMPARE(at(image, 105, 45), QColor(0, 0, 0)); // but its advance still counts
    QCOMPARE(at(image, 15, 52), kWhite);           // below the baseline
}

void RenderTextTest::editTextWithEmbeddedGlyphs_data()
{
    QTest::addColumn<swf::TextAlign>("align");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    // Two glyphs: 30 twips advance apart... the ink is 25.6 + 4.8 pixels wide.
    QTest::newRow("left") << swf::TextAlign::Left << 2 << 35;
    QTest::newRow("right") << swf::TextAlign::Right << 163 << 197;
    QTest::newRow("center") << swf::TextAlign::Center << 82 << 116;
}

void RenderTextTest::editTextWithEmbeddedGlyphs()
{
    QFETCH(swf::TextAlign, align);
    QFETCH(int, left);
    QFETCH(int, right);
    Scene scene;
    scene.define(1, squareFont());
    swf::EditText field;
    field.bounds = swf::Rect{{0}, {200 * kPx}, {0}, {40 * kPx}};
    field.fontId = 1;
    field.useOutlines = true;
    field.height = 40 * kPx / 2; // 20 pixels: squares of 10, advances of 11.7
    field.color = {0, 0, 0, 255};
    field.align = align;
    field.initialText = "AAB";
    runtime::DrawList list = scene.list();
    list.commands.push_back(placeField(scene, 2, field));
    const QRect ink = inkBounds(renderFrame(list, {200, 40}));
    QVERIFY2(std::abs(ink.left() - left) <= 2 && std::abs(ink.right() - right) <= 2,
             qPrintable(QStringLiteral("%1..%2").arg(ink.left()).arg(ink.right())));
    // The baseline sits at the gutter plus the ascent: 2 + 15.6 pixels down.
    QVERIFY2(std::abs(ink.bottom() - 17) <= 1, qPrintable(QString::number(ink.bottom())));
}

void RenderTextTest::editTextWrapsWords()
{
    Scene scene;
    scene.define(1, squareFont());
    swf::EditText field;
    field.bounds = swf::Rect{{0}, {40 * kPx}, {0}, {100 * kPx}};
    field.fontId = 1;
    field.useOutlines = true;
    field.height = 20 * kPx;
    field.wordWrap = field.multiline = true;
    field.initialText = "AA AA AA";
    runtime::DrawList list = scene.list();
    list.commands.push_back(placeField(scene, 2, field));
    const QRect wrapped = inkBounds(renderFrame(list, {60, 100}));
    // Each word fills most of a line: three lines, 20 pixels apart.
    QVERIFY2(wrapped.height() >= 48, qPrintable(QString::number(wrapped.height())));
    QVERIFY(wrapped.right() < 38);

    field.wordWrap = false;
    field.multiline = false;
    runtime::DrawList single = scene.list();
    single.commands.push_back(placeField(scene, 3, field));
    const QRect oneLine = inkBounds(renderFrame(single, {60, 100}));
    QVERIFY(oneLine.height() < 15);
    QVERIFY(oneLine.right() <= 40); // cut at the field's edge
    QVERIFY(oneLine.right() >= 38);
}

void RenderTextTest::editTextDeviceFontStaysInItsBox()
{
    Scene scene;
    swf::EditText field;
    field.bounds = swf::Rect{{10 * kPx}, {110 * kPx}, {10 * kPx}, {40 * kPx}};
    field.height = 20 * kPx;
    field.color = {0, 0, 0, 255};
    field.initialText = "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM";
    runtime::DrawList list = scene.list();
    const std::string current = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
    list.commands.push_back(placeField(scene, 2, field, &current));
    const QImage image = renderFrame(list, {160, 60});
    const QRect ink = inkBounds(image);
    QVERIFY2(!ink.isEmpty(), "the system font drew nothing");
    QVERIFY(ink.left() >= 10 && ink.top() >= 10);
    QVERIFY2(ink.right() <= 110 && ink.bottom() <= 40,
             qPrintable(QStringLiteral("%1,%2").arg(ink.right()).arg(ink.bottom())));
    QVERIFY(ink.right() >= 100); // the long line reaches the clip
}

void RenderTextTest::editTextBorderAndBackground()
{
    // The box's fill and frame come in the colours the field has, each only when shown.
    Scene scene;
    swf::EditText field;
    field.bounds = swf::Rect{{10 * kPx}, {50 * kPx}, {10 * kPx}, {30 * kPx}};
    field.border = true;
    const swf::Character* character = scene.define(2, field);
    auto draw = [&](std::optional<swf::Rgba> fill, std::optional<swf::Rgba> frame) {
        runtime::DrawList list = scene.list({0, 128, 0, 255});
        runtime::DrawCommand command = scene.place(character);
        command.boxBackground = fill;
        command.boxBorder = frame;
        list.commands.push_back(command);
        return renderFrame(list, {60, 40});
    };
    const QImage plain = draw(swf::Rgba{255, 255, 255, 255}, swf::Rgba{0, 0, 0, 255});
    QCOMPARE(at(plain, 30, 20), kWhite);          // background
    QVERIFY(qGray(plain.pixel(10, 20)) < 60);     // left border
    QVERIFY(qGray(plain.pixel(30, 10)) < 60);     // top border
    QCOMPARE(at(plain, 5, 5), QColor(0, 128, 0)); // stage around it

    const QImage coloured = draw(swf::Rgba{0, 255, 255, 255}, swf::Rgba{255, 0, 255, 255});
    QCOMPARE(at(coloured, 30, 20), QColor(0, 255, 255));
    QCOMPARE(at(coloured, 10, 20), QColor(255, 0, 255));

    const QImage frameOnly = draw(std::nullopt, swf::Rgba{0, 0, 255, 255});
    QCOMPARE(at(frameOnly, 30, 20), QColor(0, 128, 0));
    QCOMPARE(at(frameOnly, 10, 20), QColor(0, 0, 255));
}

QTEST_MAIN(RenderTextTest)
#include "tst_RenderText.moc"
