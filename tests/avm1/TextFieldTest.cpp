// Text fields as scripts use them: the TextField prototype and its properties,
// variables bound to fields, text and HTML, TextFormat's conversions and the formats
// of stretches of text, and createTextField. Each case is a movie whose frame script
// traces results.
#include "ScriptRun.h"
#include "swfwriter/EditTextWriter.h"

#include <QtTest>
#include <functional>

using namespace swfwriter;
using scriptrun::joined;

namespace {

constexpr std::uint16_t kBoundField = 1; // variable "v", text "Hello"
constexpr std::uint16_t kPlainField = 2; // no variable, text "plain"
constexpr std::uint16_t kHtmlField = 3;  // HTML, "<p><b>bold</b> text</p>"
constexpr std::uint16_t kLineField = 4;  // HTML on one line, "<p>one</p><p>two</p>"

struct Script {
    ActionWriter a;

    Script& get(const std::string& name)
    {
        a.push({name}).op(Op::GetVariable);
        return *this;
    }
    Script& set(const std::string& name, PushValue value)
    {
        a.push({name, value}).op(Op::SetVariable);
        return *this;
    }
    // object.property = value
    Script& setMember(const std::string& object, const std::string& property, PushValue value)
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
    Script& member(const std::string& name)
    {
        a.push({name}).op(Op::GetMember);
        return *this;
    }
    Script& trace()
    {
        a.op(Op::Trace);
        return *this;
    }
    Script& pop() { return op(Op::Pop); }
    Script& op(Op code)
    {
        a.op(code);
        return *this;
    }
    Script& push(std::initializer_list<PushValue> values)
    {
        a.push(values);
        return *this;
    }
    // trace(object.property)
    Script& traceMember(const std::string& object, const std::string& property)
    {
        return get(object).member(property).trace();
    }
    // name = new TextFormat()
    Script& newFormat(const std::string& name)
    {
        a.push({name, 0, "TextFormat"}).op(Op::NewObject).op(Op::SetVariable);
        return *this;
    }
};

void placeField(MovieWriter& movie, std::uint16_t id, const EditTextFields& fields,
                std::uint16_t depth, const std::string& name)
{
    movie.add(kDefineEditTextCode, editTextBody(id, fields));
    Place place;
    place.depth = depth;
    place.characterId = id;
    place.name = name;
    movie.place2(place);
}

// A movie of `version` with four fields on the main timeline: "bound" showing
// variable "v", "plain", "rich" (HTML) and "line" (HTML on one line), then `script`
// in the first frame.
std::string run(int version, const Script& script)
{
    MovieWriter movie(version);
    if (version >= 8)
        movie.fileAttributes();
    EditTextFields bound;
    bound.bounds = {0, 2000, 0, 400};
    bound.variableName = "v";
    bound.initialText = "Hello";
    bound.color = Color{0x10, 0x20, 0x30, 0xFF};
    placeField(movie, kBoundField, bound, 1, "bound");
    EditTextFields plain;
    plain.bounds = {0, 2000, 0, 400};
    plain.initialText = "plain";
    plain.border = true;
    placeField(movie, kPlainField, plain, 2, "plain");
    EditTextFields rich;
    rich.bounds = {0, 2000, 0, 400};
    rich.html = true;
    rich.multiline = true;
    rich.initialText = "<p><b>bold</b> text</p>";
    placeField(movie, kHtmlField, rich, 3, "rich");
    EditTextFields line = rich;
    line.multiline = false;
    line.initialText = "<p>one</p><p>two</p>";
    placeField(movie, kLineField, line, 4, "line");
    ActionWriter code = script.a;
    movie.doAction(code.end().bytes());
    movie.showFrame();
    return joined(scriptrun::traces(movie));
}

struct Case {
    const char* name;
    int version;
    std::function<void(Script&)> code;
    const char* expected;
};

void runCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        Script s;
        c.code(s);
        const std::string got = run(c.version, s);
        if (got != c.expected)
            qWarning("case %s", c.name);
        QCOMPARE(QString::fromStdString(got), QString::fromUtf8(c.expected));
    }
}

} // namespace

class TextFieldTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fieldProperties();
    void variableBinding();
    void htmlText();
    void textFormatConversions();
    void formatsOfStretches();
    void createTextField();
    void lineEndsAndBoxes();
};

