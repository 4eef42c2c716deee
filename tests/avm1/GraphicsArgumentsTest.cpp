// The flash.geom, flash.filters and BitmapData classes given odd arguments: missing,
// undefined, NaN, negative, fractional, out of range and of the wrong type. Each row
// makes an object and reads one property of it or calls one method on it.
#include "CoreCalls.h"

#include <QtTest>

using corecalls::Calls;

namespace {

void addColumns()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("constructor");
    QTest::addColumn<QStringList>("constructorArgs");
    QTest::addColumn<QString>("member");
    QTest::addColumn<QStringList>("memberArgs");
    QTest::addColumn<QString>("expected");
}

// `member` ending in "()" is called with `memberArgs`; otherwise it is read. An empty
// member shows the object made.
void row(const char* name, const char* constructor, const QStringList& constructorArgs,
         const char* member, const QStringList& memberArgs, const char* expected, int version = 8)
{
    QTest::newRow(name) << version << QString(constructor) << constructorArgs << QString(member)
                        << memberArgs << QString::fromUtf8(expected);
}

const QStringList none;

} // namespace

class GraphicsArgumentsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void calls_data();
    void calls();
};

void GraphicsArgumentsTest::calls_data()
{
    addColumns();

    const char* point = "flash.geom.Point";
    row("Point none is the origin", point, none, "", none, "{(x=0, y=0)}");
    row("Point one argument", point, {"1"}, "", none, "{(x=1, y=undefined)}");
    row("Point keeps text", point, {"'1'", "'2'"}, "x", none, "'1'");
    row("Point add joins text", point, {"'1'", "2"}, "add()", {"@p"}, "{(x=13, y=6)}");
    row("Point subtract converts", point, {"'5'", "2"}, "subtract()", {"@p"}, "{(x=2, y=-2)}");
    row("Point equals needs a Point", point, {"3", "4"}, "equals()", {"{}"}, "false");
    row("Point equals compares as ==", point, {"'3'", "4"}, "equals()", {"@p"}, "true");
    row("Point length of text", point, {"'3'", "'4'"}, "length", none, "5");
    row("Point toString", point, {"u", "null"}, "toString()", none, "'(x=undefined, y=null)'");

    const char* rect = "flash.geom.Rectangle";
    row("Rectangle none is empty at 0", rect, none, "", none, "{(x=0, y=0, w=0, h=0)}");
    row("Rectangle one argument", rect, {"1"}, "", none,
        "{(x=1, y=undefined, w=undefined, h=undefined)}");
    row("Rectangle negative width is empty", rect, {"0", "0", "-5", "5"}, "isEmpty()", none,
        "true");
    row("Rectangle NaN width is empty", rect, {"0", "0", "NaN", "5"}, "isEmpty()", none, "true");
    row("Rectangle right", rect, {"1", "2", "3", "4"}, "right", none, "4");
    row("Rectangle contains edge", rect, {"0", "0", "2", "2"}, "contains()", {"2", "1"}, "false");
    row("Rectangle contains start", rect, {"0", "0", "2", "2"}, "contains()", {"0", "0"}, "true");
    row("Rectangle contains NaN", rect, {"0", "0", "2", "2"}, "contains()", {"NaN", "0"}, "u");

    const char* matrix = "flash.geom.Matrix";
    row("Matrix none is identity", matrix, none, "", none, "{(a=1, b=0, c=0, d=1, tx=0, ty=0)}");
    row("Matrix keeps what it is given", matrix, {"2"}, "", none,
        "{(a=2, b=undefined, c=undefined, d=undefined, tx=undefined, ty=undefined)}");

    const char* color = "flash.geom.ColorTransform";
    row("ColorTransform all eight or none", color, {"2", "3"}, "redMultiplier", none, "1");
    row("ColorTransform eight", color, {"2", "3", "4", "5", "6", "7", "8", "9"}, "alphaOffset",
        none, "9");
    row("ColorTransform rgb of offsets", color, {"1", "1", "1", "1", "18", "52", "86", "0"}, "rgb",
        none, "1193046");

    const char* blur = "flash.filters.BlurFilter";
    row("Blur defaults", blur, none, "blurX", none, "4");
    row("Blur NaN is 0", blur, {"NaN"}, "blurX", none, "0");
    row("Blur negative is 0", blur, {"4", "-1"}, "blurY", none, "0");
    row("Blur above 255", blur, {"300"}, "blurX", none, "255");
    row("Blur keeps fractions", blur, {"1.5"}, "blurX", none, "1.5");
    row("Blur quality truncated", blur, {"4", "4", "2.7"}, "quality", none, "2");
    row("Blur quality above 15", blur, {"4", "4", "99"}, "quality", none, "15");
    row("Blur undefined keeps default", blur, {"u", "7"}, "blurX", none, "4");

    const char* glow = "flash.filters.GlowFilter";
    row("Glow default colour", glow, none, "color", none, "16711680");
    row("Glow default strength", glow, none, "strength", none, "2");
    row("Glow default blur", glow, none, "blurY", none, "6");
    row("Glow colour -1 is white", glow, {"-1"}, "color", none, "16777215");
    row("Glow colour past 24 bits", glow, {"16777216"}, "color", none, "0");
    row("Glow alpha above 1", glow, {"0", "2"}, "alpha", none, "1");
    row("Glow alpha negative", glow, {"0", "-1"}, "alpha", none, "0");
    row("Glow strength above 255", glow, {"0", "1", "6", "6", "300"}, "strength", none, "255");
    row("Glow quality text", glow, {"0", "1", "6", "6", "2", "'x'"}, "quality", none, "0");
    row("Glow inner from a number", glow, {"0", "1", "6", "6", "2", "1", "1"}, "inner", none,
        "true");
    row("Glow knockout from 0", glow, {"0", "1", "6", "6", "2", "1", "1", "0"}, "knockout", none,
        "false");

    const char* shadow = "flash.filters.DropShadowFilter";
    row("DropShadow negative distance kept", shadow, {"-5"}, "distance", none, "-5");
    row("DropShadow angle modulo 360", shadow, {"4", "400"}, "angle", none, "40");
    row("DropShadow default hideObject", shadow, none, "hideObject", none, "false");

    const char* bevel = "flash.filters.BevelFilter";
    row("Bevel default type", bevel, none, "type", none, "'inner'");
    row("Bevel default highlight", bevel, none, "highlightColor", none, "16777215");
    row("Bevel unknown type is full", bevel,
        {"4", "45", "0", "1", "0", "1", "4", "4", "1", "1", "'sideways'"}, "type", none, "'full'");

    const char* gradient = "flash.filters.GradientGlowFilter";
    row("GradientGlow no stops", gradient, none, "colors", none, "{}");
    row("GradientGlow default type", gradient, none, "type", none, "'inner'");

    const char* colorMatrix = "flash.filters.ColorMatrixFilter";
    row("ColorMatrix default identity", colorMatrix, none, "matrix", none,
        "{1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0}");
    row("ColorMatrix null keeps identity", colorMatrix, {"null"}, "matrix", none,
        "{1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0}");
    row("ColorMatrix short list reads NaN", colorMatrix, {"[1|2]"}, "matrix", none,
        "{1,2,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN}");

    const char* convolution = "flash.filters.ConvolutionFilter";
    row("Convolution default size", convolution, none, "matrixX", none, "0");
    row("Convolution default divisor", convolution, none, "divisor", none, "1");
    row("Convolution size capped", convolution, {"99", "1"}, "matrixX", none, "15");
    row("Convolution list padded to its size", convolution, {"2", "1", "[5]"}, "matrix", none,
        "{5,0}");

    const char* displacement = "flash.filters.DisplacementMapFilter";
    row("Displacement default point", displacement, none, "mapPoint", none, "{(x=0, y=0)}");
    row("Displacement default mode", displacement, none, "mode", none, "'wrap'");
    row("Displacement no map", displacement, none, "mapBitmap", none, "u");

    const char* bitmap = "flash.display.BitmapData";
    const QStringList red = {"4", "4", "true", "4294901760"};
    row("BitmapData fractional coordinates truncate", bitmap, red, "getPixel32()", {"1.9", "1.9"},
        "-65536");
    row("BitmapData NaN coordinate is 0", bitmap, red, "getPixel32()", {"NaN", "0"}, "-65536");
    row("BitmapData coordinate text", bitmap, red, "getPixel32()", {"'1'", "0"}, "-65536");
    row("BitmapData outside is 0", bitmap, red, "getPixel32()", {"4", "0"}, "0");
    row("BitmapData before the start is 0", bitmap, red, "getPixel32()", {"-1", "0"}, "0");
    row("BitmapData getPixel drops alpha", bitmap, red, "getPixel()", {"0", "0"}, "16711680");
    row("BitmapData too few arguments", bitmap, red, "getPixel32()", {"0"}, "-1");
    row("BitmapData fillRect without a rectangle", bitmap, red, "fillRect()", {"{}", "0"}, "-1");
    row("BitmapData floodFill outside", bitmap, red, "floodFill()", {"9", "9", "0"}, "0");
    row("BitmapData transparent by default", bitmap, {"4", "4"}, "transparent", none, "true");
    row("BitmapData no size", bitmap, {"0", "4"}, "", none, "u");
    row("BitmapData transparent given undefined", bitmap, {"4", "4", "u"}, "transparent", none,
        "false");
    row("BitmapData merge with too few", bitmap, red, "merge()", {"@b", "@r", "@p"}, "-1");
    row("BitmapData merge answers -1 having run", bitmap, red, "merge()",
        {"@b", "@r", "@p", "1", "1", "1", "1"}, "-1");
    row("BitmapData merge from no bitmap", bitmap, red, "merge()",
        {"{}", "@r", "@p", "1", "1", "1", "1"}, "-2");
    row("BitmapData compare other width", bitmap, red, "compare()", {"@b"}, "-3");
    row("BitmapData threshold unknown operation", bitmap, red, "threshold()",
        {"@b", "@r", "@p", "'~'", "0"}, "0");
    row("BitmapData hitTest first point none", bitmap, red, "hitTest()", {"{}", "0", "@p"}, "-2");
    row("BitmapData colour bounds too few", bitmap, red, "getColorBoundsRect()", {"0"}, "-1");
}

