// XML and XMLList driven through the machine's own entry points (construct, calls,
// property access by name, the E4X instruction hooks), as compiled code reaches them.
#include "avm2/vm/Operations.h"
#include "avm2/vm/Vm.h"

#include <QtTest>

using avm2::Name;
using avm2::Value;
using avm2::Vm;

namespace {

class Machine {
public:
    Machine(int version = 10) : vm({}, version) {}

    Value cls(const char* name) { return vm.getDefinitionByName(utf16(name)); }
    Value xml(const char* markup)
    {
        Value arg[1] = {Value(vm.newString(std::string_view(markup)))};
        return vm.construct(cls("XML"), arg);
    }
    Value call(const Value& object, const char* method, std::initializer_list<Value> args = {})
    {
        return vm.callProperty(object, vm.publicName(method), std::span(args.begin(), args.size()));
    }
    Value get(const Value& object, const char* name, bool attribute = false)
    {
        return vm.getProperty(object, nameOf(name, attribute));
    }
    void set(const Value& object, const char* name, const Value& value, bool attribute = false)
    {
        vm.setProperty(object, nameOf(name, attribute), value);
    }
    Name nameOf(const char* text, bool attribute)
    {
        Name n = vm.publicName(text);
        n.attribute = attribute;
        return n;
    }
    Value str(const char* text) { return Value(vm.newString(std::string_view(text))); }
    QString text(const Value& v) { return QString::fromStdU16String(vm.toText(v)); }
    QString markup(const Value& v) { return text(call(v, "toXMLString")); }
    // The uncaught text of the pending error ("TypeError: Error #1085: ..."), cleared.
    // The pending error's text, without the stack trace that follows it.
    QString error()
    {
        if (!vm.throwing())
            return {};
        return QString::fromStdU16String(vm.uncaughtText(vm.takeException())).section('\n', 0, 0);
    }
    void setStatic(const char* name, const Value& value) { set(cls("XML"), name, value); }

    static std::u16string utf16(const char* s) { return std::u16string(s, s + std::strlen(s)); }

    Vm vm;
};

} // namespace

class XmlClassesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parsingFollowsTheSettings();
    void settingsObjects();
    void childrenAttributesAndIndices();
    void assignmentAndDeletion();
    void listsGrowThroughTheirTarget();
    void appendChildByVersion();
    void namespacesAndNames();
    void printing();
    void equalityConcatenationAndDescendants();
    void errorsCarryTheReferenceNumbers();
};

void XmlClassesTest::parsingFollowsTheSettings()
{
    Machine m;
    Value x = m.xml("<a><!--c--><?p d?> <b>1</b> </a>");
    QCOMPARE(m.text(m.call(m.call(x, "children"), "length")), QStringLiteral("1"));
    m.setStatic("ignoreComments", Value(false));
    m.setStatic("ignoreProcessingInstructions", Value(false));
    m.setStatic("ignoreWhitespace", Value(false));
    x = m.xml("<a><!--c--><?p d?> <b>1</b> </a>");
    QCOMPARE(m.text(m.call(m.call(x, "children"), "length")), QStringLiteral("5"));
    QCOMPARE(m.text(m.call(m.call(x, "comments"), "length")), QStringLiteral("1"));
    QCOMPARE(m.text(m.call(m.call(x, "processingInstructions", {m.str("p")}), "length")),
             QStringLiteral("1"));
    // A name with @ names an attribute, never an instruction.
    QCOMPARE(m.text(m.call(m.call(x, "processingInstructions", {m.str("@p")}), "length")),
             QStringLiteral("0"));
    // new XML(xml) copies what a parse under the current settings keeps.
    m.setStatic("ignoreComments", Value(true));
    Value copy = m.vm.construct(m.cls("XML"), std::span<const Value>(&x, 1));
    QCOMPARE(m.text(m.call(m.call(copy, "comments"), "length")), QStringLiteral("0"));
    QVERIFY(copy.asObject() != x.asObject());
    // XML(xml) is the same object; XML(list of one) its item.
    Value same = m.vm.call(m.cls("XML"), Value::null(), std::span<const Value>(&x, 1));
    QCOMPARE(same.asObject(), x.asObject());
    Value empty = m.vm.construct(m.cls("XML"), {});
    QCOMPARE(m.text(m.call(empty, "nodeKind")), QStringLiteral("text"));
}