void TextFieldTest::fieldProperties()
{
    runCases({
        {"placed fields are TextFields with their definition's settings", 7,
         [](Script& s) {
             s.get("plain").get("TextField").op(Op::InstanceOf).trace();
             s.traceMember("plain", "text").traceMember("plain", "border");
             s.traceMember("plain", "type").traceMember("bound", "textColor");
             s.traceMember("plain", "_target").traceMember("plain", "length");
             s.call("plain", "getDepth", {}).trace();
         },
         "true\nplain\ntrue\ninput\n1056816\n/plain\n5\n-16382"},
        {"the properties answer only for real fields", 7,
         [](Script& s) {
             s.a.push({"o", 0, "TextField"}).op(Op::NewObject).op(Op::SetVariable);
             s.traceMember("o", "text");
             s.setMember("o", "text", "x").traceMember("o", "text");
             s.get("TextField").member("prototype").member("text").trace();
         },
         "undefined\nundefined\nundefined"},
        {"colours keep 24 bits; settings read back", 7,
         [](Script& s) {
             s.setMember("plain", "borderColor", -1).traceMember("plain", "borderColor");
             s.setMember("plain", "textColor", 0x12345678).traceMember("plain", "textColor");
             s.setMember("plain", "maxChars", 12).traceMember("plain", "maxChars");
             s.setMember("plain", "maxChars", 0).traceMember("plain", "maxChars");
             s.setMember("plain", "autoSize", true).traceMember("plain", "autoSize");
             s.setMember("plain", "type", "dynamic").traceMember("plain", "type");
         },
         "16777215\n3430008\n12\nnull\nleft\ndynamic"},
        {"methods arrive with SWF 6, replaceText with SWF 7", 6,
         [](Script& s) {
             s.get("plain").member("getTextFormat").op(Op::TypeOf).trace();
             s.get("plain").member("replaceText").op(Op::TypeOf).trace();
         },
         "function\nundefined"},
        {"each field lists itself as its first listener", 8,
         [](Script& s) {
             s.get("plain").member("_listeners").member("length").trace();
             s.get("plain").member("_listeners").push({0}).op(Op::GetMember).trace();
         },
         "1\n_level0.plain"},
    });
}

void TextFieldTest::variableBinding()
{
    runCases({
        {"a missing variable takes the field's text; assignments show at once", 6,
         [](Script& s) {
             s.get("v").trace();
             s.set("v", "changed").traceMember("bound", "text");
             s.setMember("bound", "text", "typed").get("v").trace();
         },
         "Hello\nchanged\ntyped"},
        {"a new variable name binds again with the first text", 6,
         [](Script& s) {
             s.setMember("bound", "text", "other");
             s.setMember("bound", "variable", "w").get("w").trace();
             s.traceMember("bound", "text").traceMember("bound", "variable");
             s.set("v", "old name").traceMember("bound", "text");
         },
         "Hello\nHello\nw\nHello"},
        {"variable names ignore case before SWF 7", 6,
         [](Script& s) { s.set("V", "upper").traceMember("bound", "text"); }, "upper"},
        {"values show as strings when assigned, not later", 6,
         [](Script& s) {
             s.set("v", 12).traceMember("bound", "text");
             s.a.push({"v", 0, "Object"}).op(Op::NewObject).op(Op::SetVariable);
             s.traceMember("bound", "text");
         },
         "12\n[object Object]"},
    });
}

void TextFieldTest::htmlText()
{
    runCases({
        {"HTML fields read markup; their text has none", 8,
         [](Script& s) {
             s.traceMember("rich", "text");
             s.traceMember("rich", "htmlText");
         },
         "bold text\r\n<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" "
         "COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\"><B>bold</B> text</FONT></P>"},
        {"plain fields take markup as text", 8,
         [](Script& s) {
             s.setMember("plain", "htmlText", "<i>x</i>").traceMember("plain", "text");
             s.setMember("plain", "html", true);
             s.setMember("plain", "htmlText", "<i>x</i> &amp; <font color=\"#ff0\">y</font>");
             s.traceMember("plain", "text");
             s.call("plain", "getTextFormat", {4, 5}).member("color").trace();
             s.call("plain", "getTextFormat", {0, 1}).member("italic").trace();
         },
         "<i>x</i>\nx & y\n4080\ntrue"},
        {"single-line fields break no lines", 8,
         [](Script& s) {
             s.traceMember("line", "text");
             s.setMember("line", "multiline", true);
             s.setMember("line", "htmlText", "<p>one</p><p>two</p>");
             // On many lines each paragraph ends in a break: "one\rtwo\r".
             s.get("line").member("text").member("length").trace();
         },
         "onetwo\n8"},
        {"an unquoted attribute ends the text", 8,
         [](Script& s) {
             s.setMember("rich", "htmlText", "ok<font color=#00FF00>lost</font>");
             s.traceMember("rich", "text");
         },
         "ok"},
        {"paragraphs end in carriage returns; markup escapes text", 8,
         [](Script& s) {
             s.setMember("rich", "htmlText", "<p>a</p><p>&lt;b&gt;</p>");
             // "a\r<b>\r": the last paragraph ends in one too.
             s.get("rich").member("text").member("length").trace();
             s.setMember("rich", "text", "1<2");
             s.traceMember("rich", "htmlText");
         },
         "6\n<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" "
         "LETTERSPACING=\"0\" KERNING=\"0\">1&lt;2</FONT></P>"},
    });
}

