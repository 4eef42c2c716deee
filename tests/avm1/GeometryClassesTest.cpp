// flash.geom's Point, Rectangle, Matrix and ColorTransform called through a VM as
// scripts call them: what they keep, what they convert, and the undefined answers the
// reference gives where a value is no number.
#include "avm1/Vm.h"
#include "avm1/builtins/GeomColorTransform.h"

#include <QtTest>
#include <cmath>
#include <limits>

using avm1::Value;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

class Geom {
public:
    explicit Geom(int version = 8) : m_vm(version) {}

    avm1::Vm& vm() { return m_vm; }
    Value get(Value target, std::string_view name)
    {
        return m_vm.getMember(target, m_vm.str(name));
    }
    void set(Value target, std::string_view name, Value value)
    {
        m_vm.setMember(target, m_vm.str(name), value);
    }
    Value cls(std::string_view name)
    {
        return get(get(get(Value(m_vm.global()), "flash"), "geom"), name);
    }
    Value make(std::string_view name, const std::vector<Value>& args = {})
    {
        return m_vm.construct(cls(name), args);
    }
    Value call(Value target, std::string_view method, const std::vector<Value>& args = {})
    {
        return m_vm.callMethod(target, m_vm.str(method), args);
    }
    Value str(std::string_view text) { return Value(m_vm.str(text)); }
    Value object() { return Value(m_vm.makeObject()); }
    // An object with numeric properties.
    Value with(std::initializer_list<std::pair<const char*, double>> props)
    {
        Value o = object();
        for (const auto& [name, value] : props)
            set(o, name, Value(value));
        return o;
    }
    QString text(Value v) { return QString::fromStdString(m_vm.toStdString(v)); }

private:
    avm1::Vm m_vm;
};

} // namespace

class GeometryClassesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void packageHiddenBeforeSwf8();
    void colorTransformChannels();
    void colorTransformRgbAndConcat();
    void colorTransformOnObjectsItDidNotMake();
    void pointArithmetic();
    void pointDistanceAndNormalize();
    void rectangleSidesMoveAlone();
    void rectangleTestsMeetingNaN();
    void rectangleIntersectionAndUnion();
    void matrixOperations();
};

void GeometryClassesTest::packageHiddenBeforeSwf8()
{
    Geom swf7(7);
    QVERIFY(swf7.get(Value(swf7.vm().global()), "flash").isUndefined());
    Geom swf8(8);
    for (const char* name : {"Point", "Rectangle", "Matrix", "ColorTransform", "Transform"}) {
        Value ctor = swf8.cls(name);
        QVERIFY2(ctor.isObject() && ctor.asObject()->isFunction(), name);
    }
    // Revealed by a script, the classes are all there in older movies too.
    Value flags = swf7.get(Value(swf7.vm().global()), "ASSetPropFlags");
    swf7.vm().call(
        flags, Value(),
        std::vector<Value>{Value(swf7.vm().global()), swf7.str("flash"), Value(0), Value(0x1000)});
    QVERIFY(swf7.cls("Point").isObject());
}

void GeometryClassesTest::colorTransformChannels()
{
    Geom g;
    Value c = g.make("ColorTransform");
    QCOMPARE(g.text(c), QString("(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, "
                                "alphaMultiplier=1, redOffset=0, greenOffset=0, blueOffset=0, "
                                "alphaOffset=0)"));
    // The accessors live on the prototype; values are kept exactly as numbers.
    QVERIFY(!g.vm().hasOwnProperty(c.asObject(), g.vm().str("redMultiplier")));
    g.set(c, "redMultiplier", Value(5.4));
    g.set(c, "greenOffset", g.str("287"));
    QCOMPARE(g.get(c, "redMultiplier").asNumber(), 5.4);
    QCOMPARE(g.get(c, "greenOffset").asNumber(), 287.0);

    // All eight arguments or none: seven leave the defaults.
    Value seven = g.make("ColorTransform",
                         {Value(0), Value(2), Value(3), Value(4), Value(5), Value(6), Value(7)});
    QCOMPARE(g.get(seven, "redMultiplier").asNumber(), 1.0);
    Value eight = g.make("ColorTransform", {g.object(), Value(3), g.str("x"), Value(true), Value(),
                                            Value(-8.5), Value(9.75), Value(1)});
    QCOMPARE(g.text(eight), QString("(redMultiplier=NaN, greenMultiplier=3, blueMultiplier=NaN, "
                                    "alphaMultiplier=1, redOffset=NaN, greenOffset=-8.5, "
                                    "blueOffset=9.75, alphaOffset=1)"));
}

