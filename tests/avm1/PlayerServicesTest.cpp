// The classes through which movies ask the player for what lies outside a movie:
// LocalConnection between the movies of one player, SharedObject kept for the run, the
// AMF form both copy values through, ExternalInterface without a page, XMLSocket's
// timeout and documents, PrintJob without a printer, and Button.
// Called through a VM as scripts call them.
#include "ScriptRun.h"
#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"
#include "avm1/builtins/AmfBridge.h"
#include "avm1/builtins/DeferredEvents.h"
#include "avm1/builtins/LocalConnectionClass.h"
#include "avm1/builtins/XmlNode.h"

#include <QtTest>

using avm1::Value;
using namespace swfwriter;

namespace {

class Host : public avm1::ScriptHost {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// What the natives the tests install saw, in order.
std::vector<std::string>& seen()
{
    static std::vector<std::string> log;
    return log;
}

// Records "name: arguments" with the function's data as the name.
Value record(avm1::Vm& vm, const avm1::CallArgs& call)
{
    auto* self = static_cast<avm1::NativeFunction*>(call.callee);
    std::string line = vm.toString(self->data())->text();
    line.push_back(':');
    for (const Value& v : call.args) {
        line.push_back(' ');
        line.append(vm.toString(v)->view());
    }
    seen().push_back(line);
    return Value();
}

// Records the level of an onStatus info object.
Value recordStatus(avm1::Vm& vm, const avm1::CallArgs& call)
{
    seen().push_back("status " + vm.toStdString(vm.getMember(call.arg(0), vm.str("level"))));
    return Value();
}

Value throws(avm1::Vm& vm, const avm1::CallArgs&)
{
    vm.throwValue(vm.strValue("oops"));
    return Value();
}

class Script {
public:
    explicit Script(int version = 8) : m_vm(version, &host) { seen().clear(); }

    avm1::Vm& vm() { return m_vm; }
    Value str(std::string_view text) { return Value(m_vm.str(text)); }
    Value global(std::string_view dotted)
    {
        Value at(m_vm.global());
        std::string_view rest = dotted;
        while (!rest.empty()) {
            const std::size_t dot = rest.find('.');
            at = m_vm.getMember(at, m_vm.str(rest.substr(0, dot)));
            rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
        }
        return at;
    }
    Value get(Value target, std::string_view name)
    {
        return m_vm.getMember(target, m_vm.str(name));
    }
    void set(Value target, std::string_view name, Value value)
    {
        m_vm.setMember(target, m_vm.str(name), value);
    }
    Value call(Value target, std::string_view method, const std::vector<Value>& args = {})
    {
        return m_vm.callMethod(target, m_vm.str(method), args);
    }
    Value construct(std::string_view name, const std::vector<Value>& args = {})
    {
        return m_vm.construct(global(name), args);
    }
    Value object() { return Value(m_vm.makeObject()); }
    Value array(const std::vector<Value>& values) { return Value(m_vm.makeArray(values)); }
    // A native that records its calls under `name`.
    Value recorder(std::string_view name)
    {
        avm1::NativeFunction* f = m_vm.makeNative(record);
        f->setData(str(name));
        return Value(f);
    }
    QString text(Value v) { return QString::fromStdString(m_vm.toStdString(v)); }
    // typeof and text, for comparisons that tell true from "true".
    QString typed(Value v)
    {
        return QString::fromStdString(m_vm.typeOf(v)->text() + ":" + m_vm.toStdString(v));
    }

    Host host;

private:
    avm1::Vm m_vm;
};

QString seenJoined()
{
    QStringList out;
    for (const std::string& line : seen())
        out << QString::fromStdString(line);
    return out.join('|');
}

} // namespace

class PlayerServicesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void localConnectionNames();
    void localConnectionDelivery();
    void localConnectionCopiesArguments();
    void amfEncodesAsTheFileFormat();
    void amfTypedObjectsKeepTheirClass();
    void amfSourcesDecideXmlAndClasses();
    void sharedObjectsLastTheRun();
    void externalInterfaceHelpers_data();
    void externalInterfaceHelpers();
    void externalInterfaceWithoutAPage();
    void socketsAndPrinting();
    void buttonClass();
    void textRendererSettings();
};