void XmlClassesTest::settingsObjects()
{
    Machine m;
    m.setStatic("prettyIndent", Value(4));
    Value s = m.call(m.cls("XML"), "settings");
    QCOMPARE(m.text(m.get(s, "prettyIndent")), QStringLiteral("4"));
    Value d = m.call(m.cls("XML"), "defaultSettings");
    QCOMPARE(m.text(m.get(d, "prettyIndent")), QStringLiteral("2"));
    m.set(d, "prettyPrinting", Value(false));
    m.set(d, "ignoreComments", m.str("no")); // not a Boolean: ignored
    m.call(m.cls("XML"), "setSettings", {d});
    QCOMPARE(m.text(m.get(m.cls("XML"), "prettyPrinting")), QStringLiteral("false"));
    QCOMPARE(m.text(m.get(m.cls("XML"), "ignoreComments")), QStringLiteral("true"));
    QCOMPARE(m.text(m.get(m.cls("XML"), "prettyIndent")), QStringLiteral("2"));
    m.call(m.cls("XML"), "setSettings", {Value::null()});
    QCOMPARE(m.text(m.get(m.cls("XML"), "prettyPrinting")), QStringLiteral("true"));
}

void XmlClassesTest::childrenAttributesAndIndices()
{
    Machine m;
    Value x = m.xml("<a id='7'><b>1</b><c/><b>2</b></a>");
    Value bs = m.get(x, "b");
    QCOMPARE(m.text(m.vm.typeOf(bs)), QStringLiteral("xml"));
    QCOMPARE(m.text(m.call(bs, "length")), QStringLiteral("2"));
    QCOMPARE(m.text(m.get(bs, "1")), QStringLiteral("2"));
    QVERIFY(m.get(bs, "2").isUndefined());
    QCOMPARE(m.text(m.get(x, "id", true)), QStringLiteral("7"));
    QCOMPARE(m.text(m.get(x, "@id")), QStringLiteral("7"));
    QCOMPARE(m.text(m.call(m.get(x, "*"), "length")), QStringLiteral("3"));
    // An XML is a list of itself at index 0.
    QCOMPARE(m.get(x, "0").asObject(), x.asObject());
    QVERIFY(m.get(x, "1").isUndefined());
    // The same node gives the same object.
    QCOMPARE(m.get(bs, "0").asObject(), m.get(m.call(x, "child", {Value(0)}), "0").asObject());
    QCOMPARE(m.text(m.call(m.get(bs, "0"), "childIndex")), QStringLiteral("0"));
    QCOMPARE(m.text(m.call(m.get(x, "id", true), "childIndex")), QStringLiteral("-1"));
    QVERIFY(m.vm.hasProperty(x, m.nameOf("c", false)));
    QVERIFY(!m.vm.hasProperty(x, m.nameOf("d", false)));
    // Methods are reached by calls; the same name read is a (here empty) child list.
    QCOMPARE(m.text(m.call(m.get(x, "name"), "length")), QStringLiteral("0"));
    QCOMPARE(m.text(m.call(m.call(x, "name"), "toString")), QStringLiteral("a"));
    // Simple content answers String methods.
    QCOMPARE(m.text(m.call(m.get(bs, "0"), "charAt", {Value(0)})), QStringLiteral("1"));
    // Single-node methods on lists of another size.
    m.call(bs, "nodeKind");
    QCOMPARE(m.error(), QStringLiteral("TypeError: Error #1086: The nodeKind method only works "
                                       "on lists containing one item."));
}