void GeometryClassesTest::colorTransformRgbAndConcat()
{
    Geom g;
    Value c = g.make("ColorTransform", {Value(1), Value(1), Value(-0.5), Value(4), Value(2),
                                        Value(2), Value(2), Value(8)});
    g.set(c, "rgb", Value(-4534));
    QCOMPARE(g.text(c), QString("(redMultiplier=0, greenMultiplier=0, blueMultiplier=0, "
                                "alphaMultiplier=4, redOffset=255, greenOffset=238, "
                                "blueOffset=74, alphaOffset=8)"));
    QCOMPARE(g.get(c, "rgb").asNumber(), 16772682.0);
    // Offsets past a byte spill into the channel above; the red one wraps at 32 bits.
    Value big = g.make("ColorTransform", {Value(1), Value(1), Value(1), Value(1), Value(1000000),
                                          Value(1000), Value(1000), Value(0)});
    QCOMPARE(g.get(big, "rgb").asNumber(), 1111747560.0);

    // concat puts the other transform first: its offsets go through this one's
    // multipliers.
    Value a = g.make("ColorTransform", {Value(2), Value(1), Value(1), Value(1), Value(10), Value(0),
                                        Value(0), Value(0)});
    Value b = g.make("ColorTransform", {Value(3), Value(1), Value(1), Value(1), Value(5), Value(0),
                                        Value(0), Value(0)});
    g.call(a, "concat", {b});
    QCOMPARE(g.get(a, "redMultiplier").asNumber(), 6.0);
    QCOMPARE(g.get(a, "redOffset").asNumber(), 20.0);
}

void GeometryClassesTest::colorTransformOnObjectsItDidNotMake()
{
    Geom g;
    // A subclass's super() runs the constructor as a function on its own object.
    Value plain = g.object();
    avm1::Object* proto = g.get(g.cls("ColorTransform"), "prototype").asObject();
    plain.asObject()->setPrototype(proto);
    QVERIFY(g.get(plain, "redOffset").isUndefined());
    g.vm().call(g.cls("ColorTransform"), plain, std::vector<Value>{});
    QCOMPARE(g.get(plain, "redMultiplier").asNumber(), 1.0);
    g.set(plain, "redOffset", Value(100));
    QCOMPARE(g.get(plain, "redOffset").asNumber(), 100.0);
    QVERIFY(avm1::colorTransformState(plain.asObject()) != nullptr);
    // Values the display list cannot hold wrap at its 16 bits.
    g.set(plain, "redMultiplier", Value(128));
    const swf::ColorTransform fixed =
        avm1::fixedColorTransform(g.vm(), *avm1::colorTransformState(plain.asObject()));
    QCOMPARE(fixed.rMul, std::int16_t(-32768));
    QCOMPARE(fixed.rAdd, std::int16_t(100));
}

