// The objects that describe the player and act on clips: System, $version, Color,
// flash.geom.Transform and MovieClip's transform, ContextMenu, Camera, Microphone and
// TextSnapshot. Clip cases play a movie made here and check what the calls did to its
// display objects.
#include "avm1/ClipObject.h"
#include "avm1/Engine.h"
#include "avm1/Interpreter.h"
#include "format/Movie.h"
#include "runtime/DisplayObject.h"
#include "runtime/MoviePlayer.h"
#include "swfwriter/FontWriter.h"
#include "swfwriter/ShapeWriter.h"
#include "swfwriter/TextWriter.h"

#include <QtTest>
#include <memory>

using avm1::Value;
using namespace swfwriter;

namespace {

class QuietHost : public runtime::Host {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view, std::size_t) override
    {
        return swf::makeError(swf::ErrorCode::CannotOpen, "no files");
    }
    std::vector<std::string> lines;
};

constexpr std::uint16_t kSquare = 1; // 20 by 20 pixels from the origin
constexpr std::uint16_t kBox = 2;    // the square
constexpr std::uint16_t kFont = 3;   // glyphs "A" and "B"
constexpr std::uint16_t kText = 4;   // "ABBA"
constexpr std::uint16_t kHolder = 5; // a box named "inner" at (10, 0), and the text

struct MovieOptions {
    int version = 8;
    bool useNetwork = false;
};

// A movie with a box named "box" at (40, 60), tinted, and a holder named "holder"
// scaled twice; played for its first frame. Calls go through the VM as scripts'.
class Stage {
public:
    explicit Stage(const MovieOptions& options = {})
    {
        MovieWriter movie(options.version);
        if (options.version >= 8)
            movie.fileAttributes(false, options.useNetwork);
        ShapeWriter square;
        square.fill1(square.addFill(FillStyle::solid({255, 0, 0, 255}))).rect(0, 0, 400, 400);
        movie.add(square.tagCode(), square.body(kSquare));
        TagList box;
        Place face;
        face.characterId = kSquare;
        box.place2(face);
        box.showFrame();
        movie.defineSprite(kBox, box);

        FontWriter font(2);
        for (std::uint16_t code : {u'A', u'B'}) {
            ShapeWriter glyph;
            glyph.fill1(1).rect(0, 0, 100, 100);
            font.addGlyph(glyph, code, 100);
        }
        movie.add(font.tagCode(), font.body(kFont));
        TextWriter text;
        TextRecordFields run;
        run.fontId = kFont;
        run.color = Color{0, 0, 0, 255};
        run.glyphs = {{0, 100}, {1, 100}, {1, 100}, {0, 100}};
        text.setBounds({0, 400, 0, 240}).addRecord(run);
        movie.add(text.tagCode(), text.body(kText));

        TagList holder;
        Place inner;
        inner.characterId = kBox;
        inner.name = "inner";
        inner.matrix = Matrix::translate(200, 0);
        holder.place2(inner);
        Place words;
        words.depth = 2;
        words.characterId = kText;
        holder.place2(words);
        holder.showFrame();
        movie.defineSprite(kHolder, holder);

        Place boxPlace;
        boxPlace.characterId = kBox;
        boxPlace.name = "box";
        boxPlace.matrix = Matrix::translate(800, 1200);
        ColorTransform tint;
        tint.rMul = 192;
        tint.rAdd = 255;
        tint.gAdd = 128;
        tint.bAdd = 64;
        tint.aAdd = -64;
        boxPlace.colorTransform = tint;
        movie.place2(boxPlace);
        Place holderPlace;
        holderPlace.depth = 2;
        holderPlace.characterId = kHolder;
        holderPlace.name = "holder";
        Matrix scaled;
        scaled.a = scaled.d = 2;
        holderPlace.matrix = scaled;
        movie.place2(holderPlace);
        movie.showFrame();

        auto loaded = swf::loadMovie(movie.bytes());
        if (!loaded)
            qFatal("movie did not load");
        m_player = std::make_unique<runtime::MoviePlayer>(*loaded, m_host);
        m_engine = std::make_unique<avm1::Engine>(*m_player, m_host);
        m_player->runActions();
    }

