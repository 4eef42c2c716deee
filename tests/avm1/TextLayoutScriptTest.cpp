// What scripts read of laid-out text: textWidth and textHeight, autoSize moving and
// resizing the box, scroll and hscroll within their bounds, and TextField.StyleSheet
// with the CSS it parses. The movies embed a font of square glyphs: 20480 units to the
// em, "a" half an em wide and a space a quarter, ascent 0.8 and descent 0.2 of the em;
// at 20 pixels an "a" is 200 twips, a space 100 and a line 400 high.
#include "ScriptRun.h"
#include "swfwriter/EditTextWriter.h"
#include "swfwriter/FontWriter.h"
#include "swfwriter/ShapeWriter.h"

#include <QtTest>

using namespace swfwriter;
using scriptrun::joined;

namespace {

class Script {
public:
    ActionWriter a;

    Script& set(const std::string& object, const std::string& property, PushValue value)
    {
        a.push({object}).op(Op::GetVariable).push({property, value}).op(Op::SetMember);
        return *this;
    }
    Script& call(const std::string& object, const std::string& method, std::vector<PushValue> args)
    {
        std::vector<PushValue> pushed(args.rbegin(), args.rend());
        pushed.emplace_back(static_cast<int>(args.size()));
        pushed.emplace_back(object);
        a.push(pushed).op(Op::GetVariable).push({method}).op(Op::CallMethod);
        return *this;
    }
    // object.method(variable)
    Script& callWith(const std::string& object, const std::string& method,
                     const std::string& variable)
    {
        a.push({variable}).op(Op::GetVariable).push({1, object}).op(Op::GetVariable);
        a.push({method}).op(Op::CallMethod);
        return *this;
    }
    Script& trace(const std::string& object, const std::string& property)
    {
        a.push({object}).op(Op::GetVariable).push({property}).op(Op::GetMember).op(Op::Trace);
        return *this;
    }
    // A field `name` in the font, `size` pixels, at (x, y) and w by h pixels.
    Script& field(const std::string& name, int depth, int x, int y, int w, int h)
    {
        call("_root", "createTextField", {name, depth, x, y, w, h}).a.op(Op::Pop);
        set(name, "embedFonts", true);
        a.push({"fmt", 0, "TextFormat"}).op(Op::NewObject).op(Op::SetVariable);
        set("fmt", "font", "Box");
        set("fmt", "size", 20);
        callWith(name, "setNewTextFormat", "fmt");
        a.op(Op::Pop);
        return *this;
    }
};

std::vector<std::uint8_t> boxFont()
{
    ShapeWriter square;
    square.rect(0, -16384, 10240, 16384);
    FontWriter font(3);
    font.setName("Box").setLayout(16384, 4096, 0);
    font.addGlyph(square, 'a', 10240);
    font.addGlyph(ShapeWriter(), ' ', 5120);
    return font.body(1);
}

QString run(const Script& script)
{
    MovieWriter movie(8);
    movie.fileAttributes();
    movie.add(FontWriter(3).tagCode(), boxFont());
    ActionWriter code = script.a;
    movie.doAction(code.end().bytes());
    movie.showFrame();
    return QString::fromStdString(joined(scriptrun::traces(movie)));
}

} // namespace

class TextLayoutScriptTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void measuresText();
    void autoSizeResizesAndMoves();
    void scrollStaysInBounds();
    void styleSheetKeepsStyles();
    void textSettingsFromTheMovie();
    void textExtentMeasuresAsFieldsDo();
};

void TextLayoutScriptTest::measuresText()
{
    Script s;
    s.field("t", 1, 0, 0, 100, 100);
    s.set("t", "text", "aa aa");
    s.trace("t", "textWidth").trace("t", "textHeight");
    // Wrapped into the box: the widest line, with its trailing space as it is left.
    s.set("t", "wordWrap", true).set("t", "multiline", true);
    s.set("t", "text", "aaaa aaaa aaaa aaaa");
    s.trace("t", "textWidth").trace("t", "textHeight");
    // The font's name must be the movie's: another one shows nothing.
    s.set("fmt", "font", "Missing");
    s.callWith("t", "setTextFormat", "fmt").a.op(Op::Pop);
    s.trace("t", "textWidth");
    QCOMPARE(run(s), QString("45\n20\n90\n40\n0"));
}

void TextLayoutScriptTest::autoSizeResizesAndMoves()
{
    Script s;
    s.field("t", 1, 50, 10, 100, 30);
    s.set("t", "text", "aa aa");
    s.set("t", "autoSize", "right");
    // 900 twips of text and the gutters: 49 pixels, the right edge kept at 150.
    s.trace("t", "_x").trace("t", "_width").trace("t", "_height");
    s.set("t", "text", "a");
    s.trace("t", "_x").trace("t", "_width");
    s.set("t", "autoSize", "center");
    s.set("t", "text", "aaa");
    s.trace("t", "_x").trace("t", "_width");
    // Off again: the box stays as it was last fitted.
    s.set("t", "autoSize", "none");
    s.set("t", "text", "aaaaaaaa");
    s.trace("t", "_width");
    QCOMPARE(run(s), QString("101\n49\n24\n136\n14\n126\n34\n34"));
}