void GeometryClassesTest::pointArithmetic()
{
    Geom g;
    QCOMPARE(g.text(g.make("Point")), QString("(x=0, y=0)"));
    // Given values are stored as they are.
    QCOMPARE(g.text(g.make("Point", {Value(1)})), QString("(x=1, y=undefined)"));
    QCOMPARE(g.text(g.make("Point", {g.object(), Value(2)})), QString("(x=[object Object], y=2)"));

    Value origin = g.make("Point");
    QCOMPARE(g.text(g.call(origin, "add", {g.with({{"x", 3}, {"y", 4}})})), QString("(x=3, y=4)"));
    QCOMPARE(g.text(g.call(origin, "subtract", {Value()})), QString("(x=NaN, y=NaN)"));
    QCOMPARE(g.text(origin), QString("(x=0, y=0)"));

    // Only a point equals a point.
    QCOMPARE(g.call(origin, "equals", {g.with({{"x", 0}, {"y", 0}})}).asBoolean(), false);
    QCOMPARE(g.call(origin, "equals", {g.make("Point")}).asBoolean(), true);
    Value clone = g.call(g.make("Point", {Value(1), Value(2)}), "clone");
    QCOMPARE(g.text(clone), QString("(x=1, y=2)"));

    Value pointClass = g.cls("Point");
    Value from = g.make("Point", {Value(-100), Value(-200)});
    Value to = g.make("Point", {Value(100), Value(200)});
    QCOMPARE(g.text(g.call(pointClass, "interpolate", {from, to, Value(-1)})),
             QString("(x=300, y=600)"));
    QCOMPARE(g.text(g.call(pointClass, "interpolate", {from, to, Value(0.5)})),
             QString("(x=0, y=0)"));
    QCOMPARE(g.text(g.call(pointClass, "polar", {Value(5), Value(std::atan(0.75))})),
             QString("(x=4, y=3)"));
    Value moved = g.make("Point");
    g.call(moved, "offset", {Value(500)});
    QCOMPARE(g.text(moved), QString("(x=500, y=NaN)"));
}

void GeometryClassesTest::pointDistanceAndNormalize()
{
    Geom g;
    Value pointClass = g.cls("Point");
    QCOMPARE(g.call(pointClass, "distance",
                    {g.make("Point", {Value(-100), Value(200)}),
                     g.make("Point", {Value(100), Value(200)})})
                 .asNumber(),
             200.0);
    // The first must be able to subtract: a plain object cannot.
    QVERIFY(g.call(pointClass, "distance", {g.with({{"x", 1}}), g.make("Point")}).isUndefined());
    QVERIFY(std::isnan(g.call(pointClass, "distance", {g.make("Point")}).asNumber()));
    QCOMPARE(g.get(g.make("Point", {Value(0), Value(-200)}), "length").asNumber(), 200.0);

    Value p = g.make("Point", {Value(-200), Value(100)});
    g.call(p, "normalize", {Value(-5)});
    QCOMPARE(g.text(p), QString("(x=4.47213595499958, y=-2.23606797749979)"));
    // No length (or none that is a number): left alone.
    Value zero = g.make("Point");
    g.call(zero, "normalize", {Value(10)});
    QCOMPARE(g.text(zero), QString("(x=0, y=0)"));
    Value hole = g.make("Point", {Value(), Value(100)});
    g.call(hole, "normalize", {Value(3)});
    QCOMPARE(g.text(hole), QString("(x=undefined, y=100)"));
}

void GeometryClassesTest::rectangleSidesMoveAlone()
{
    Geom g;
    auto rect = [&] { return g.make("Rectangle", {Value(1), Value(3), Value(5), Value(7)}); };
    auto box = [&](Value r) {
        return QString("%1,%2 %3x%4 r=%5 b=%6")
            .arg(g.text(g.get(r, "x")), g.text(g.get(r, "y")), g.text(g.get(r, "width")),
                 g.text(g.get(r, "height")), g.text(g.get(r, "right")), g.text(g.get(r, "bottom")));
    };
    QCOMPARE(g.text(g.make("Rectangle", {Value(1)})), QString("(x=1, y=undefined, w=undefined, "
                                                              "h=undefined)"));
    Value r = rect();
    g.set(r, "left", Value(100));
    QCOMPARE(box(r), QString("100,3 -94x7 r=6 b=10"));
    r = rect();
    g.set(r, "top", Value(kInfinity));
    QCOMPARE(box(r), QString("1,Infinity 5x-Infinity r=6 b=NaN"));
    r = rect();
    g.set(r, "bottomRight", g.make("Point", {Value(100), Value(200)}));
    QCOMPARE(box(r), QString("1,3 99x197 r=100 b=200"));
    r = rect();
    g.set(r, "size", Value());
    QCOMPARE(box(r), QString("1,3 undefinedxundefined r=NaN b=NaN"));
    r = rect();
    g.set(r, "topLeft", g.with({{"x", 50}, {"y", -50}}));
    QCOMPARE(box(r), QString("50,-50 -44x60 r=6 b=10"));
    QCOMPARE(g.text(g.get(r, "topLeft")), QString("(x=50, y=-50)"));
    QCOMPARE(g.text(g.get(r, "size")), QString("(x=-44, y=60)"));
}