    avm1::Vm& vm() { return m_engine->vm(); }
    Value root() { return Value(vm().interpreter().rootClip()); }
    Value global() { return Value(vm().global()); }
    Value get(Value target, std::string_view name)
    {
        return vm().getMember(target, vm().str(name));
    }
    void set(Value target, std::string_view name, Value value)
    {
        vm().setMember(target, vm().str(name), value);
    }
    Value call(Value target, std::string_view method, const std::vector<Value>& args = {})
    {
        return vm().callMethod(target, vm().str(method), args);
    }
    Value make(Value ctor, const std::vector<Value>& args = {})
    {
        return vm().construct(ctor, args);
    }
    Value geom(std::string_view name) { return get(get(get(global(), "flash"), "geom"), name); }
    Value clip(std::string_view name) { return get(root(), name); }
    runtime::DisplayObject& display(Value clipValue)
    {
        auto* clip = avm1::asClip(clipValue.objectOrNull());
        if (!clip || !clip->displayObject())
            qFatal("no such clip");
        return *clip->displayObject();
    }
    Value str(std::string_view text) { return Value(vm().str(text)); }
    Value object() { return Value(vm().makeObject()); }
    QString text(Value v) { return QString::fromStdString(vm().toStdString(v)); }
    QString transformText(Value t)
    {
        QStringList parts;
        for (const char* name : {"ra", "ga", "ba", "aa", "rb", "gb", "bb", "ab"})
            parts << text(get(t, name));
        return parts.join(' ');
    }

    runtime::MoviePlayer& player() { return *m_player; }

private:
    QuietHost m_host;
    std::unique_ptr<runtime::MoviePlayer> m_player;
    std::unique_ptr<avm1::Engine> m_engine;
};

// What the menu handlers heard: the name they were made for, and their arguments.
QStringList s_heard;

avm1::Value recordCall(avm1::Vm& vm, const avm1::CallArgs& call)
{
    QStringList args;
    for (std::size_t i = 0; i < call.count(); ++i)
        args << QString::fromStdString(vm.toStdString(call.arg(i)));
    s_heard << args.join(' ');
    return Value();
}

} // namespace

class PlayerObjectsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void capabilitiesAndVersion();
    void systemSettingsByVersion();
    void securityCalls();
    void colorReadsAndTintsClips();
    void colorWrapsOutOfRangeValues();
    void colorTargetsByPath();
    void transformOfAClip();
    void clipTransformProperty();
    void contextMenuAndItems();
    void contextMenuShapesThePlayersMenu();
    void captureDevicesAbsent();
    void textSnapshotOfStaticText();
};

void PlayerObjectsTest::capabilitiesAndVersion()
{
    Stage s;
    Value caps = s.get(s.get(s.global(), "System"), "capabilities");
    const QString version = s.text(s.get(caps, "version"));
    QVERIFY2(QRegularExpression("^[A-Z]{3} \\d+,\\d+,\\d+,\\d+$").match(version).hasMatch(),
             qPrintable(version));
    // $version belongs to the main timeline, not to _global or to MovieClip.prototype.
    QCOMPARE(s.text(s.get(s.root(), "$version")), version);
    QVERIFY(s.get(s.global(), "$version").isUndefined());
    QVERIFY(s.get(s.clip("box"), "$version").isUndefined());

    for (const char* name : {"hasAudio", "hasMP3", "isDebugger", "avHardwareDisable", "hasTLS"})
        QVERIFY2(s.get(caps, name).isBoolean(), name);
    for (const char* name : {"screenResolutionX", "screenDPI", "pixelAspectRatio"})
        QVERIFY2(s.get(caps, name).isNumber(), name);
    for (const char* name : {"os", "manufacturer", "playerType", "language", "screenColor"})
        QVERIFY2(s.get(caps, name).isString(), name);
    // The server string repeats the values, URL-escaped.
    const QString server = s.text(s.get(caps, "serverString"));
    QVERIFY(server.startsWith("A=t&"));
    QVERIFY2(server.contains("&V=" + QString(version).replace(" ", "%20").replace(",", "%2C")),
             qPrintable(server));
    QVERIFY(server.contains("&DEB=f&"));
}