void PlayerServicesTest::localConnectionNames()
{
    Script s;
    const Value a = s.construct("LocalConnection");
    const Value b = s.construct("LocalConnection");
    QCOMPARE(s.typed(s.call(a, "connect", {s.str("channel")})), QStringLiteral("boolean:true"));
    // Held names, a second name for a connected object, and names with a domain of
    // their own are refused.
    QCOMPARE(s.typed(s.call(b, "connect", {s.str("CHANNEL")})), QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(a, "connect", {s.str("other")})), QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(b, "connect", {s.str("localhost:x")})),
             QStringLiteral("boolean:false"));
    for (const Value& bad : {Value::null(), Value(0), s.str("")})
        QCOMPARE(s.typed(s.call(b, "connect", {bad})), QStringLiteral("boolean:false"));
    s.call(a, "close");
    QCOMPARE(s.typed(s.call(b, "connect", {s.str("channel")})), QStringLiteral("boolean:true"));
    QCOMPARE(s.text(s.call(b, "domain")), QStringLiteral("localhost"));
    // Sending needs a name and a method that is not the connection's own.
    QCOMPARE(s.typed(s.call(a, "send", {s.str(""), s.str("m")})), QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(a, "send", {s.str("channel"), Value(0)})),
             QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(a, "send", {s.str("channel"), s.str("Connect")})),
             QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(a, "send", {s.str("channel"), s.str("ONSTATUS")})),
             QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(a, "send", {s.str("nowhere"), s.str("m")})),
             QStringLiteral("boolean:true"));
}

// Messages wait for the step's end; the sender hears whether someone held the name
// when it sent and still holds it, then the holder's method runs. A receiver's throw
// goes nowhere.
void PlayerServicesTest::localConnectionDelivery()
{
    Script s;
    const Value receiver = s.construct("LocalConnection");
    const Value other = s.construct("LocalConnection");
    const Value sender = s.construct("LocalConnection");
    s.set(sender, "onStatus", Value(s.vm().makeNative(recordStatus)));
    s.set(receiver, "test", s.recorder("receiver.test"));
    s.set(other, "test", s.recorder("other.test"));
    s.set(receiver, "fails", Value(s.vm().makeNative(throws)));
    s.call(receiver, "connect", {s.str("channel")});

    s.call(sender, "send", {s.str("channel"), s.str("test"), Value(1)});
    s.call(sender, "send", {s.str("LOCALHOST:Channel"), s.str("fails")});
    s.call(sender, "send", {s.str("late"), s.str("test")});
    s.call(other, "connect", {s.str("late")});
    QCOMPARE(seenJoined(), QString());
    avm1::deliverLocalConnectionMessages(s.vm());
    QCOMPARE(seenJoined(),
             QStringLiteral("status status|receiver.test: 1|status status|status error"));
    QVERIFY(s.host.lines.empty());

    // The name changes hands before delivery: the new holder receives.
    seen().clear();
    s.call(sender, "send", {s.str("channel"), s.str("test")});
    s.call(receiver, "close");
    s.call(other, "close");
    s.call(other, "connect", {s.str("channel")});
    avm1::deliverLocalConnectionMessages(s.vm());
    QCOMPARE(seenJoined(), QStringLiteral("status status|other.test:"));
}

void PlayerServicesTest::localConnectionCopiesArguments()
{
    Script s;
    const Value receiver = s.construct("LocalConnection");
    s.call(receiver, "connect", {s.str("_copy")});
    Value received;
    const Value sent = s.object();
    s.set(sent, "n", Value(3));
    s.set(sent, "list", s.array({Value(1), s.str("two")}));
    s.call(s.construct("LocalConnection"), "send", {s.str("_copy"), s.str("take"), sent});
    // A native that keeps its argument.
    struct Keep {
        static Value fn(avm1::Vm& vm, const avm1::CallArgs& call)
        {
            vm.global()->defineValue(vm, "kept", call.arg(0));
            return Value();
        }
    };
    s.set(receiver, "take", Value(s.vm().makeNative(Keep::fn)));
    avm1::deliverLocalConnectionMessages(s.vm());
    received = s.global("kept");
    QVERIFY(received.isObject());
    QVERIFY(received.asObject() != sent.asObject());
    QCOMPARE(s.typed(s.get(received, "n")), QStringLiteral("number:3"));
    QCOMPARE(s.text(s.get(received, "list")), QStringLiteral("1,two"));
}