void GeometryClassesTest::rectangleTestsMeetingNaN()
{
    Geom g;
    Value r = g.make("Rectangle", {Value(1), Value(3), Value(5), Value(7)});
    auto contains = [&](Value x, Value y) { return g.text(g.call(r, "contains", {x, y})); };
    QCOMPARE(contains(Value(1), Value(3)), QString("true"));
    QCOMPARE(contains(Value(6), Value(10)), QString("false"));
    QCOMPARE(contains(Value(1), Value(2)), QString("false"));
    QCOMPARE(contains(Value(4), Value(kNaN)), QString("undefined"));
    QCOMPARE(contains(Value(5), g.str("5")), QString("true"));
    // A false test decides before a later undefined one.
    QCOMPARE(contains(Value(0), Value(kNaN)), QString("false"));

    Value partial = g.with({{"x", 1}, {"y", 3}, {"width", 5}});
    QCOMPARE(g.text(g.call(r, "containsRectangle", {partial})), QString("undefined"));
    QCOMPARE(g.text(g.call(r, "containsRectangle",
                           {g.with({{"x", 1}, {"y", 3}, {"width", 5}, {"height", 7}})})),
             QString("true"));

    for (auto [w, h, empty] : {std::tuple{3.0, 0.0, true}, std::tuple{kInfinity, kInfinity, false},
                               std::tuple{kNaN, kNaN, true}, std::tuple{-1.0, 2.0, true}}) {
        Value e = g.make("Rectangle", {Value(1), Value(2), Value(w), Value(h)});
        QCOMPARE(g.call(e, "isEmpty").asBoolean(), empty);
    }
    // Only a rectangle equals a rectangle.
    QCOMPARE(g.call(r, "equals", {g.with({{"x", 1}, {"y", 3}, {"width", 5}, {"height", 7}})})
                 .asBoolean(),
             false);
    QCOMPARE(g.call(r, "equals", {g.call(r, "clone")}).asBoolean(), true);
}

void GeometryClassesTest::rectangleIntersectionAndUnion()
{
    Geom g;
    Value r = g.make("Rectangle", {Value(1), Value(3), Value(5), Value(7)});
    auto rect = [&](double x, double y, double w, double h) {
        return g.make("Rectangle", {Value(x), Value(y), Value(w), Value(h)});
    };
    QCOMPARE(g.text(g.call(r, "intersection", {rect(-1, -3, 5, 7)})),
             QString("(x=1, y=3, w=3, h=1)"));
    QCOMPARE(g.text(g.call(r, "intersection", {rect(30, 50, 1, 1)})),
             QString("(x=0, y=0, w=0, h=0)"));
    QCOMPARE(g.call(r, "intersects", {Value()}).asBoolean(), false);
    QCOMPARE(g.text(g.call(r, "union", {rect(3, 5, 7, 9)})), QString("(x=1, y=3, w=9, h=11)"));
    // A side that is no number makes the union's no number either.
    QCOMPARE(g.text(g.call(r, "union", {g.with({{"x", 3}, {"y", 5}, {"width", 2}})})),
             QString("(x=1, y=3, w=5, h=NaN)"));
    g.call(r, "inflate", {Value(kInfinity), Value(5)});
    QCOMPARE(g.text(r), QString("(x=-Infinity, y=-2, w=Infinity, h=17)"));
    g.call(r, "setEmpty");
    QCOMPARE(g.text(r), QString("(x=0, y=0, w=0, h=0)"));
    g.call(r, "offsetPoint", {g.with({{"x", 5}})});
    QCOMPARE(g.text(r), QString("(x=5, y=NaN, w=0, h=0)"));
}