void PlayerObjectsTest::systemSettingsByVersion()
{
    Stage swf6({6});
    Value system6 = swf6.get(swf6.global(), "System");
    QCOMPARE(swf6.get(system6, "exactSettings").asBoolean(), false);
    swf6.set(system6, "exactSettings", Value(true));
    QCOMPARE(swf6.get(system6, "exactSettings").asBoolean(), true);
    Stage swf7({7});
    QCOMPARE(swf7.get(swf7.get(swf7.global(), "System"), "exactSettings").asBoolean(), true);
    Stage swf5({5});
    QVERIFY(swf5.get(swf5.get(swf5.global(), "System"), "exactSettings").isUndefined());

    Value system = swf7.get(swf7.global(), "System");
    QCOMPARE(swf7.get(system, "useCodepage").asBoolean(), false);
    swf7.set(system, "useCodepage", Value(true));
    QCOMPARE(swf7.get(system, "useCodepage").asBoolean(), true);
    // System is no class: new System() gives nothing.
    QVERIFY(swf7.make(system).isUndefined());
    Value product = swf7.make(swf7.get(system, "Product"), {swf7.str("name")});
    QCOMPARE(swf7.call(product, "launch").asBoolean(), false);
}

void PlayerObjectsTest::securityCalls()
{
    Stage s;
    Value security = s.get(s.get(s.global(), "System"), "security");
    QCOMPARE(s.call(security, "allowDomain").asBoolean(), false);
    QCOMPARE(s.call(security, "allowDomain", {Value()}).asBoolean(), true);
    QCOMPARE(s.call(security, "allowInsecureDomain", {s.str("x.org")}).asBoolean(), true);
    QCOMPARE(s.text(s.get(security, "sandboxType")), QString("localWithFile"));
    Stage networked({8, true});
    Value security2 = networked.get(networked.get(networked.global(), "System"), "security");
    QCOMPARE(networked.text(networked.get(security2, "sandboxType")), QString("localWithNetwork"));
}

void PlayerObjectsTest::colorReadsAndTintsClips()
{
    Stage s;
    Value box = s.clip("box");
    Value color = s.make(s.get(s.global(), "Color"), {box});
    QCOMPARE(s.transformText(s.call(color, "getTransform")),
             QString("75 100 100 100 255 128 64 -64"));
    QCOMPARE(s.call(color, "getRGB").asNumber(), double(0xFF8040));

    // Only the fields given change.
    Value change = s.object();
    s.set(change, "ba", Value(32));
    s.set(change, "gb", Value(-25));
    s.call(color, "setTransform", {change});
    const swf::ColorTransform& t = s.display(box).colorTransform();
    QCOMPARE(t.bMul, std::int16_t(81)); // 32% truncated into 8.8
    QCOMPARE(t.gAdd, std::int16_t(-25));
    QCOMPARE(t.rMul, std::int16_t(192));
    QVERIFY(s.display(box).isScriptTransformed());
    // Negative offsets reach into the channels above.
    QCOMPARE(s.call(color, "getRGB").asNumber(), -6336.0);

    s.call(color, "setRGB", {Value(0x336699)});
    QCOMPARE(s.transformText(s.call(color, "getTransform")), QString("0 0 0 100 51 102 153 -64"));
    // Inherited fields are not the transform's.
    Value inherited = s.object();
    inherited.asObject()->setPrototype(change.asObject());
    s.call(color, "setTransform", {inherited});
    QCOMPARE(s.display(box).colorTransform().gAdd, std::int16_t(102));
}

void PlayerObjectsTest::colorWrapsOutOfRangeValues()
{
    Stage s;
    Value box = s.clip("box");
    Value color = s.make(s.get(s.global(), "Color"), {box});
    Value change = s.object();
    s.set(change, "ra", Value(12800));
    s.set(change, "ga", Value(-99999));
    s.set(change, "rb", Value(65546));
    s.set(change, "bb", s.str("0x10"));
    s.set(change, "aa", Value(std::numeric_limits<double>::quiet_NaN()));
    s.call(color, "setTransform", {change});
    QCOMPARE(s.transformText(s.call(color, "getTransform")),
             QString("-12800 2401.171875 100 0 10 128 16 -64"));
    QCOMPARE(s.get(box, "_alpha").asNumber(), 0.0);
}

void PlayerObjectsTest::colorTargetsByPath()
{
    Stage s;
    Value colorClass = s.get(s.global(), "Color");
    // A path is looked up again at each call; one that names nothing gives undefined.
    Value byPath = s.make(colorClass, {s.str("holder.inner")});
    s.call(byPath, "setRGB", {Value(0x010203)});
    Value inner = s.get(s.clip("holder"), "inner");
    QCOMPARE(s.display(inner).colorTransform().bAdd, std::int16_t(3));
    for (Value target : {Value(), s.str(""), s.str("nowhere"), Value(4)}) {
        Value none = s.make(colorClass, {target});
        QVERIFY(s.call(none, "getRGB").isUndefined());
        QVERIFY(s.call(none, "getTransform").isUndefined());
    }
    // The target is the object's own "target", which scripts may change.
    Value moved = s.make(colorClass, {s.str("nowhere")});
    s.set(moved, "target", s.clip("box"));
    QCOMPARE(s.call(moved, "getRGB").asNumber(), double(0xFF8040));
}