void GraphicsArgumentsTest::calls()
{
    QFETCH(int, version);
    QFETCH(QString, constructor);
    QFETCH(QStringList, constructorArgs);
    QFETCH(QString, member);
    QFETCH(QStringList, memberArgs);
    QFETCH(QString, expected);
    Calls c(version);
    // Arguments for the methods that take objects: @p a Point (3, 4), @r a Rectangle
    // (0, 0, 2, 2), @b a 2 by 2 BitmapData.
    const auto global = [&](const char* name, const QString& made, const QStringList& args) {
        c.vm().setMember(avm1::Value(c.vm().global()), c.vm().str(name), c.call(made, "", args));
    };
    global("p", "new flash.geom.Point", {"3", "4"});
    global("r", "new flash.geom.Rectangle", {"0", "0", "2", "2"});
    global("b", "new flash.display.BitmapData", {"2", "2"});
    const avm1::Value made = c.call("new " + constructor, "", constructorArgs);
    if (member.isEmpty()) {
        QCOMPARE(c.show(made), expected);
        return;
    }
    QVERIFY(made.isObject());
    c.vm().setMember(avm1::Value(c.vm().global()), c.vm().str("made"), made);
    avm1::Value result;
    if (member.endsWith("()")) {
        const QString method = constructor + ".prototype." + member.chopped(2);
        result = c.call(method, "@made", memberArgs);
    } else {
        result = c.path("made." + member);
    }
    QCOMPARE(c.show(result), expected);
}

QTEST_GUILESS_MAIN(GraphicsArgumentsTest)
#include "GraphicsArgumentsTest.moc"