void GeometryClassesTest::matrixOperations()
{
    Geom g;
    QCOMPARE(g.text(g.make("Matrix")), QString("(a=1, b=0, c=0, d=1, tx=0, ty=0)"));
    QCOMPARE(g.text(g.make("Matrix", {Value(8)})),
             QString("(a=8, b=undefined, c=undefined, d=undefined, tx=undefined, ty=undefined)"));

    Value m = g.make("Matrix", {Value(1), Value(2), Value(3), Value(4), Value(5), Value(6)});
    g.call(m, "scale", {Value(2), Value(-1)});
    QCOMPARE(g.text(m), QString("(a=2, b=-2, c=6, d=-4, tx=10, ty=-6)"));
    g.call(m, "translate", {Value(1), Value(1)});
    QCOMPARE(g.text(m), QString("(a=2, b=-2, c=6, d=-4, tx=11, ty=-5)"));

    // Inverting and concatenating give back the identity.
    Value inverse = g.call(m, "clone");
    g.call(inverse, "invert");
    g.call(m, "concat", {inverse});
    QCOMPARE(g.text(m), QString("(a=1, b=0, c=0, d=1, tx=0, ty=0)"));
    // A matrix that flattens the plane has no inverse: it becomes the identity.
    Value flat = g.make("Matrix", {Value(1), Value(2), Value(2), Value(4), Value(3), Value(3)});
    g.call(flat, "invert");
    QCOMPARE(g.text(flat), QString("(a=1, b=0, c=0, d=1, tx=0, ty=0)"));

    Value box = g.make("Matrix");
    g.call(box, "createBox", {Value(6), Value(8), Value(0), Value(300), Value(400)});
    QCOMPARE(g.text(box), QString("(a=6, b=0, c=0, d=8, tx=300, ty=400)"));
    Value gradient = g.make("Matrix");
    g.call(gradient, "createGradientBox", {Value(1638.4), Value(819.2)});
    QCOMPARE(g.text(gradient), QString("(a=1, b=0, c=0, d=0.5, tx=819.2, ty=409.6)"));

    // The translation is kept as given; the gradient box adds half its size with +.
    g.call(box, "createBox", {Value(1), Value(1), Value(0), g.str("left")});
    QCOMPARE(g.text(box), QString("(a=1, b=0, c=0, d=1, tx=left, ty=0)"));
    g.call(gradient, "createGradientBox", {Value(40), Value(49), Value(0), g.str("x"), Value()});
    QCOMPARE(g.text(g.get(gradient, "tx")), QString("x20"));
    QVERIFY(std::isnan(g.get(gradient, "ty").asNumber()));
    g.call(box, "createBox", {Value(6), Value(8), Value(0), Value(300), Value(400)});

    // Rotations and scales change only matrices; translations any object of that shape.
    Value fake = g.with({{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1}, {"tx", 5}, {"ty", 5}});
    avm1::Object* proto = g.get(g.cls("Matrix"), "prototype").asObject();
    for (const char* method : {"rotate", "scale"})
        g.vm().call(g.get(Value(proto), method), fake, std::vector<Value>{Value(2), Value(2)});
    g.vm().call(g.get(Value(proto), "translate"), fake, std::vector<Value>{Value(200), Value(400)});
    QCOMPARE(g.text(g.vm().call(g.get(Value(proto), "toString"), fake, std::vector<Value>{})),
             QString("(a=1, b=1, c=1, d=1, tx=205, ty=405)"));

    Value point = g.call(box, "transformPoint", {g.with({{"x", 1}, {"y", 1}})});
    QCOMPARE(g.text(point), QString("(x=306, y=408)"));
    QVERIFY(avm1::Value(g.get(point, "length")).isNumber());
    QCOMPARE(g.text(g.call(box, "deltaTransformPoint", {g.with({{"x", 1}, {"y", 1}})})),
             QString("(x=6, y=8)"));
}

QTEST_GUILESS_MAIN(GeometryClassesTest)
#include "GeometryClassesTest.moc"