void PlayerObjectsTest::transformOfAClip()
{
    Stage s;
    Value inner = s.get(s.clip("holder"), "inner");
    Value transform = s.make(s.geom("Transform"), {inner});
    QCOMPARE(s.text(s.get(transform, "matrix")), QString("(a=1, b=0, c=0, d=1, tx=10, ty=0)"));
    QCOMPARE(s.text(s.get(transform, "concatenatedMatrix")),
             QString("(a=2, b=0, c=0, d=2, tx=20, ty=0)"));
    Value bounds = s.get(transform, "pixelBounds");
    QCOMPARE(s.text(s.call(bounds, "toString")), QString("(x=20, y=0, w=40, h=40)"));

    Value matrix =
        s.make(s.geom("Matrix"), {Value(1), Value(0), Value(0), Value(3), Value(1.5), Value(-2)});
    s.set(transform, "matrix", matrix);
    const swf::Matrix& m = s.display(inner).matrix();
    QCOMPARE(m.d, 3.0);
    QCOMPARE(m.tx, 30.0); // twips
    QCOMPARE(m.ty, -40.0);

    Value ct = s.make(s.geom("ColorTransform"), {Value(0.5), Value(1), Value(1), Value(1),
                                                 Value(10), Value(0), Value(0), Value(0)});
    s.set(transform, "colorTransform", ct);
    QCOMPARE(s.display(inner).colorTransform().rMul, std::int16_t(128));
    QCOMPARE(s.display(inner).colorTransform().rAdd, std::int16_t(10));
    // What comes back is a copy: changing it changes nothing on the clip.
    Value copy = s.get(transform, "colorTransform");
    QCOMPARE(s.get(copy, "redMultiplier").asNumber(), 0.5);
    s.set(copy, "redOffset", Value(99));
    QCOMPARE(s.display(inner).colorTransform().rAdd, std::int16_t(10));
    QCOMPARE(s.text(s.get(
                 s.get(s.make(s.geom("Transform"), {s.clip("box")}), "concatenatedColorTransform"),
                 "redOffset")),
             QString("255"));
    // Made for no clip, it answers nothing.
    QVERIFY(s.get(s.make(s.geom("Transform"), {s.object()}), "matrix").isUndefined());
}

void PlayerObjectsTest::clipTransformProperty()
{
    Stage s;
    Value box = s.clip("box");
    Value transform = s.get(box, "transform");
    QCOMPARE(s.get(s.get(transform, "matrix"), "tx").asNumber(), 40.0);
    // A subclass instance of ColorTransform is a ColorTransform for the clip too.
    Value ct = s.object();
    ct.asObject()->setPrototype(s.get(s.geom("ColorTransform"), "prototype").asObject());
    s.vm().call(s.geom("ColorTransform"), ct, std::vector<Value>{});
    s.set(ct, "redOffset", Value(100));
    s.set(s.get(box, "transform"), "colorTransform", ct);
    QCOMPARE(s.display(box).colorTransform().rAdd, std::int16_t(100));
    // Assigning a clip's Transform copies that clip's matrix and colours.
    Value inner = s.get(s.clip("holder"), "inner");
    s.set(inner, "transform", s.get(box, "transform"));
    QCOMPARE(s.display(inner).matrix().tx, 800.0);
    QCOMPARE(s.display(inner).colorTransform().rAdd, std::int16_t(100));

    Stage swf7({7});
    QVERIFY(swf7.get(swf7.clip("box"), "transform").isUndefined());
}