void XmlClassesTest::assignmentAndDeletion()
{
    Machine m;
    m.setStatic("prettyPrinting", Value(false));
    Value x = m.xml("<a><b>1</b><b>2</b></a>");
    m.set(x, "b", m.str("3")); // the first match takes the text, the rest go
    QCOMPARE(m.markup(x), QStringLiteral("<a><b>3</b></a>"));
    m.set(x, "c", m.str("<x/>")); // text, not markup
    QCOMPARE(m.markup(x), QStringLiteral("<a><b>3</b><c>&lt;x/&gt;</c></a>"));
    m.set(x, "n", Value(5), true);
    QCOMPARE(m.markup(x), QStringLiteral("<a n=\"5\"><b>3</b><c>&lt;x/&gt;</c></a>"));
    Value d = m.xml("<d>4</d>");
    m.set(x, "b", d); // XML values are copied in
    QCOMPARE(m.markup(x), QStringLiteral("<a n=\"5\"><d>4</d><c>&lt;x/&gt;</c></a>"));
    QVERIFY(m.call(d, "parent").isUndefined());
    QVERIFY(m.vm.deleteProperty(x, m.nameOf("n", true)));
    QVERIFY(m.vm.deleteProperty(x, m.nameOf("c", false)));
    QCOMPARE(m.markup(x), QStringLiteral("<a><d>4</d></a>"));
    m.set(x, "0", m.str("no"));
    QCOMPARE(m.error(), QStringLiteral("TypeError: Error #1087: Assignment to indexed XML is "
                                       "not allowed."));
}

void XmlClassesTest::listsGrowThroughTheirTarget()
{
    Machine m;
    m.setStatic("prettyPrinting", Value(false));
    Value x = m.xml("<a><b>1</b></a>");
    Value bs = m.get(x, "b");
    m.set(bs, "1", m.str("2")); // past the end: a new <b> after the last
    QCOMPARE(m.markup(x), QStringLiteral("<a><b>1</b><b>2</b></a>"));
    QCOMPARE(m.text(m.call(bs, "length")), QStringLiteral("2"));
    m.set(bs, "0", m.str("one")); // an element item takes the text as content
    QCOMPARE(m.markup(x), QStringLiteral("<a><b>one</b><b>2</b></a>"));
    m.set(bs, "c", m.str("v"));
    QCOMPARE(m.error(), QStringLiteral("TypeError: Error #1089: Assignment to lists with more "
                                       "than one item is not supported."));
    QVERIFY(m.vm.deleteProperty(bs, m.nameOf("0", false)));
    QCOMPARE(m.markup(x), QStringLiteral("<a><b>2</b></a>"));
    // A name that matched nothing makes its element when assigned below.
    m.set(m.get(x, "e"), "f", m.str("g"));
    QCOMPARE(m.markup(x), QStringLiteral("<a><b>2</b><e><f>g</f></e></a>"));
    // Through several names that matched nothing, each element is made in turn.
    m.set(m.get(m.get(x, "v"), "w"), "z", m.str("q"));
    QCOMPARE(m.markup(x), QStringLiteral("<a><b>2</b><e><f>g</f></e><v><w><z>q</z></w></v></a>"));
    // Not through a list of several items.
    m.set(m.get(m.get(x, "*"), "none"), "r", m.str("s"));
    QCOMPARE(m.error(), QStringLiteral("TypeError: Error #1089: Assignment to lists with more "
                                       "than one item is not supported."));
    // for-in names and for-each values.
    Value all = m.call(x, "children");
    avm2::Object* list = all.asObject();
    QCOMPARE(list->nextEnumerable(0), 1u);
    QCOMPARE(list->nextEnumerable(2), 3u);
    QCOMPARE(m.text(list->enumerableName(m.vm, 2)), QStringLiteral("1"));
    QCOMPARE(m.text(m.call(list->enumerableValue(m.vm, 2), "name")), QStringLiteral("e"));
    QCOMPARE(list->nextEnumerable(3), 0u);
}

void XmlClassesTest::appendChildByVersion()
{
    Machine m10(10);
    m10.setStatic("prettyPrinting", Value(false));
    Value x = m10.xml("<a><b>1</b></a>");
    m10.call(x, "appendChild", {m10.str("<c/>")}); // text, in an element named like the last
    QCOMPARE(m10.markup(x), QStringLiteral("<a><b>1</b><b>&lt;c/&gt;</b></a>"));
    Value b = m10.get(m10.get(x, "b"), "0");
    m10.call(x, "appendChild", {b}); // a child appended again is copied
    QCOMPARE(m10.text(m10.call(m10.call(x, "children"), "length")), QStringLiteral("3"));
    m10.call(x, "appendChild", {x});
    QCOMPARE(m10.error(),
             QStringLiteral("TypeError: Error #1118: Illegal cyclical loop between nodes."));

    Machine m9(9);
    m9.setStatic("prettyPrinting", Value(false));
    Value y = m9.xml("<a><b>1</b></a>");
    m9.call(y, "appendChild", {m9.str("<c/>")}); // version 9 reads markup
    QCOMPARE(m9.markup(y), QStringLiteral("<a><b>1</b><c/></a>"));
    m9.call(y, "prependChild", {m9.str("<d/>")}); // prependChild always adds text
    QCOMPARE(m9.markup(y), QStringLiteral("<a>&lt;d/&gt;<b>1</b><c/></a>"));
}

