// flash.display.BitmapData and flash.filters called through a VM as scripts call them:
// the sizes each version allows, the codes the methods answer with, and the ranges the
// filters' properties bring their values into.
#include "ScriptRun.h"
#include "avm1/Vm.h"
#include "avm1/builtins/BitmapDataObject.h"
#include "avm1/builtins/FilterObjects.h"

#include <QtTest>
#include <cmath>

using avm1::Value;

namespace {

class Scripts {
public:
    explicit Scripts(int version = 8) : m_vm(version) {}

    avm1::Vm& vm() { return m_vm; }
    Value get(Value target, std::string_view name)
    {
        return m_vm.getMember(target, m_vm.str(name));
    }
    void set(Value target, std::string_view name, Value value)
    {
        m_vm.setMember(target, m_vm.str(name), value);
    }
    Value cls(std::string_view package, std::string_view name)
    {
        return get(get(get(Value(m_vm.global()), "flash"), package), name);
    }
    Value make(std::string_view package, std::string_view name, const std::vector<Value>& args = {})
    {
        return m_vm.construct(cls(package, name), args);
    }
    Value bitmap(const std::vector<Value>& args) { return make("display", "BitmapData", args); }
    Value call(Value target, std::string_view method, const std::vector<Value>& args = {})
    {
        return m_vm.callMethod(target, m_vm.str(method), args);
    }
    // `ctor` called as a function on `self`, as super() calls it.
    Value callOn(std::string_view package, std::string_view ctor, Value self,
                 const std::vector<Value>& args)
    {
        return m_vm.call(cls(package, ctor), self, args);
    }
    Value str(std::string_view text) { return Value(m_vm.str(text)); }
    Value array(const std::vector<Value>& values) { return Value(m_vm.makeArray(values)); }
    double number(Value v) { return m_vm.toNumber(v); }
    QString text(Value v) { return QString::fromStdString(m_vm.toStdString(v)); }

private:
    avm1::Vm m_vm;
};

Value n(double value)
{
    return Value(value);
}

} // namespace

class BitmapClassesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizesFollowTheMovieVersion()
    {
        Scripts old(9);
        QVERIFY(old.bitmap({n(2880), n(2880)}).isObject());
        QVERIFY(old.bitmap({n(2881), n(1)}).isUndefined());
        QVERIFY(old.bitmap({n(1), n(2881)}).isUndefined());
        Scripts later(10);
        QVERIFY(later.bitmap({n(8191), n(1)}).isObject());
        QVERIFY(later.bitmap({n(8192), n(1)}).isUndefined());
        // 4096 x 4096 passes the pixel cap by one row.
        QVERIFY(later.bitmap({n(4096), n(4097)}).isUndefined());
        // Sizes that are no positive numbers make nothing.
        QVERIFY(later.bitmap({n(0), n(5)}).isUndefined());
        QVERIFY(later.bitmap({Value::null(), n(5)}).isUndefined());
        QVERIFY(later.bitmap({n(5)}).isUndefined());
        const Value fractional = later.bitmap({n(10.9), n(2.5)});
        QCOMPARE(later.number(later.get(fractional, "width")), 10.0);
        QCOMPARE(later.number(later.get(fractional, "height")), 2.0);
    }

    void methodsAnswerWithCodes()
    {
        Scripts s(8);
        const Value b = s.bitmap({n(3), n(3), Value(true), n(0xAABBCCDD)});
        QCOMPARE(s.number(s.call(b, "getPixel")), -1.0);
        QCOMPARE(s.number(s.call(b, "getPixel32", {n(1), n(1)})),
                 double(static_cast<std::int32_t>(0xAABBCCDCu)));
        QCOMPARE(s.number(s.call(b, "copyPixels", {Value::null(), Value::null(), Value::null()})),
                 -2.0);
        const Value other = s.bitmap({n(3), n(3)});
        QCOMPARE(s.number(s.call(b, "copyPixels", {other, Value::null(), Value::null()})), -4.0);
        QCOMPARE(s.number(s.call(b, "compare", {s.bitmap({n(4), n(3)})})), -3.0);
        QCOMPARE(s.number(s.call(b, "compare", {s.call(b, "clone")})), 0.0);
        QCOMPARE(s.number(s.call(b, "floodFill", {n(0), n(0), n(0xFF000000)})), 1.0);
        s.call(other, "dispose");
        QCOMPARE(s.number(s.get(other, "width")), -1.0);
        QCOMPARE(s.number(s.call(b, "copyPixels", {other, s.get(b, "rectangle"), Value::null()})),
                 -3.0);
        QCOMPARE(s.number(s.call(other, "getPixel", {n(0), n(0)})), -1.0);
    }

    void filterPropertiesAreClamped()
    {
        Scripts s(8);
        const Value f = s.make("filters", "DropShadowFilter");
        QCOMPARE(s.number(s.get(f, "distance")), 4.0);
        s.set(f, "quality", n(100));
        QCOMPARE(s.number(s.get(f, "quality")), 15.0);
        s.set(f, "quality", n(-3));
        QCOMPARE(s.number(s.get(f, "quality")), 0.0);
        s.set(f, "blurX", n(300));
        QCOMPARE(s.number(s.get(f, "blurX")), 255.0);
        s.set(f, "strength", n(-1));
        QCOMPARE(s.number(s.get(f, "strength")), 0.0);
        s.set(f, "alpha", n(0.5));
        QCOMPARE(s.number(s.get(f, "alpha")), 127 / 255.0);
        s.set(f, "color", n(-305419896));
        QCOMPARE(s.number(s.get(f, "color")), double(0xCBA988));
        s.set(f, "angle", n(366));
        QCOMPARE(std::round(s.number(s.get(f, "angle")) * 1e9) / 1e9, 6.0);
        s.set(f, "hideObject", Value::null());
        QCOMPARE(s.vm().toBoolean(s.get(f, "hideObject")), false);

        const Value bevel = s.make("filters", "BevelFilter");
        s.set(bevel, "type", s.str("INNER"));
        QCOMPARE(s.text(s.get(bevel, "type")), QString("full"));
        s.set(bevel, "type", s.str("outer"));
        QCOMPARE(s.text(s.get(bevel, "type")), QString("outer"));

        const Value map = s.make("filters", "DisplacementMapFilter");
        s.set(map, "scaleX", n(70000));
        QCOMPARE(s.number(s.get(map, "scaleX")), 65535.0);
        s.set(map, "mode", s.str("Color"));
        QCOMPARE(s.text(s.get(map, "mode")), QString("wrap"));
    }

    void copyPixelsTakesTheAlphaBitmapWithItsPoint()
    {
        Scripts s(8);
        const Value source = s.bitmap({n(3), n(3), Value(false), n(0x12345678)});
        const Value mask = s.bitmap({n(3), n(3), Value(true), n(0x12345678)});
        const Value rect = s.make("geom", "Rectangle", {n(0), n(0), n(2), n(2)});
        const Value point = s.make("geom", "Point", {n(1), n(1)});
        // Without the alpha point the alpha bitmap is left out: a plain copy.
        const Value plain = s.bitmap({n(3), n(3), Value(true), n(0xAABBCCDD)});
        QCOMPARE(s.number(s.call(plain, "copyPixels", {source, rect, point, mask})), 0.0);
        QCOMPARE(s.number(s.call(plain, "getPixel32", {n(1), n(1)})),
                 double(static_cast<std::int32_t>(0xFF345678u)));
        // With it (null reads as the origin) the copy fades by the mask.
        for (const Value at : {point, Value::null()}) {
            const Value masked = s.bitmap({n(3), n(3), Value(true), n(0xAABBCCDD)});
            s.call(masked, "copyPixels", {source, rect, point, mask, at});
            QCOMPARE(s.number(s.call(masked, "getPixel32", {n(1), n(1)})), double(0x112D5A78));
        }
    }

    void constructingAgainKeepsTheFilter()
    {
        Scripts s(8);
        const Value blur = s.make("filters", "BlurFilter", {n(10), n(20), n(4)});
        // A second construction, as a second super() call makes it, converts its
        // arguments (valueOf runs) but leaves the values.
        s.callOn("filters", "BlurFilter", blur, {n(20), n(10), n(5)});
        QCOMPARE(s.number(s.get(blur, "blurX")), 10.0);
        QCOMPARE(s.number(s.get(blur, "quality")), 4.0);
        // Nor does another class's constructor turn it into its kind.
        s.callOn("filters", "GlowFilter", blur, {n(0xFF)});
        QCOMPARE(s.number(s.get(blur, "blurY")), 20.0);
        QVERIFY(s.get(blur, "color").isUndefined());
        // A plain object becomes a filter the first time.
        const Value plain(s.vm().makeObject());
        s.callOn("filters", "BlurFilter", plain, {n(7)});
        QVERIFY(avm1::filterStateOf(plain));
        // A bitmap constructed again keeps its pixels.
        const Value twice = s.bitmap({n(2), n(2), Value(false), n(0xFF0000)});
        s.callOn("display", "BitmapData", twice, {n(5), n(5), Value(false), n(0xFF)});
        QCOMPARE(s.number(s.get(twice, "width")), 2.0);
        QCOMPARE(s.number(s.call(twice, "getPixel", {n(0), n(0)})), double(0xFF0000));
        // A bitmap called as a filter stays a bitmap.
        const Value b = s.bitmap({n(2), n(2)});
        s.callOn("filters", "BlurFilter", b, {n(7)});
        QCOMPARE(s.number(s.get(b, "width")), 2.0);
    }

    void gradientListsShareOneCount()
    {
        Scripts s(8);
        const Value f = s.make("filters", "GradientGlowFilter");
        s.set(f, "colors", s.array({n(1), n(2), n(3)}));
        s.set(f, "alphas", s.array({n(0.5)}));
        s.set(f, "ratios", s.array({n(500), n(10.5), n(20), n(30)}));
        QCOMPARE(s.text(s.get(f, "ratios")), QString("255,10,20"));
        // Missing alphas are opaque, the first rounded to a byte.
        QCOMPARE(s.text(s.get(f, "alphas")), QString("0.501960784313725,1,1"));
        // Fewer ratios shorten all three lists; more colours bring kept entries back.
        s.set(f, "ratios", s.array({n(7)}));
        QCOMPARE(s.text(s.get(f, "colors")), QString("1"));
        s.set(f, "colors", s.array({n(4), n(5)}));
        QCOMPARE(s.text(s.get(f, "ratios")), QString("7,10"));
        std::vector<Value> many;
        for (int i = 0; i < 20; ++i)
            many.push_back(n(i));
        s.set(f, "colors", s.array(many));
        QCOMPARE(s.vm().toNumber(s.get(s.get(f, "colors"), "length")), 16.0);
    }

    void convolutionKernelsGrowWithTheirSize()
    {
        Scripts s(8);
        const Value f = s.make("filters", "ConvolutionFilter");
        QCOMPARE(s.number(s.get(f, "alpha")), 0.0);
        s.set(f, "matrix", s.array({n(1), n(2)}));
        s.set(f, "matrixX", n(2));
        s.set(f, "matrixY", n(2.7));
        QCOMPARE(s.text(s.get(f, "matrix")), QString("1,2,0,0"));
        s.set(f, "matrixX", n(99));
        QCOMPARE(s.number(s.get(f, "matrixX")), 15.0);
        QCOMPARE(s.vm().toNumber(s.get(s.get(f, "matrix"), "length")), 30.0);
        // A colour without its alpha is opaque.
        const Value withColor =
            s.make("filters", "ConvolutionFilter",
                   {n(1), n(1), s.array({n(1)}), n(1), n(0), Value(true), Value(true), n(0xFF)});
        QCOMPARE(s.number(s.get(withColor, "alpha")), 1.0);
    }

    void clipsShowBitmapsAndKeepCopiesOfFilters()
    {
        using swfwriter::ActionWriter;
        using swfwriter::Op;
        ActionWriter code;
        // var b = new flash.display.BitmapData(10, 8, false, 0xFF0000);
        code.push({"b", 0xFF0000, false, 8, 10, 4, "flash"}).op(Op::GetVariable);
        code.push({"display"}).op(Op::GetMember).push({"BitmapData"}).op(Op::NewMethod);
        code.op(Op::SetVariable);
        // _root.createEmptyMovieClip("t", 1); t.attachBitmap(b, 1);
        code.push({1, "t", 2, "_root"}).op(Op::GetVariable);
        code.push({"createEmptyMovieClip"}).op(Op::CallMethod).op(Op::Pop);
        code.push({1, "b"}).op(Op::GetVariable).push({2, "t"}).op(Op::GetVariable);
        code.push({"attachBitmap"}).op(Op::CallMethod).op(Op::Pop);
        code.push({"t"}).op(Op::GetVariable).push({"_width"}).op(Op::GetMember).op(Op::Trace);
        code.push({"t"}).op(Op::GetVariable).push({"_height"}).op(Op::GetMember).op(Op::Trace);
        // var f = new flash.filters.BlurFilter(2, 3); t.filters = [f]; f.blurX = 9;
        code.push({"f", 3, 2, 2, "flash"}).op(Op::GetVariable);
        code.push({"filters"}).op(Op::GetMember).push({"BlurFilter"}).op(Op::NewMethod);
        code.op(Op::SetVariable);
        code.push({"t"}).op(Op::GetVariable).push({"filters", "f"}).op(Op::GetVariable);
        code.push({1}).op(Op::InitArray).op(Op::SetMember);
        code.push({"f"}).op(Op::GetVariable).push({"blurX", 9}).op(Op::SetMember);
        // trace(t.filters[0].blurX); trace(t.filters[0] == t.filters[0]);
        code.push({"t"}).op(Op::GetVariable).push({"filters"}).op(Op::GetMember);
        code.push({0}).op(Op::GetMember).push({"blurX"}).op(Op::GetMember).op(Op::Trace);
        code.push({"t"}).op(Op::GetVariable).push({"filters"}).op(Op::GetMember);
        code.push({0}).op(Op::GetMember);
        code.push({"t"}).op(Op::GetVariable).push({"filters"}).op(Op::GetMember);
        code.push({0}).op(Op::GetMember).op(Op::Equals2).op(Op::Trace);
        QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(8, code))),
                 QString("10\n8\n2\nfalse"));
    }

    void filtersConvertBothWays()
    {
        Scripts s(8);
        const Value glow = s.make("filters", "GlowFilter", {n(0x00FF00), n(0.5), n(8), n(9)});
        const std::optional<swf::Filter> kept = avm1::filterOf(s.vm(), glow);
        QVERIFY(kept);
        const auto* g = std::get_if<swf::GlowFilter>(&*kept);
        QVERIFY(g);
        QCOMPARE(int(g->color.g), 255);
        QCOMPARE(int(g->color.a), 127);
        QCOMPARE(g->blurY, 9.0);
        avm1::FilterKind kind = avm1::FilterKind::Blur;
        const auto data = avm1::filterStateFor(*kept, kind);
        QCOMPARE(int(kind), int(avm1::FilterKind::Glow));
        QCOMPARE(std::get<swf::GlowFilter>(data).blurX, 8.0);
        // clone() is a new object with the same values, changed apart from the first.
        const Value copy = s.call(glow, "clone");
        QVERIFY(copy.isObject() && copy.asObject() != glow.asObject());
        s.set(copy, "blurX", n(1));
        QCOMPARE(s.number(s.get(glow, "blurX")), 8.0);
        QVERIFY(!avm1::filterOf(s.vm(), s.make("filters", "BitmapFilter")));
    }
};

QTEST_GUILESS_MAIN(BitmapClassesTest)
#include "BitmapClassesTest.moc"