void PlayerObjectsTest::contextMenuAndItems()
{
    Stage s;
    Value handler = s.object();
    Value menu = s.make(s.get(s.global(), "ContextMenu"), {handler});
    // for..in visits the names last set first: customItems, builtInItems, onSelect.
    auto setOrder = [&](Value object) {
        QStringList keys;
        for (avm1::String* key : s.vm().enumerableKeys(object.asObject()))
            keys << QString::fromStdString(key->text());
        return keys.join(',');
    };
    QCOMPARE(setOrder(menu), QString("onSelect,builtInItems,customItems"));
    Value flags = s.get(menu, "builtInItems");
    QCOMPARE(setOrder(flags), QString("print,forward_back,rewind,loop,play,quality,zoom,save"));

    Value item = s.make(s.get(s.global(), "ContextMenuItem"), {s.str("Go"), handler});
    QCOMPARE(s.get(item, "enabled").asBoolean(), true);
    QCOMPARE(s.get(item, "separatorBefore").asBoolean(), false);
    s.call(s.get(menu, "customItems"), "push", {item});
    s.call(s.get(menu, "customItems"), "push", {s.str("not an item")});

    Value copy = s.call(menu, "copy");
    QVERIFY(copy.isObject() && copy.asObject() != menu.asObject());
    // The copy shares the flags and copies each item through the item's copy().
    QCOMPARE(s.get(copy, "builtInItems").asObject(), flags.asObject());
    Value items = s.get(copy, "customItems");
    QCOMPARE(s.get(items, "length").asNumber(), 2.0);
    Value itemCopy = s.get(items, "0");
    QVERIFY(itemCopy.asObject() != item.asObject());
    QCOMPARE(s.text(s.get(itemCopy, "caption")), QString("Go"));
    QVERIFY(s.get(items, "1").isUndefined());
    QCOMPARE(s.get(copy, "onSelect").asObject(), handler.asObject());

    s.call(menu, "hideBuiltInItems");
    QCOMPARE(s.get(flags, "print").asBoolean(), false);
    // On an object with no flags yet, hiding makes them.
    Value bare = s.object();
    s.vm().call(s.get(s.get(s.get(s.global(), "ContextMenu"), "prototype"), "hideBuiltInItems"),
                bare, std::vector<Value>{});
    QCOMPARE(s.get(s.get(bare, "builtInItems"), "save").asBoolean(), false);
}

void PlayerObjectsTest::contextMenuShapesThePlayersMenu()
{
    Stage s;
    s_heard.clear();
    // Without a menu of the movie's, the player's items all stay.
    runtime::ContextMenuModel plain = s.player().openContextMenu(0, 0);
    QVERIFY(plain.playerItems && plain.play && plain.zoom && plain.items.empty());

    const Value handler(s.vm().makeNative(recordCall));
    Value menu = s.make(s.get(s.global(), "ContextMenu"), {handler});
    s.set(s.get(menu, "builtInItems"), "play", Value(false));
    Value items = s.get(menu, "customItems");
    s.call(items, "push", {s.make(s.get(s.global(), "ContextMenuItem"), {s.str("Go"), handler})});
    Value hidden = s.make(s.get(s.global(), "ContextMenuItem"), {s.str("Hidden"), handler});
    s.set(hidden, "visible", Value(false));
    s.call(items, "push", {hidden});
    Value off = s.make(s.get(s.global(), "ContextMenuItem"),
                       {s.str("Off"), handler, Value(true), Value(false)});
    s.call(items, "push", {off});
    s.set(s.clip("box"), "menu", menu);

    // Over the box its menu applies: onSelect hears the box and the menu first.
    const runtime::ContextMenuModel overBox = s.player().openContextMenu(900, 1300);
    QCOMPARE(s_heard.size(), 1);
    QCOMPARE(s_heard[0], QString("_level0.box [object Object]"));
    QVERIFY(!overBox.play && overBox.loop && overBox.zoom);
    QCOMPARE(overBox.items.size(), std::size_t(2)); // the invisible one left out
    QCOMPARE(QString::fromStdString(overBox.items[0].caption), QString("Go"));
    QVERIFY(overBox.items[0].enabled && !overBox.items[0].separatorBefore);
    QVERIFY(!overBox.items[1].enabled && overBox.items[1].separatorBefore);
    s.player().chooseContextMenuItem(0);
    QCOMPARE(s_heard.size(), 2);
    QVERIFY(s_heard[1].startsWith("_level0.box Go") ||
            s_heard[1].startsWith("_level0.box [object Object]"));
    // Past the end nothing runs.
    s.player().chooseContextMenuItem(7);
    QCOMPARE(s_heard.size(), 2);

    // Elsewhere the root has no menu: the player's own; Stage.showMenu hides them.
    const runtime::ContextMenuModel elsewhere = s.player().openContextMenu(9000, 7000);
    QVERIFY(elsewhere.play && elsewhere.items.empty());
    s.set(s.get(s.global(), "Stage"), "showMenu", Value(false));
    QVERIFY(!s.player().openContextMenu(9000, 7000).playerItems);
}

