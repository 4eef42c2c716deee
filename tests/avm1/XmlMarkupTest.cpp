// XML documents as the reference reads and writes them, one row per case: the status
// each kind of malformed markup reports, the markup toString writes back, the entities
// read in text and attribute values, ignoreWhite, and idMap by SWF version.
#include "avm1/Vm.h"

#include <QtTest>

using avm1::Value;

namespace {

class Document {
public:
    explicit Document(int version = 8) : m_vm(version) {}

    Value parse(const QString& markup, bool ignoreWhite = false)
    {
        const Value ctor = m_vm.getMember(m_vm.global(), m_vm.str("XML"));
        const Value doc = m_vm.construct(ctor, {});
        m_vm.setMember(doc, m_vm.str("ignoreWhite"), Value(ignoreWhite));
        const Value arg(m_vm.str(markup.toStdString()));
        m_vm.callMethod(doc, m_vm.str("parseXML"), std::span<const Value>(&arg, 1));
        return doc;
    }
    // Members along a dotted path: "firstChild.attributes.a".
    Value get(Value at, const QString& path)
    {
        for (const QString& name : path.split('.'))
            at = m_vm.getMember(at, m_vm.str(name.toStdString()));
        return at;
    }
    QString text(Value v) { return QString::fromStdString(m_vm.toStdString(v)); }
    QString text(Value at, const QString& path) { return text(get(at, path)); }
    avm1::Vm& vm() { return m_vm; }

private:
    avm1::Vm m_vm;
};

} // namespace

class XmlMarkupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void statusNamesTheFirstFault_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<int>("status");
        QTest::newRow("well formed") << "<a b='1'><c/>t</a>" << 0;
        QTest::newRow("text alone") << "just text" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("several roots") << "<a/><b/>" << 0;
        QTest::newRow("cdata open") << "<a><![CDATA[x</a>" << -2;
        QTest::newRow("declaration open") << "<?xml version='1.0'" << -3;
        QTest::newRow("doctype open") << "<!DOCTYPE a [ <!ENTITY e 'v'> " << -4;
        QTest::newRow("comment open") << "<a><!-- x</a>" << -5;
        QTest::newRow("attribute without quotes") << "<a b=1/>" << -6;
        QTest::newRow("attribute without value") << "<a b/>" << -6;
        QTest::newRow("tag without name") << "< a/>" << -6;
        QTest::newRow("tag cut short") << "<a" << -6;
        QTest::newRow("attribute value open") << "<a b='1/>" << -8;
        QTest::newRow("element never closed") << "<a><b></b>" << -9;
        QTest::newRow("outer closed before inner") << "<a><b></a>" << -9;
        QTest::newRow("end tag of nothing") << "</a>" << -10;
        QTest::newRow("end tag of another name") << "<a></b>" << -10;
    }
    void statusNamesTheFirstFault()
    {
        QFETCH(QString, markup);
        QFETCH(int, status);
        Document d;
        QCOMPARE(d.text(d.parse(markup), "status"), QString::number(status));
    }

    void toStringWritesTheTreeBack_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("written");
        QTest::newRow("empty element") << "<a></a>"
                                       << "<a />";
        QTest::newRow("attributes in document order, double quotes")
            << "<a z='1' b=\"2\" m='3'/>"
            << "<a z=\"1\" b=\"2\" m=\"3\" />";
        QTest::newRow("a repeated attribute keeps the first") << "<a b='1' b='2'/>"
                                                              << "<a b=\"1\" />";
        QTest::newRow("text escaped") << "<a>&lt;&amp;&gt;&quot;&apos;</a>"
                                      << "<a>&lt;&amp;&gt;&quot;&apos;</a>";
        QTest::newRow("quotes in text escaped") << "<a>\"it's\"</a>"
                                                << "<a>&quot;it&apos;s&quot;</a>";
        QTest::newRow("attribute values escaped") << "<a b='\"&amp;&lt;' c=\"'\"/>"
                                                  << "<a b=\"&quot;&amp;&lt;\" c=\"&apos;\" />";
        QTest::newRow("cdata becomes escaped text") << "<a><![CDATA[<b>&amp;]]></a>"
                                                    << "<a>&lt;b&gt;&amp;amp;</a>";
        QTest::newRow("comments dropped") << "<a><!-- c -->t</a>"
                                          << "<a>t</a>";
        QTest::newRow("white space kept") << "<a>\n <b/> </a>"
                                          << "<a>\n <b /> </a>";
        QTest::newRow("declaration and doctype first")
            << "<?xml version=\"1.0\"?>\n<!DOCTYPE a>\n<a/>"
            << "<?xml version=\"1.0\"?><!DOCTYPE a>\n\n<a />";
        QTest::newRow("names kept as written") << "<ns:A x:Y='1'/>"
                                               << "<ns:A x:Y=\"1\" />";
    }
    void toStringWritesTheTreeBack()
    {
        QFETCH(QString, markup);
        QFETCH(QString, written);
        Document d;
        QCOMPARE(d.text(d.parse(markup)), written);
    }

    void entitiesAreReadInTextAndAttributes_data()
    {
        QTest::addColumn<QString>("encoded");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("the five") << "&amp;&lt;&gt;&quot;&apos;"
                                  << "&<>\"'";
        QTest::newRow("decimal reference") << "&#65;&#233;"
                                           << "A\u00E9";
        QTest::newRow("hexadecimal reference") << "&#x41;&#X42;"
                                               << "AB";
        QTest::newRow("unknown entity kept") << "&nbsp;&copy;"
                                             << "&nbsp;&copy;";
        QTest::newRow("ampersand alone") << "a & b"
                                         << "a & b";
        QTest::newRow("no semicolon") << "&amp"
                                      << "&amp";
        QTest::newRow("reference to nothing kept") << "&#0;&#xZZ;"
                                                   << "&#0;&#xZZ;";
        QTest::newRow("names are case sensitive") << "&AMP;"
                                                  << "&AMP;";
    }
    void entitiesAreReadInTextAndAttributes()
    {
        QFETCH(QString, encoded);
        QFETCH(QString, decoded);
        Document d;
        const Value doc = d.parse("<a v=\"" + encoded + "\">" + encoded + "</a>");
        QCOMPARE(d.text(doc, "firstChild.firstChild.nodeValue"), decoded);
        QCOMPARE(d.text(doc, "firstChild.attributes.v"), decoded);
    }

    void ignoreWhiteDropsOnlyBlankText_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("children");
        QTest::newRow("blank between elements") << "<a>\n\t<b/>\r\n <c/> </a>"
                                                << "2";
        QTest::newRow("text with spaces kept whole") << "<a> x </a>"
                                                     << "1";
        QTest::newRow("blank cdata dropped too") << "<a><![CDATA[  ]]></a>"
                                                 << "0";
    }
    void ignoreWhiteDropsOnlyBlankText()
    {
        QFETCH(QString, markup);
        QFETCH(QString, children);
        Document d;
        const Value doc = d.parse(markup, true);
        QCOMPARE(d.text(doc, "firstChild.childNodes.length"), children);
        if (children == "1")
            QCOMPARE(d.text(doc, "firstChild.firstChild.nodeValue"), QString(" x "));
    }

    // new XML(source): what each kind of source makes.
    void theConstructorParsesItsArgumentAsText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("children");
        QTest::newRow("nothing") << 0 << ""
                                 << "0";
        QTest::newRow("undefined") << 1 << ""
                                   << "0";
        QTest::newRow("null") << 2 << ""
                              << "0";
        QTest::newRow("number") << 3 << "12.5"
                                << "1";
        QTest::newRow("boolean") << 4 << "true"
                                 << "1";
        QTest::newRow("object") << 5 << "[object Object]"
                                << "1";
        QTest::newRow("markup, extra argument ignored") << 6 << "<a />"
                                                        << "1";
    }
    void theConstructorParsesItsArgumentAsText()
    {
        QFETCH(int, kind);
        QFETCH(QString, written);
        QFETCH(QString, children);
        Document d;
        avm1::Vm& vm = d.vm();
        std::vector<Value> args;
        switch (kind) {
        case 1:
            args = {Value()};
            break;
        case 2:
            args = {Value::null()};
            break;
        case 3:
            args = {Value(12.5)};
            break;
        case 4:
            args = {Value(true)};
            break;
        case 5:
            args = {Value(vm.makeObject())};
            break;
        case 6:
            args = {Value(vm.str("<a/>")), Value(vm.str("<b/>"))};
            break;
        default:
            break;
        }
        const Value doc = vm.construct(vm.getMember(vm.global(), vm.str("XML")), args);
        QCOMPARE(d.text(doc), written);
        QCOMPARE(d.text(doc, "childNodes.length"), children);
        QCOMPARE(d.text(doc, "status"), QString("0"));
        QCOMPARE(d.text(doc, "nodeType"), QString("1"));
    }

    void aDocumentsStateDefaultsOnThePrototype()
    {
        Document d;
        avm1::Vm& vm = d.vm();
        const Value doc = vm.construct(vm.getMember(vm.global(), vm.str("XML")), {});
        const auto own = [&](const char* name) {
            return vm
                .callMethod(doc, vm.str("hasOwnProperty"), std::vector<Value>{Value(vm.str(name))})
                .asBoolean();
        };
        for (const char* name : {"status", "xmlDecl", "docTypeDecl", "loaded", "ignoreWhite"})
            QVERIFY2(!own(name), name);
        QCOMPARE(d.text(doc, "status"), QString("0"));
        QVERIFY(d.get(doc, "loaded").isUndefined());
        // A parse gives the document its own.
        vm.callMethod(doc, vm.str("parseXML"), std::vector<Value>{Value(vm.str("<a>"))});
        QVERIFY(own("status"));
        QCOMPARE(d.text(doc, "status"), QString("-9"));
        const Value proto = d.get(vm.getMember(vm.global(), vm.str("XML")), "prototype");
        QCOMPARE(d.text(proto, "status"), QString("0"));
    }

    void attributesTakeAScriptsObject()
    {
        Document d;
        const Value doc = d.parse("<a x='1'/>");
        const Value a = d.get(doc, "firstChild");
        avm1::Object* own = d.vm().makeObject();
        d.vm().setMember(Value(own), d.vm().str("k"), Value(d.vm().str("<v>")));
        d.vm().setMember(Value(own), d.vm().str("n"), Value(2));
        d.vm().setMember(a, d.vm().str("attributes"), Value(own));
        QCOMPARE(d.get(a, "attributes").asObject(), own);
        // Written in for..in order: the newest property first.
        QCOMPARE(d.text(a), QString("<a n=\"2\" k=\"&lt;v&gt;\" />"));
        // What is no object changes nothing.
        d.vm().setMember(a, d.vm().str("attributes"), Value(d.vm().str("x=1")));
        QCOMPARE(d.get(a, "attributes").asObject(), own);
    }

    void idMapListsElementsByIdFromSwf8()
    {
        Document d(8);
        const Value doc = d.parse("<r><e id='a'>1</e><e><f id='b'/></e><e id='a'>2</e>t</r>");
        QCOMPARE(d.text(doc, "idMap.b"), QString("<f id=\"b\" />"));
        // A later element of the same id takes the place of the earlier.
        QCOMPARE(d.text(doc, "idMap.a"), QString("<e id=\"a\">2</e>"));
        QCOMPARE(d.get(doc, "idMap.a").asObject(),
                 d.get(doc, "firstChild.lastChild.previousSibling").asObject());
        // The map is the document's: a second parse adds to it.
        const Value map = d.get(doc, "idMap");
        d.vm().callMethod(doc, d.vm().str("parseXML"),
                          std::vector<Value>{Value(d.vm().str("<c id='z'/>"))});
        QCOMPARE(d.get(doc, "idMap").asObject(), map.asObject());
        QCOMPARE(d.text(doc, "idMap.z"), QString("<c id=\"z\" />"));

        Document old(7);
        QVERIFY(old.get(old.parse("<e id='a'/>"), "idMap").isUndefined());
    }
};

QTEST_APPLESS_MAIN(XmlMarkupTest)
#include "XmlMarkupTest.moc"