void TextFieldTest::textFormatConversions()
{
    runCases({
        {"whole numbers round half to even; margins are never negative", 8,
         [](Script& s) {
             s.newFormat("f");
             s.setMember("f", "size", 2.5).traceMember("f", "size");
             s.setMember("f", "size", 3.5).traceMember("f", "size");
             s.setMember("f", "size", 4294967295.0).traceMember("f", "size");
             s.setMember("f", "leftMargin", -3).traceMember("f", "leftMargin");
             s.setMember("f", "indent", -3).traceMember("f", "indent");
         },
         "2\n4\n-2147483648\n0\n-3"},
        {"colours are 32-bit; align keeps its value for unknown names", 8,
         [](Script& s) {
             s.newFormat("f");
             s.setMember("f", "color", -3).traceMember("f", "color");
             s.setMember("f", "align", "CENTER").traceMember("f", "align");
             s.setMember("f", "align", "middle").traceMember("f", "align");
             s.setMember("f", "bold", "yes").traceMember("f", "bold");
             s.setMember("f", "bold", nullptr).traceMember("f", "bold");
         },
         "4294967293\ncenter\ncenter\ntrue\nnull"},
        {"before SWF 8 whole numbers truncate and indents are not negative", 7,
         [](Script& s) {
             s.newFormat("f");
             s.setMember("f", "size", 2.9).traceMember("f", "size");
             s.setMember("f", "indent", -3).traceMember("f", "indent");
         },
         "2\n0"},
        {"display knows three names; anything else is block", 8,
         [](Script& s) {
             s.newFormat("f");
             s.setMember("f", "display", "none").traceMember("f", "display");
             s.setMember("f", "display", "Inline").traceMember("f", "display");
         },
         "none\nblock"},
        {"the constructor takes attributes in order", 8,
         [](Script& s) {
             s.a.push({-11, "x", "x", "_top", "u", false, true, 255, 20, "Arial", 10, "TextFormat"})
                 .op(Op::NewObject);
             s.a.push({"f"}).op(Op::StackSwap).op(Op::SetVariable);
             s.traceMember("f", "font").traceMember("f", "size").traceMember("f", "color");
             s.traceMember("f", "italic").traceMember("f", "target");
             s.traceMember("f", "leftMargin").traceMember("f", "indent");
         },
         "Arial\n20\n255\nfalse\nx\n-11\nnull"},
    });
}

void TextFieldTest::formatsOfStretches()
{
    runCases({
        {"a stretch's format has what all of it shares", 8,
         [](Script& s) {
             s.newFormat("f");
             s.setMember("f", "color", 0xFF0000);
             // plain.setTextFormat(1, 3, f)
             s.a.push({"f"}).op(Op::GetVariable).push({3, 1, 3, "plain"}).op(Op::GetVariable);
             s.a.push({"setTextFormat"}).op(Op::CallMethod).op(Op::Pop);
             s.call("plain", "getTextFormat", {}).member("color").trace();
             s.call("plain", "getTextFormat", {1, 3}).member("color").trace();
             s.call("plain", "getTextFormat", {0}).member("color").trace();
             s.call("plain", "getTextFormat", {}).member("size").trace();
         },
         "null\n16711680\n0\n12"},
        {"new text takes the new text format", 8,
         [](Script& s) {
             s.newFormat("f");
             s.setMember("f", "bold", true);
             s.a.push({"f"}).op(Op::GetVariable).push({1, "plain"}).op(Op::GetVariable);
             s.a.push({"setNewTextFormat"}).op(Op::CallMethod).op(Op::Pop);
             s.setMember("plain", "text", "new");
             s.call("plain", "getTextFormat", {}).member("bold").trace();
             s.call("plain", "getNewTextFormat", {}).member("bold").trace();
         },
         "true\ntrue"},
        {"replaceText replaces a stretch", 8,
         [](Script& s) {
             s.call("plain", "replaceText", {1, 4, "--"}).pop();
             s.traceMember("plain", "text");
         },
         "p--n"},
    });
}