// The bytes of the file format: a plain object is its properties in the order they
// were made, functions left out, and an end marker.
void PlayerServicesTest::amfEncodesAsTheFileFormat()
{
    Script s;
    const Value o = s.object();
    s.set(o, "foo", s.str("plain"));
    s.set(o, "f", Value(s.vm().makeNative(throws)));
    s.set(o, "n", Value(1.5));
    const auto bytes = avm1::encodeAmf0(s.vm(), o);
    QVERIFY(bytes.has_value());
    const std::vector<std::uint8_t> expected{
        0x03, 0x00, 0x03, 'f',  'o',  'o',  0x02, 0x00, 0x05, 'p',  'l',  'a',  'i',  'n', 0x00,
        0x01, 'n',  0x00, 0x3F, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09};
    QCOMPARE(*bytes, expected);

    // An object met twice goes as a reference, so cycles end.
    const Value cyclic = s.object();
    s.set(cyclic, "self", cyclic);
    const Value copy = avm1::copyThroughAmf0(s.vm(), cyclic);
    QCOMPARE(s.get(copy, "self").asObject(), copy.asObject());
    // Damaged data reads as what it holds, never past its end.
    const std::vector<std::uint8_t> cut{0x03, 0x00, 0x05, 'a'};
    QVERIFY(avm1::decodeAmf0(s.vm(), cut).isObject());
    const std::vector<std::uint8_t> unknown{0x42};
    QVERIFY(avm1::decodeAmf0(s.vm(), unknown).isUndefined());
}

// An object made by a registered class (or given that class as its constructor) goes
// as a typed object under the alias registered last, and comes back with its
// prototype; one that only has the prototype goes as a plain object.
void PlayerServicesTest::amfTypedObjectsKeepTheirClass()
{
    Script s;
    const Value ctor = Value(s.vm().makeNative(record));
    const Value proto = s.object();
    s.set(ctor, "prototype", proto);
    const Value objectClass = s.global("Object");
    s.call(objectClass, "registerClass", {s.str("First.Alias"), ctor});
    s.call(objectClass, "registerClass", {s.str("Second.Alias"), ctor});

    const Value made = s.vm().construct(ctor, {});
    const auto bytes = avm1::encodeAmf0(s.vm(), made);
    QVERIFY(bytes.has_value());
    QCOMPARE((*bytes)[0], std::uint8_t(0x10));
    const std::string alias(bytes->begin() + 3, bytes->begin() + 3 + (*bytes)[2]);
    QCOMPARE(QString::fromStdString(alias), QStringLiteral("Second.Alias"));
    const Value back = avm1::copyThroughAmf0(s.vm(), made);
    QCOMPARE(back.asObject()->prototype(), proto.asObject());

    const Value forged = s.object();
    s.set(forged, "constructor", ctor);
    QCOMPARE((*avm1::encodeAmf0(s.vm(), forged))[0], std::uint8_t(0x10));
    const Value onlyProto = s.object();
    s.set(onlyProto, "__proto__", proto);
    QCOMPARE((*avm1::encodeAmf0(s.vm(), onlyProto))[0], std::uint8_t(0x03));
}

// The player's own data gets XML objects and registered classes back; a stream's
// script data keeps XML as text and its typed objects plain. A node met twice is one
// object either way, and a date goes as a date.
void PlayerServicesTest::amfSourcesDecideXmlAndClasses()
{
    using script::amf::Kind;
    Script s;
    const Value ctor = Value(s.vm().makeNative(record));
    const Value proto = s.object();
    s.set(ctor, "prototype", proto);
    s.call(s.global("Object"), "registerClass", {s.str("Typed"), ctor});
    script::amf::Document doc;
    const auto xml = doc.add({.kind = Kind::XmlDocument, .text = "<a />"});
    const auto typed = doc.add({.kind = Kind::Object, .text = "Typed"});
    const auto root = doc.add({.kind = Kind::Array});
    doc[root].elements = {xml, typed, typed};

    const Value own = avm1::fromAmf(s.vm(), doc, root, avm1::AmfSource::Player);
    QVERIFY(avm1::xmlNodeOf(s.get(own, "0")));
    QCOMPARE(s.get(own, "1").asObject()->prototype(), proto.asObject());
    QCOMPARE(s.get(own, "1").asObject(), s.get(own, "2").asObject());

    const Value stream = avm1::fromAmf(s.vm(), doc, root, avm1::AmfSource::Stream);
    QCOMPARE(s.typed(s.get(stream, "0")), QStringLiteral("string:<a />"));
    QVERIFY(s.get(stream, "1").asObject()->prototype() != proto.asObject());
    QCOMPARE(s.get(stream, "1").asObject(), s.get(stream, "2").asObject());

    const Value date = s.construct("Date", {Value(1.0e12)});
    const auto bytes = avm1::encodeAmf0(s.vm(), date);
    QVERIFY(bytes.has_value());
    QCOMPARE((*bytes)[0], std::uint8_t(0x0B));
    const Value back = avm1::copyThroughAmf0(s.vm(), date);
    QCOMPARE(s.typed(s.call(back, "getTime")), QStringLiteral("number:1000000000000"));
}