void TextLayoutScriptTest::scrollStaysInBounds()
{
    Script s;
    s.field("t", 1, 0, 0, 200, 50);
    s.set("t", "multiline", true);
    // Five lines of 400 twips in 920: two in view at a time.
    s.set("t", "text", "a\ra\ra\ra\ra");
    s.trace("t", "maxscroll").trace("t", "bottomScroll");
    s.set("t", "scroll", 3).trace("t", "scroll").trace("t", "bottomScroll");
    s.set("t", "scroll", 99).trace("t", "scroll");
    s.set("t", "scroll", -5).trace("t", "scroll");
    s.field("w", 2, 0, 100, 100, 30);
    s.set("w", "text", "aaaaaaaaaaaaaaaaaaaa");
    s.trace("w", "maxhscroll");
    s.set("w", "hscroll", 500).trace("w", "hscroll");
    s.set("w", "hscroll", -1).trace("w", "hscroll");
    QCOMPARE(run(s), QString("4\n2\n3\n4\n4\n1\n104\n104\n0"));
}

void TextLayoutScriptTest::styleSheetKeepsStyles()
{
    Script s;
    s.a.push({"css", 0, "TextField"}).op(Op::GetVariable).push({"StyleSheet"}).op(Op::GetMember);
    s.a.push({""}).op(Op::NewMethod).op(Op::SetVariable);
    s.call("css", "parseCSS",
           {".big { font-size: 40px; color: #FF0000; } p, li {text-align: right}"})
        .a.op(Op::Trace);
    s.call("css", "getStyleNames", {}).a.op(Op::Trace);
    s.call("css", "getStyle", {".big"});
    s.a.push({"fontSize"}).op(Op::GetMember).op(Op::Trace);
    // A malformed sheet adds nothing.
    s.call("css", "parseCSS", {"q { color: red; } oops"}).a.op(Op::Trace);
    s.call("css", "getStyle", {"q"}).a.op(Op::Trace);
    // The field reads its HTML with the sheet and gives it back as it was written.
    s.field("t", 1, 0, 0, 400, 100);
    s.a.push({"t"})
        .op(Op::GetVariable)
        .push({"styleSheet", "css"})
        .op(Op::GetVariable)
        .op(Op::SetMember);
    s.set("t", "htmlText", "<span class='big'>a</span>a");
    s.trace("t", "htmlText").trace("t", "textHeight");
    s.call("t", "getTextFormat", {0});
    s.a.push({"color"}).op(Op::GetMember).op(Op::Trace);
    s.call("css", "clear", {}).a.op(Op::Pop);
    s.call("css", "getStyleNames", {}).a.op(Op::Trace);
    QCOMPARE(run(s), QString("true\nli,p,.big\n40px\nfalse\nnull\n"
                             "<span class='big'>a</span>a\n40\n16711680\n"));
}

void TextLayoutScriptTest::textSettingsFromTheMovie()
{
    const auto settings = [](std::uint8_t flags, bool cut) {
        std::vector<std::uint8_t> body = {2, 0, flags, 0, 0, 0xC0, 0x3F, 0, 0, 0, 0, 0};
        if (cut)
            body.resize(4);
        return body;
    };
    const auto traced = [&](std::uint8_t flags, bool cut) {
        MovieWriter movie(8);
        movie.fileAttributes();
        EditTextFields fields;
        fields.bounds = {0, 2000, 0, 400};
        fields.initialText = "x";
        movie.add(kDefineEditTextCode, editTextBody(2, fields));
        movie.add(74, settings(flags, cut)); // CSMTextSettings
        Place place;
        place.characterId = 2;
        place.name = "f";
        movie.place2(place);
        Script s;
        s.trace("f", "antiAliasType").trace("f", "gridFitType").trace("f", "thickness");
        ActionWriter code = s.a;
        movie.doAction(code.end().bytes());
        movie.showFrame();
        return QString::fromStdString(joined(scriptrun::traces(movie)));
    };
    // Advanced anti-aliasing fitted to subpixels, 1.5 thick.
    QCOMPARE(traced(0x50, false), QString("advanced\nsubpixel\n1.5"));
    // A cut tag is a defect the field survives, with the settings a field starts with.
    QCOMPARE(traced(0x50, true), QString("normal\npixel\n0"));
}

void TextLayoutScriptTest::textExtentMeasuresAsFieldsDo()
{
    Script s;
    s.a.push({"fmt", 0, "TextFormat"}).op(Op::NewObject).op(Op::SetVariable);
    s.set("fmt", "font", "Box").set("fmt", "size", 20);
    s.call("fmt", "getTextExtent", {"aa aa"});
    s.a.push({"x"}).op(Op::StackSwap).op(Op::SetVariable);
    for (const char* key : {"width", "height", "ascent", "descent", "textFieldWidth"})
        s.trace("x", key);
    // Wrapped at 30 pixels: "aa " over "aa".
    s.call("fmt", "getTextExtent", {"aa aa", 30});
    s.a.push({"x"}).op(Op::StackSwap).op(Op::SetVariable);
    s.trace("x", "width").trace("x", "height").trace("x", "textFieldWidth");
    QCOMPARE(run(s), QString("45\n20\n16\n4\n49\n25\n40\n30"));
}

QTEST_GUILESS_MAIN(TextLayoutScriptTest)
#include "TextLayoutScriptTest.moc"