void TextFieldTest::createTextField()
{
    runCases({
        {"a made field covers its box from whole pixels", 8,
         [](Script& s) {
             s.call("_root", "createTextField", {"made", 5, 2.9, -3, 40.5, 20}).trace();
             s.traceMember("made", "_x").traceMember("made", "_y");
             s.traceMember("made", "_width").traceMember("made", "_height");
             s.traceMember("made", "text").traceMember("made", "type");
             // New text takes the default font; no text has no attributes at all.
             s.call("made", "getNewTextFormat", {}).member("font").trace();
             s.call("made", "getTextFormat", {}).member("font").trace();
         },
         "_level0.made\n2\n-3\n40\n20\n\ndynamic\nTimes New Roman\nnull"},
        {"a box of the largest sizes still lays out", 8,
         [](Script& s) {
             s.call("_root", "createTextField", {"huge", 5, 0, 0, 10, -2147483647.0}).pop();
             s.setMember("huge", "text", "a");
             s.get("huge").member("textHeight").push({0}).op(Op::Less).trace();
             s.setMember("huge", "_height", 1e300);
             s.get("huge").member("maxscroll").trace();
         },
         "false\n1"},
        {"its width sizes the box; removeTextField removes it", 8,
         [](Script& s) {
             s.call("_root", "createTextField", {"made", 5, 0, 0, 10, 10}).pop();
             s.setMember("made", "_width", 2.1).traceMember("made", "_width");
             s.traceMember("made", "_xscale");
             s.call("made", "removeTextField", {}).pop();
             s.get("made").op(Op::TypeOf).trace();
         },
         "2.1\n100\nundefined"},
        {"an autosized field fits again after _width; a copy has only its place", 8,
         [](Script& s) {
             s.call("_root", "createTextField", {"made", 5, -4, 16, 12, 13}).pop();
             s.setMember("made", "autoSize", "right").traceMember("made", "_x");
             s.setMember("made", "border", true).setMember("made", "_alpha", 50);
             s.setMember("made", "text", "").setMember("made", "_width", 19);
             s.traceMember("made", "_x").traceMember("made", "_width");
             // duplicateMovieClip(made, "copy", 7), the depth stored 16384 above.
             s.get("made").push({"copy", 7 + 16384}).op(Op::CloneSprite);
             for (const char* name : {"_x", "_width", "_alpha", "border", "autoSize", "type"})
                 s.traceMember("copy", name);
         },
         "4\n19\n4\n-4\n0\n50\nfalse\nnone\ninput"},
        {"before SWF 8 it returns nothing", 7,
         [](Script& s) {
             s.call("_root", "createTextField", {"made", 5, 0, 0, 10, 10}).trace();
             s.traceMember("made", "_name");
         },
         "undefined\nmade"},
    });
}