void PlayerServicesTest::sharedObjectsLastTheRun()
{
    Script s;
    const Value so = s.global("SharedObject");
    const Value first = s.call(so, "getLocal", {s.str("prefs")});
    QVERIFY(first.isObject());
    const Value data = s.get(first, "data");
    QCOMPARE(s.typed(s.call(first, "getSize")), QStringLiteral("number:0"));
    s.set(data, "score", Value(10));
    QCOMPARE(s.typed(s.call(first, "flush")), QStringLiteral("boolean:true"));
    // "score" as a name, then a number: 2 + 5 + 9 + 1 bytes.
    QCOMPARE(s.typed(s.call(first, "getSize")), QStringLiteral("number:17"));
    const Value again = s.call(so, "getLocal", {s.str("prefs")});
    QCOMPARE(again.asObject(), first.asObject());
    QCOMPARE(s.typed(s.get(s.get(again, "data"), "score")), QStringLiteral("number:10"));
    QVERIFY(s.call(so, "getLocal", {s.str("prefs"), s.str("/other")}).asObject() !=
            first.asObject());
    for (const char* bad : {"", "a b", "a:b", "x?", "~home"})
        QVERIFY(s.call(so, "getLocal", {s.str(bad)}).isNull());
    s.call(first, "clear");
    QVERIFY(s.get(data, "score").isUndefined());
    s.set(data, "gone", Value(true));
    s.call(so, "deleteAll", {s.str("/")});
    QVERIFY(s.call(so, "getLocal", {s.str("prefs")}).asObject() != first.asObject());
    // A remote object has no server to connect to.
    const Value remote = s.call(so, "getRemote", {s.str("chat"), s.str("rtmp://host/app")});
    QCOMPARE(s.typed(s.call(remote, "connect", {s.object()})), QStringLiteral("boolean:false"));
}

void PlayerServicesTest::externalInterfaceHelpers_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("toXML of text escapes markup") << "_toXML"
                                                  << "text:&amp;<x>"
                                                  << "<string>&amp;amp;&lt;x&gt;</string>";
    QTest::newRow("toXML of empty text") << "_toXML"
                                         << "text:"
                                         << "<string>null</string>";
    QTest::newRow("toXML of a number") << "_toXML"
                                       << "number:-2"
                                       << "<number>-2</number>";
    QTest::newRow("toXML of an array with a hole")
        << "_toXML"
        << "array"
        << "<array><property id=\"0\"><true/></property>"
           "<property id=\"1\"><undefined/></property></array>";
    QTest::newRow("arguments skip the first") << "_argumentsToXML"
                                              << "array"
                                              << "<arguments><undefined/></arguments>";
    QTest::newRow("objects list properties for..in backwards")
        << "_objectToXML"
        << "object"
        << "<object><property id=\"b\"><null/></property>"
           "<property id=\"a\"><number>1</number></property></object>";
    QTest::newRow("functions have no form") << "_toXML"
                                            << "function"
                                            << "<null/>";
    QTest::newRow("unescape reads the five entities once") << "_unescapeXML"
                                                           << "text:&amp;gt;&lt;&Amp;"
                                                           << "&gt;<&Amp;";
    QTest::newRow("jsQuoteString") << "_jsQuoteString"
                                   << "text:a\"b\\"
                                   << "a\\\"b\\\\";
    QTest::newRow("toJS of an object") << "_toJS"
                                       << "object"
                                       << "({\"b\":null,\"a\":1})";
}

void PlayerServicesTest::externalInterfaceHelpers()
{
    QFETCH(QString, method);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    Script s;
    Value arg;
    if (input.startsWith("text:")) {
        arg = s.str(input.mid(5).toStdString());
    } else if (input.startsWith("number:")) {
        arg = Value(input.mid(7).toDouble());
    } else if (input == "array") {
        arg = s.array({Value(true)});
        s.set(arg, "length", Value(2));
    } else if (input == "object") {
        arg = s.object();
        s.set(arg, "a", Value(1));
        s.set(arg, "b", Value::null());
    } else {
        arg = Value(s.vm().makeNative(throws));
    }
    const Value out =
        s.call(s.global("flash.external.ExternalInterface"), method.toStdString(), {arg});
    QCOMPARE(s.text(out), expected);
}