void XmlClassesTest::namespacesAndNames()
{
    Machine m;
    m.setStatic("prettyPrinting", Value(false));
    Value x = m.xml("<p:a xmlns:p='urn:p' p:k='v'><p:b/><b/></p:a>");
    Value name = m.call(x, "name");
    QCOMPARE(m.text(m.get(name, "uri")), QStringLiteral("urn:p"));
    QCOMPARE(m.text(m.call(x, "localName")), QStringLiteral("a"));
    QCOMPARE(m.text(m.get(m.call(x, "namespace", {m.str("p")}), "prefix")), QStringLiteral("p"));
    QVERIFY(m.call(x, "namespace", {m.str("q")}).isUndefined());
    // Unqualified names are in no namespace; a QName selects its namespace.
    QCOMPARE(m.text(m.call(m.get(x, "b"), "length")), QStringLiteral("1"));
    Value qnArgs[2] = {m.str("urn:p"), m.str("b")};
    Value qn = m.vm.construct(m.cls("QName"), qnArgs);
    QCOMPARE(m.text(m.call(m.call(x, "child", {qn}), "length")), QStringLiteral("1"));
    Value star[1] = {m.str("*")};
    Value any = m.vm.construct(m.cls("QName"), star);
    QVERIFY(m.get(any, "uri").isNull());
    QCOMPARE(m.text(any), QStringLiteral("*::*"));
    // Namespace(prefix, uri): prefixes must be XML names; the empty URI takes only "".
    Value nsArgs[2] = {m.str("1x"), m.str("urn:q")};
    QVERIFY(m.get(m.vm.construct(m.cls("Namespace"), nsArgs), "prefix").isUndefined());
    Value bad[2] = {m.str("q"), m.str("")};
    m.vm.construct(m.cls("Namespace"), bad);
    QCOMPARE(m.error(),
             QStringLiteral("TypeError: Error #1098: Illegal prefix q for no namespace."));
    Value ns = m.call(x, "namespace");
    QCOMPARE(
        m.vm.call(m.cls("Namespace"), Value::null(), std::span<const Value>(&ns, 1)).asObject(),
        ns.asObject());
    m.call(x, "setLocalName", {m.str("not a name")});
    QCOMPARE(m.error(), QStringLiteral("TypeError: Error #1117: Invalid XML name: not a name."));
    // for-in over a QName sees uri and localName.
    avm2::Object* q = qn.asObject();
    QCOMPARE(m.text(q->enumerableName(m.vm, q->nextEnumerable(0))), QStringLiteral("uri"));
    QCOMPARE(m.text(q->enumerableValue(m.vm, 2)), QStringLiteral("b"));
    QCOMPARE(q->nextEnumerable(2), 0u);
    m.call(x, "addNamespace");
    QCOMPARE(m.error(), QStringLiteral("ArgumentError: Error #1063: Argument count mismatch on "
                                       "XML/addNamespace(). Expected 1, got 0."));
    // The default xml namespace names new and unqualified elements.
    avm2::setDefaultXmlNamespace(m.vm, m.str("urn:d"));
    Value y = m.xml("<r><s/></r>");
    QCOMPARE(m.text(m.get(m.call(y, "name"), "uri")), QStringLiteral("urn:d"));
    QCOMPARE(m.text(m.call(m.get(y, "s"), "length")), QStringLiteral("1"));
}