void PlayerObjectsTest::captureDevicesAbsent()
{
    Stage s;
    for (const char* name : {"Camera", "Microphone"}) {
        Value device = s.get(s.global(), name);
        QVERIFY2(device.isObject() && device.asObject()->isFunction(), name);
        QVERIFY2(s.call(device, "get").isNull(), name);
        QCOMPARE(s.get(s.get(device, "names"), "length").asNumber(), 0.0);
    }
    Value cameraProto = s.get(s.get(s.global(), "Camera"), "prototype");
    QVERIFY(s.get(cameraProto, "setMode").isObject());
    QVERIFY(s.get(s.get(s.get(s.global(), "Microphone"), "prototype"), "setGain").isObject());
}

void PlayerObjectsTest::textSnapshotOfStaticText()
{
    Stage s;
    Value snapshot = s.call(s.clip("holder"), "getTextSnapshot");
    QCOMPARE(s.call(snapshot, "getCount").asNumber(), 4.0);
    QVERIFY(s.call(snapshot, "getCount", {Value(0)}).isUndefined());
    QCOMPARE(s.text(s.call(snapshot, "getText", {Value(1), Value(3)})), QString("BB"));
    // At least the character at the start, which stays inside the text.
    QCOMPARE(s.text(s.call(snapshot, "getText", {Value(100), Value(1)})), QString("A"));
    QVERIFY(s.call(snapshot, "getText", {Value(1)}).isUndefined());
    QCOMPARE(s.call(snapshot, "findText", {Value(0), s.str("ba"), Value(false)}).asNumber(), 2.0);
    QCOMPARE(s.call(snapshot, "findText", {Value(0), s.str("ba"), Value(true)}).asNumber(), -1.0);
    QCOMPARE(s.call(snapshot, "findText", {Value(3), s.str("A"), Value(true)}).asNumber(), 3.0);
    QCOMPARE(s.call(snapshot, "findText", {Value(0), s.str("bba"), Value(false)}).asNumber(), 1.0);
    QCOMPARE(s.call(snapshot, "findText", {Value(1), s.str("ab"), Value(false)}).asNumber(), -1.0);
    QCOMPARE(s.call(snapshot, "findText", {Value(-1), s.str("A"), Value(true)}).asNumber(), -1.0);
    QVERIFY(s.call(snapshot, "findText", {Value(0), s.str("A")}).isUndefined());
    QCOMPARE(s.call(snapshot, "getSelected", {Value(0), Value(1)}).asBoolean(), false);
    // Scripts select characters [start, end), at least the one at start.
    QVERIFY(s.call(snapshot, "setSelected", {Value(1), Value(3), Value(true)}).isUndefined());
    QCOMPARE(s.call(snapshot, "getSelected", {Value(0), Value(1)}).asBoolean(), false);
    QCOMPARE(s.call(snapshot, "getSelected", {Value(0), Value(2)}).asBoolean(), true);
    QCOMPARE(s.call(snapshot, "getSelected", {Value(3), Value(-5)}).asBoolean(), false);
    QCOMPARE(s.text(s.call(snapshot, "getSelectedText", {Value(false)})), QString("BB"));
    s.call(snapshot, "setSelected", {Value(2), Value(0), Value(false)});
    s.call(snapshot, "setSelected", {Value(0), Value(4)}); // too few arguments: nothing
    QCOMPARE(s.text(s.call(snapshot, "getSelectedText")), QString("B"));
    QVERIFY(s.call(snapshot, "getSelectedText", {Value(1), Value(2)}).isUndefined());
    s.call(snapshot, "setSelected", {Value(-3), Value(99), Value(1)});
    QCOMPARE(s.text(s.call(snapshot, "getSelectedText", {Value(false)})), QString("ABBA"));
    // Only a snapshot of one clip has text.
    Value none = s.make(s.get(s.global(), "TextSnapshot"), {s.clip("holder"), Value(1)});
    QVERIFY(s.call(none, "getCount").isUndefined());
    QCOMPARE(s.call(s.call(s.clip("box"), "getTextSnapshot"), "getCount").asNumber(), 0.0);
}

QTEST_GUILESS_MAIN(PlayerObjectsTest)
#include "PlayerObjectsTest.moc"