// Every CR and every LF in text is a line end of its own; onScroller; the settings
// only scripts see; _width and _height of a scaled field give the box the value
// unscaled; a rotated field's extent rounds its corners to whole twips.
void TextFieldTest::lineEndsAndBoxes()
{
    const auto heightsOf = [](Script& s, std::vector<const char*> texts) {
        for (const char* text : texts) {
            s.setMember("plain", "text", text);
            s.traceMember("plain", "textHeight");
        }
    };
    runCases({
        {"CR LF is two line ends, read back as two CRs", 8,
         [](Script& s) {
             s.setMember("plain", "text", "a\r\nb\nc\rd");
             s.get("plain").member("text").member("length").trace();
             s.get("plain").member("text").push({"\r"}).op(Op::Equals2).trace();
             s.call("plain", "replaceText", {1, 1, "\r\n"}).pop();
             s.get("plain").member("length").trace();
         },
         "8\nfalse\n10"},
        {"and lays out as two lines", 8,
         [heightsOf](Script& s) {
             heightsOf(s, {"a\r\nb", "a\r\rb", "a\rb"});
             s.setMember("plain", "text", "a\r\nb");
             s.get("plain").member("textHeight");
             s.setMember("plain", "text", "a\rb");
             s.get("plain").member("textHeight").op(Op::Greater).trace();
         },
         // Three lines of 12 point text against two.
         "39\n39\n26\ntrue"},
        {"a scaled field's box takes _width and _height unscaled", 8,
         [](Script& s) {
             s.call("_root", "createTextField", {"made", 5, 0, 0, 100, 30}).pop();
             s.setMember("made", "_xscale", 200).setMember("made", "_width", 20);
             s.traceMember("made", "_width").traceMember("made", "_xscale");
             s.setMember("made", "_xscale", 100).traceMember("made", "_width");
             s.setMember("made", "_yscale", 50).setMember("made", "_height", 40);
             s.traceMember("made", "_height").traceMember("made", "_yscale");
         },
         "40\n200\n20\n20\n50"},
        {"scroll changes tell onScroller after the scripts", 8,
         [](Script& s) {
             ActionWriter body;
             body.push({"scroller "}).push({"f"}).op(Op::GetVariable).push({"_name"});
             body.op(Op::GetMember).op(Op::Add2).op(Op::Trace);
             s.get("plain").push({"onScroller"});
             s.a.defineFunction("", {"f"}, body);
             s.op(Op::SetMember);
             s.setMember("plain", "text", "a\rb\rc\rd\re").push({"set"}).trace();
             s.setMember("plain", "scroll", 2).setMember("plain", "scroll", 2);
             s.setMember("plain", "scroll", -5).traceMember("plain", "scroll");
         },
         // The text (maxscroll), scroll 2, then back to 1: three changes.
         "set\n1\nscroller plain\nscroller plain\nscroller plain"},
        {"settings scripts keep: defaults, then coerced values", 8,
         [](Script& s) {
             s.call("_root", "createTextField", {"made", 5, 0, 0, 100, 30}).pop();
             for (const char* name : {"background", "backgroundColor", "condenseWhite", "password",
                                      "mouseWheelEnabled", "sharpness"})
                 s.traceMember("made", name);
             s.setMember("made", "background", "no").traceMember("made", "background");
             s.setMember("made", "backgroundColor", "0x10").traceMember("made", "backgroundColor");
             s.setMember("made", "backgroundColor", Undefined{});
             s.traceMember("made", "backgroundColor");
             s.setMember("made", "mouseWheelEnabled", 0).traceMember("made", "mouseWheelEnabled");
             s.setMember("made", "sharpness", "2.5").traceMember("made", "sharpness");
             s.get("made").member("filters").member("length").trace();
             s.get("TextField").push({0, "TextField"}).op(Op::GetVariable);
             s.push({"getFontList"}).op(Op::CallMethod).op(Op::InstanceOf).trace();
             s.pop();
         },
         "false\n16777215\nfalse\nfalse\ntrue\n0\ntrue\n16\n0\nfalse\n2.5\n0\nfalse"},
        {"condenseWhite and password shape what HTML and text give", 8,
         [](Script& s) {
             s.call("_root", "createTextField", {"made", 5, 0, 0, 100, 30}).pop();
             s.setMember("made", "html", true).setMember("made", "condenseWhite", true);
             s.setMember("made", "multiline", true);
             s.setMember("made", "htmlText", "a \n\t  b<br>c").traceMember("made", "text");
             s.setMember("made", "password", true).setMember("made", "text", "secret");
             s.traceMember("made", "text").traceMember("made", "length");
         },
         "a b\rc\nsecret\n6"},
        {"listeners hear onScroller; __resolve is not asked", 8,
         [](Script& s) {
             ActionWriter heard;
             heard.push({"heard "}).push({"f"}).op(Op::GetVariable).push({"_name"});
             heard.op(Op::GetMember).op(Op::Add2).op(Op::Trace);
             ActionWriter resolve;
             resolve.push({"resolve "}).push({"n"}).op(Op::GetVariable).op(Op::Add2);
             resolve.op(Op::Trace);
             s.a.push({"o", 0, "Object"}).op(Op::NewObject).op(Op::SetVariable);
             s.get("o").push({"onScroller"});
             s.a.defineFunction("", {"f"}, heard);
             s.op(Op::SetMember);
             s.get("plain").push({"__resolve"});
             s.a.defineFunction("", {"n"}, resolve);
             s.op(Op::SetMember);
             s.a.push({1, "o"}).op(Op::GetVariable).push({1, "plain"}).op(Op::GetVariable);
             s.a.push({"addListener"}).op(Op::CallMethod).op(Op::Pop);
             // A write that moves nothing looks for handlers without asking __resolve.
             s.setMember("plain", "border", true).push({"written"}).trace();
             s.get("plain").push({"__resolve"}).op(Op::Delete).pop();
             s.setMember("plain", "text", "a\rb\rc\rd\re");
         },
         "written\nheard plain"},
        {"a rotated field rounds its corners", 8,
         [](Script& s) {
             s.call("_root", "createTextField", {"made", 5, 0, 0, 100, 30}).pop();
             s.setMember("made", "_rotation", 20);
             s.traceMember("made", "_width").traceMember("made", "_height");
         },
         // Corners at x -205.2 and 1879.4 twips, y 0 and 1247.9: whole twips 2084 by 1248.
         "104.2\n62.4"},
    });
}

QTEST_GUILESS_MAIN(TextFieldTest)
#include "TextFieldTest.moc"