void XmlClassesTest::printing()
{
    Machine m;
    Value x = m.xml("<a><b>1</b><c><d/></c></a>");
    QCOMPARE(m.markup(x), QStringLiteral("<a>\n  <b>1</b>\n  <c>\n    <d/>\n  </c>\n</a>"));
    m.setStatic("prettyIndent", Value(-1));
    QCOMPARE(m.markup(x), QStringLiteral("<a><b>1</b><c><d/></c></a>"));
    m.setStatic("prettyIndent", Value(2));
    m.setStatic("prettyPrinting", Value(false));
    // Simple content prints as its text; a list a line per item, pretty or not.
    QCOMPARE(m.text(m.get(x, "b")), QStringLiteral("1"));
    QCOMPARE(m.text(m.call(x, "children")), QStringLiteral("<b>1</b>\n<c><d/></c>"));
    // normalize merges text runs and drops text of whitespace alone.
    m.setStatic("ignoreWhitespace", Value(false));
    Value spaced = m.xml("<a> <b> one </b> </a>");
    m.call(m.get(spaced, "b"), "appendChild", {m.str("two")});
    m.call(spaced, "normalize");
    QCOMPARE(m.markup(spaced), QStringLiteral("<a><b> one two</b></a>"));
    QCOMPARE(m.text(m.call(m.call(m.get(spaced, "b"), "children"), "length")), QStringLiteral("1"));
    QCOMPARE(m.text(avm2::escapeXml(m.vm, m.str("<&>\""), false)),
             QStringLiteral("&lt;&amp;&gt;\""));
    QCOMPARE(m.text(avm2::escapeXml(m.vm, m.str("<&\"\n"), true)),
             QStringLiteral("&lt;&amp;&quot;&#xA;"));
    QCOMPARE(m.text(avm2::escapeXml(m.vm, m.get(x, "c"), false)), QStringLiteral("<c><d/></c>"));
}

void XmlClassesTest::equalityConcatenationAndDescendants()
{
    Machine m;
    Value x = m.xml("<a><b>1</b><c><b>2</b></c></a>");
    Value y = m.xml("<a><b>1</b><c><b>2</b></c></a>");
    QVERIFY(m.vm.looseEquals(x, y));
    QVERIFY(!m.vm.looseEquals(x, m.xml("<a/>")));
    QVERIFY(m.vm.looseEquals(m.get(m.get(x, "b"), "0"), Value(1))); // simple content by text
    QVERIFY(m.vm.looseEquals(m.get(x, "none"), Value()));           // empty list == undefined
    QVERIFY(m.vm.looseEquals(m.get(x, "b"), m.str("1")));           // one item compares as it
    Value both = avm2::addValues(m.vm, x, y);
    QCOMPARE(m.text(m.call(both, "length")), QStringLiteral("2"));
    QCOMPARE(m.text(avm2::addValues(m.vm, m.str("n:"), m.get(x, "b"))), QStringLiteral("n:1"));
    Value found = avm2::getDescendants(m.vm, x, m.vm.publicName("b"));
    QCOMPARE(m.text(m.call(found, "length")), QStringLiteral("2"));
    QCOMPARE(m.text(m.call(m.call(x, "descendants"), "length")), QStringLiteral("5"));
    avm2::getDescendants(m.vm, Value(3), m.vm.publicName("b"));
    QCOMPARE(m.error(),
             QStringLiteral("TypeError: Error #1016: Descendants operator (..) not supported on "
                            "type int."));
}

void XmlClassesTest::errorsCarryTheReferenceNumbers()
{
    Machine m;
    m.xml("<a><b></a>");
    QCOMPARE(m.error(), QStringLiteral("TypeError: Error #1085: The element type \"b\" must be "
                                       "terminated by the matching end-tag \"</b>\"."));
    m.xml("<a/><b/>");
    QVERIFY(m.error().startsWith(QStringLiteral("TypeError: Error #1088:")));
    Value list =
        m.vm.call(m.cls("XMLList"), Value::null(), std::array<Value, 1>{m.str("<a/><b/>")});
    QCOMPARE(m.text(m.call(list, "length")), QStringLiteral("2"));
    m.vm.call(m.cls("XML"), Value::null(), std::span<const Value>(&list, 1));
    QVERIFY(m.error().startsWith(QStringLiteral("TypeError: Error #1088:")));
}

QTEST_APPLESS_MAIN(XmlClassesTest)
#include "XmlClassesTest.moc"