void PlayerServicesTest::externalInterfaceWithoutAPage()
{
    Script s;
    const Value ei = s.global("flash.external.ExternalInterface");
    QCOMPARE(s.typed(s.get(ei, "available")), QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(ei, "addCallback", {s.str("f"), Value::null(), s.object()})),
             QStringLiteral("boolean:false"));
    QVERIFY(s.call(ei, "call", {s.str("f")}).isNull());
    QVERIFY(s.call(ei, "_unescapeXML", {s.str("")}).isNull());
    // <string>, <number> and <array> elements read back.
    const Value xml =
        s.construct("XML", {s.str("<array><property id=\"0\"><string>a&amp;b</string></property>"
                                  "<property id=\"1\"><number>2</number></property></array>")});
    const Value value = s.call(ei, "_toAS", {s.get(xml, "firstChild")});
    QCOMPARE(s.text(value), QStringLiteral("a&b,2"));

    // SWF 7 movies that reveal the package see its members as hidden, yet its own.
    Script old(7);
    avm1::Object* flash = old.vm()
                              .global()
                              ->properties()
                              .find(old.vm().str("flash"), avm1::CaseRule::Sensitive)
                              ->value.asObject();
    const Value hidden = old.get(old.get(Value(flash), "external"), "ExternalInterface");
    QVERIFY(old.get(hidden, "available").isUndefined());
    QCOMPARE(old.typed(old.call(hidden, "hasOwnProperty", {old.str("available")})),
             QStringLiteral("boolean:true"));
}

void PlayerServicesTest::socketsAndPrinting()
{
    Script s;
    const Value socket = s.construct("XMLSocket");
    QCOMPARE(s.typed(s.call(socket, "getTimeout")), QStringLiteral("number:20000"));
    s.call(socket, "setTimeout", {Value(150.7)});
    QCOMPARE(s.typed(s.call(socket, "getTimeout")), QStringLiteral("number:150"));
    s.set(socket, "onXML", s.recorder("onXML"));
    s.call(socket, "onData", {s.str("<a>b</a>")});
    QCOMPARE(seenJoined(), QStringLiteral("onXML: <a>b</a>"));

    const Value job = s.construct("PrintJob");
    QCOMPARE(s.typed(s.call(job, "start")), QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(job, "addPage", {Value(0)})), QStringLiteral("boolean:false"));
    s.set(job, "pageWidth", s.str("test"));
    QCOMPARE(s.typed(s.get(job, "pageWidth")), QStringLiteral("number:0"));
}

void PlayerServicesTest::buttonClass()
{
    Script s;
    const Value button = s.global("Button");
    const Value proto = s.get(button, "prototype");
    QVERIFY(proto.isObject());
    QCOMPARE(s.typed(s.get(proto, "enabled")), QStringLiteral("boolean:true"));
    QVERIFY(s.get(proto, "getDepth").isObject());
    // Buttons have no MovieClip methods.
    QVERIFY(s.get(proto, "gotoAndPlay").isUndefined());
    // A button of a movie is made with it.
    const std::uint8_t buttonId = 1;
    MovieWriter movie(6);
    // DefineButton2 with no state records: an id, flags, no actions, the end byte.
    movie.add(34, {buttonId, 0, 0, 0, 0, 0});
    Place place;
    place.characterId = buttonId;
    place.name = "b";
    movie.place2(place);
    ActionWriter code;
    code.push({"b"}).op(Op::GetVariable).push({"getDepth"}).op(Op::GetMember).op(Op::TypeOf);
    code.op(Op::Trace);
    code.push({0, "b"}).op(Op::GetVariable).push({"getDepth"}).op(Op::CallMethod).op(Op::Trace);
    code.push({"b"}).op(Op::GetVariable).push({"stop"}).op(Op::GetMember).op(Op::Trace);
    movie.doAction(code.end().bytes());
    movie.showFrame();
    QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::traces(movie))),
             QStringLiteral("function\n-16383\nundefined"));
}

void PlayerServicesTest::textRendererSettings()
{
    Script s;
    const Value renderer = s.global("flash.text.TextRenderer");
    QCOMPARE(s.typed(s.get(renderer, "maxLevel")), QStringLiteral("number:4"));
    s.set(renderer, "maxLevel", Value(9));
    QCOMPARE(s.typed(s.get(renderer, "maxLevel")), QStringLiteral("number:4"));
    QCOMPARE(s.text(s.get(renderer, "displayMode")), QStringLiteral("default"));
    s.set(renderer, "displayMode", s.str("crt"));
    QCOMPARE(s.text(s.get(renderer, "displayMode")), QStringLiteral("crt"));
    QVERIFY(s.call(renderer, "setAdvancedAntialiasingTable", {s.str("_sans")}).isUndefined());
    // SWF 7 movies see no flash package.
    Script old(7);
    QVERIFY(old.global("flash").isUndefined());
}

QTEST_GUILESS_MAIN(PlayerServicesTest)
#include "PlayerServicesTest.moc"
