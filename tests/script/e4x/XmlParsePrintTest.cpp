// Text to E4X nodes and back: each XML setting, references, CDATA, namespaces, and
// the errors the reference reports for broken markup.
#include "XmlTestSupport.h"
#include "script/Limits.h"
#include "script/e4x/XmlNamespaces.h"
#include "script/e4x/XmlQuery.h"

#include <QtTest>

using namespace script;
using namespace script::e4x;
using namespace e4xtest;

class XmlParsePrintTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void references();
    void settingsKeepNodes();
    void topLevel();
    void list();
    void namespacesResolve();
    void namespacesPrint_data();
    void namespacesPrint();
    void madeNamesRoundTrip();
    void toStringSimpleContent();
    void errors_data();
    void errors();
    void depthCap();
};

void XmlParsePrintTest::roundTrip_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("pretty");
    QTest::addColumn<int>("indent");
    QTest::addColumn<bool>("ignoreWhitespace");
    QTest::addColumn<QString>("printed");
    const QString nested = QStringLiteral("<a><b>hi</b><c/></a>");
    QTest::newRow("pretty") << nested << true << 2 << true << "<a>\n  <b>hi</b>\n  <c/>\n</a>";
    QTest::newRow("flat") << nested << false << 2 << true << "<a><b>hi</b><c/></a>";
    QTest::newRow("indent 4") << nested << true << 4 << true
                              << "<a>\n    <b>hi</b>\n    <c/>\n</a>";
    QTest::newRow("indent 0") << nested << true << 0 << true << "<a>\n<b>hi</b>\n<c/>\n</a>";
    // A negative indent prints as pretty printing off does.
    QTest::newRow("negative indent") << nested << true << -3 << true << "<a><b>hi</b><c/></a>";
    QTest::newRow("two levels") << "<a><b><c>1</c></b></a>" << true << 2 << true
                                << "<a>\n  <b>\n    <c>1</c>\n  </b>\n</a>";
    QTest::newRow("mixed content on lines")
        << "<a>x<b/>y</a>" << true << 2 << true << "<a>\n  x\n  <b/>\n  y\n</a>";
    QTest::newRow("text trimmed when read")
        << "<a>  <b>  t  </b>  </a>" << false << 2 << true << "<a><b>t</b></a>";
    QTest::newRow("whitespace kept") << "<a> <b/> </a>" << false << 2 << false << "<a> <b/> </a>";
    QTest::newRow("kept whitespace trimmed by pretty printing")
        << "<a> <b> t </b> </a>" << true << 2 << false << "<a>\n  <b>t</b>\n</a>";
    QTest::newRow("empty element") << "<a></a>" << true << 2 << true << "<a/>";
    QTest::newRow("attributes in order")
        << "<a z='1' b=\"2\"/>" << true << 2 << true << "<a z=\"1\" b=\"2\"/>";
    QTest::newRow("attribute escapes")
        << "<a v='&quot;&lt;&gt;&amp;&#9;&#10;&#13;&apos;'/>" << true << 2 << true
        << "<a v=\"&quot;&lt;>&amp;&#x9;&#xA;&#xD;'\"/>";
    QTest::newRow("text escapes") << "<a>&lt;&gt;&amp;&quot;&apos;</a>" << true << 2 << true
                                  << "<a>&lt;&gt;&amp;\"'</a>";
    QTest::newRow("cdata is text") << "<a><![CDATA[<b>&amp;</b>]]></a>" << true << 2 << true
                                   << "<a>&lt;b&gt;&amp;amp;&lt;/b&gt;</a>";
    QTest::newRow("declaration and doctype dropped")
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE a [<!ENTITY x \"]>\">]>\n<a/>"
        << true << 2 << true << "<a/>";
    QTest::newRow("spaces inside tags")
        << "<a  b = '1' ></a >" << true << 2 << true << "<a b=\"1\"/>";
}

void XmlParsePrintTest::roundTrip()
{
    QFETCH(QString, source);
    QFETCH(bool, pretty);
    QFETCH(int, indent);
    QFETCH(bool, ignoreWhitespace);
    QFETCH(QString, printed);
    Heap heap;
    XmlSettings settings;
    settings.prettyPrinting = pretty;
    settings.prettyIndent = indent;
    settings.ignoreWhitespace = ignoreWhitespace;
    XmlNode* node = parse(heap, source, settings);
    QCOMPARE(print(node, settings), printed);
    // What is printed reads back to an equal tree.
    QCOMPARE(print(parse(heap, print(node, settings), settings), settings), printed);
}

void XmlParsePrintTest::references()
{
    Heap heap;
    XmlNode* node = parse(heap, QStringLiteral("<a v='&#x41;&#66;'>&#x1F600;&nbsp;&#xD800;&amp"
                                               " &amp;amp; & &#x110000;</a>"));
    QVERIFY(node);
    QCOMPARE(q(node->attributes().at(0)->value()), QStringLiteral("AB"));
    // Unknown names, surrogates, out-of-range and unterminated references stay as text.
    QCOMPARE(q(node->children().at(0)->value()),
             QString::fromUtf8("\xF0\x9F\x98\x80") +
                 QStringLiteral("&nbsp;&#xD800;&amp &amp; & &#x110000;"));
}

void XmlParsePrintTest::settingsKeepNodes()
{
    Heap heap;
    const QString source = QStringLiteral("<a><!-- c --><?php echo 1?><b/>\n</a>");
    XmlSettings keep;
    keep.ignoreComments = false;
    keep.ignoreProcessingInstructions = false;
    XmlNode* all = parse(heap, source, keep);
    QVERIFY(all);
    QCOMPARE(all->children().size(), std::size_t(3));
    QCOMPARE(all->children()[0]->kind(), XmlKind::Comment);
    QCOMPARE(q(all->children()[0]->value()), QStringLiteral(" c "));
    QCOMPARE(all->children()[1]->kind(), XmlKind::ProcessingInstruction);
    QCOMPARE(q(all->children()[1]->name().localName), QStringLiteral("php"));
    QCOMPARE(q(all->children()[1]->value()), QStringLiteral("echo 1"));
    QCOMPARE(print(all, keep), QStringLiteral("<a>\n  <!-- c -->\n  <?php echo 1?>\n  <b/>\n</a>"));

    XmlNode* none = parse(heap, source);
    QCOMPARE(print(none), QStringLiteral("<a>\n  <b/>\n</a>"));

    XmlSettings whitespace;
    whitespace.ignoreWhitespace = false;
    XmlNode* spaced = parse(heap, source, whitespace);
    QCOMPARE(spaced->children().size(), std::size_t(2));
    QCOMPARE(q(spaced->children()[1]->value()), QStringLiteral("\n"));
    // A lone instruction child is markup, so it goes on its own line.
    keep.prettyIndent = 1;
    QCOMPARE(print(parse(heap, QStringLiteral("<a><?t?></a>"), keep), keep),
             QStringLiteral("<a>\n <?t?>\n</a>"));
}

void XmlParsePrintTest::topLevel()
{
    Heap heap;
    XmlNode* empty = parse(heap, QString());
    QVERIFY(empty && empty->isText() && empty->value().empty());
    XmlNode* text = parse(heap, QStringLiteral("  hello  "));
    QVERIFY(text && text->isText());
    QCOMPARE(q(text->value()), QStringLiteral("hello"));
    XmlSettings whitespace;
    whitespace.ignoreWhitespace = false;
    XmlNode* root = parse(heap, QStringLiteral("\n <a/> \n"), whitespace);
    QVERIFY(root && root->isElement());
    QCOMPARE(root->parent(), nullptr);
}

void XmlParsePrintTest::list()
{
    Heap heap;
    XmlSettings settings;
    settings.ignoreComments = false;
    auto parsed = parseXmlList(heap, u"<a>1</a>text<!--c--><b/>", settings);
    QVERIFY(parsed);
    const auto& nodes = parsed.value();
    QCOMPARE(nodes.size(), std::size_t(4));
    for (const XmlNode* node : nodes)
        QCOMPARE(node->parent(), nullptr);
    QCOMPARE(q(toXmlString(nodes, settings).value()),
             QStringLiteral("<a>1</a>\ntext\n<!--c-->\n<b/>"));
    settings.prettyPrinting = false;
    // Items stay a line each without pretty printing.
    QCOMPARE(q(toXmlString(nodes, settings).value()),
             QStringLiteral("<a>1</a>\ntext\n<!--c-->\n<b/>"));
    QVERIFY(!hasSimpleContent(nodes));
    QCOMPARE(q(toString(nodes, settings).value()),
             QStringLiteral("<a>1</a>\ntext\n<!--c-->\n<b/>"));

    auto texts = parseXmlList(heap, u"<x>1</x>", settings);
    QVERIFY(texts && hasSimpleContent(texts.value()));
    QCOMPARE(q(toString(texts.value(), settings).value()), QStringLiteral("1"));
    auto none = parseXmlList(heap, u"", settings);
    QVERIFY(none && none.value().empty());
    QVERIFY(hasSimpleContent(none.value()));
}

void XmlParsePrintTest::namespacesResolve()
{
    Heap heap;
    XmlNode* root = parse(heap,
                          QStringLiteral("<p:a xmlns:p='urn:p' xmlns='urn:d' xml:lang='en' "
                                         "p:at='1' plain='2'><b xmlns:p='urn:q'><p:c/></b>"
                                         "<d xmlns=''/></p:a>"),
                          {}, QStringLiteral("urn:default"));
    QVERIFY(root);
    QCOMPARE(q(root->name().uri), QStringLiteral("urn:p"));
    QCOMPARE(q(*root->name().prefix), QStringLiteral("p"));
    QCOMPARE(q(root->attributes()[0]->name().uri), q(kXmlPrefixUri));
    QCOMPARE(q(root->attributes()[1]->name().uri), QStringLiteral("urn:p"));
    // Unprefixed attributes are in no namespace, whatever the default.
    QCOMPARE(q(root->attributes()[2]->name().uri), QString());
    QCOMPARE(root->namespaces().size(), std::size_t(2));
    const XmlNode* b = root->children()[0];
    QCOMPARE(q(b->name().uri), QStringLiteral("urn:d"));
    QCOMPARE(q(b->children()[0]->name().uri), QStringLiteral("urn:q"));
    QCOMPARE(q(root->children()[1]->name().uri), QString());

    // Without a declaration, unprefixed elements take the default namespace given.
    XmlNode* plain = parse(heap, QStringLiteral("<a><b/></a>"), {}, QStringLiteral("urn:x"));
    QCOMPARE(q(plain->children()[0]->name().uri), QStringLiteral("urn:x"));
    QCOMPARE(print(plain), QStringLiteral("<a xmlns=\"urn:x\">\n  <b/>\n</a>"));
}

void XmlParsePrintTest::namespacesPrint_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("child");
    QTest::addColumn<QString>("printed");
    QTest::newRow("declarations kept in place") << "<a xmlns:x=\"u\"><x:b x:c=\"1\"/></a>" << -1
                                                << "<a xmlns:x=\"u\">\n  <x:b x:c=\"1\"/>\n</a>";
    QTest::newRow("child alone declares its prefix")
        << "<a xmlns:x=\"u\"><x:b/></a>" << 0 << "<x:b xmlns:x=\"u\"/>";
    QTest::newRow("child alone carries what is in scope")
        << "<r xmlns:f=\"http://foo\"><c/></r>" << 0 << "<c xmlns:f=\"http://foo\"/>";
    QTest::newRow("default namespace")
        << "<a xmlns=\"u\"><b/></a>" << -1 << "<a xmlns=\"u\">\n  <b/>\n</a>";
    QTest::newRow("default namespace on a child alone")
        << "<a xmlns=\"u\"><b/></a>" << 0 << "<b xmlns=\"u\"/>";
    QTest::newRow("default undeclared")
        << "<a xmlns=\"u\"><b xmlns=\"\"/></a>" << -1 << "<a xmlns=\"u\">\n  <b xmlns=\"\"/>\n</a>";
    QTest::newRow("redeclared prefix") << "<x:a xmlns:x=\"u\"><x:b xmlns:x=\"v\"/></x:a>" << -1
                                       << "<x:a xmlns:x=\"u\">\n  <x:b xmlns:x=\"v\"/>\n</x:a>";
    QTest::newRow("repeat of a parent's declaration dropped")
        << "<a xmlns:x=\"u\"><b xmlns:x=\"u\"/></a>" << -1 << "<a xmlns:x=\"u\">\n  <b/>\n</a>";
    QTest::newRow("xml prefix needs no declaration")
        << "<a xml:lang=\"en\"/>" << -1 << "<a xml:lang=\"en\"/>";
    QTest::newRow("repeated declaration keeps the first")
        << "<p:a xmlns:p=\"u\" xmlns:p=\"v\"/>" << -1 << "<p:a xmlns:p=\"u\"/>";
    QTest::newRow("namespace URI escaped")
        << "<a xmlns:x=\"a&amp;b\"/>" << -1 << "<a xmlns:x=\"a&amp;b\"/>";
}

void XmlParsePrintTest::namespacesPrint()
{
    QFETCH(QString, source);
    QFETCH(int, child);
    QFETCH(QString, printed);
    Heap heap;
    XmlNode* root = parse(heap, source);
    QVERIFY(root);
    const XmlNode* node = child < 0 ? root : root->children().at(static_cast<std::size_t>(child));
    QCOMPARE(print(node), printed);
}

void XmlParsePrintTest::madeNamesRoundTrip()
{
    // Names made by code carry no prefix: printing declares one, and the text reads
    // back to the same names.
    Heap heap;
    XmlNode* element = XmlNode::makeElement(heap, XmlName{u"urn:e", u"e", std::nullopt});
    QVERIFY(element->setAttribute(heap, XmlName{u"urn:a", u"at", std::nullopt}, u"1"));
    QVERIFY(element->setAttribute(heap, XmlName{u"urn:e", u"same", std::nullopt}, u"2"));
    XmlNode* child = XmlNode::makeElement(heap, XmlName{u"", u"plain", std::nullopt});
    QVERIFY(element->appendChild(child));
    XmlSettings flat;
    flat.prettyPrinting = false;
    const QString printed = print(element, flat);
    XmlNode* back = parse(heap, printed);
    QVERIFY2(back, qPrintable(printed));
    QCOMPARE(q(back->name().uri), QStringLiteral("urn:e"));
    QVERIFY2(back->attribute(XmlName{u"urn:a", u"at", {}}), qPrintable(printed));
    QVERIFY2(back->attribute(XmlName{u"urn:e", u"same", {}}), qPrintable(printed));
    QCOMPARE(q(back->children().at(0)->name().uri), QString());
    QCOMPARE(print(back, flat), printed);
}

void XmlParsePrintTest::toStringSimpleContent()
{
    Heap heap;
    XmlSettings keep;
    keep.ignoreComments = false;
    XmlNode* simple = parse(heap, QStringLiteral("<a>hi<!--c-->there</a>"), keep);
    QCOMPARE(q(toString(*simple, keep).value()), QStringLiteral("hithere"));
    XmlNode* complex = parse(heap, QStringLiteral("<a><b>1</b></a>"));
    QCOMPARE(q(toString(*complex, keep).value()), QStringLiteral("<a>\n  <b>1</b>\n</a>"));
    XmlNode* text = XmlNode::makeText(heap, u"  x < y  ");
    QCOMPARE(q(toString(*text, keep).value()), QStringLiteral("  x < y  "));
    QCOMPARE(print(text, keep), QStringLiteral("x &lt; y"));
    XmlSettings flat;
    flat.prettyPrinting = false;
    QCOMPARE(print(text, flat), QStringLiteral("  x &lt; y  "));
    XmlNode* withAttribute = parse(heap, QStringLiteral("<a v='1&amp;\"'/>"));
    const XmlNode& attribute = *withAttribute->attributes()[0];
    QCOMPARE(q(toString(attribute, keep).value()), QStringLiteral("1&\""));
    QCOMPARE(print(&attribute, keep), QStringLiteral("1&amp;&quot;"));
    XmlNode* comment = parse(heap, QStringLiteral("<!--only-->"), keep);
    QCOMPARE(q(toString(*comment, keep).value()), QStringLiteral("<!--only-->"));
}

void XmlParsePrintTest::errors_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("argument2");
    QTest::newRow("unclosed") << "<unterminated><terminated>text</terminated>" << 1085
                              << "unterminated"
                              << "";
    QTest::newRow("wrong end tag")
        << "<unterminated><terminated>text</terminated></unterm>" << 1085 << "unterminated"
        << "";
    QTest::newRow("prefixed end tag") << "<p:a xmlns:p='u'></a>" << 1085 << "p:a"
                                      << "";
    QTest::newRow("extra end tag") << "<root><a><b>c</b></a></root></root>" << 1088 << ""
                                   << "";
    QTest::newRow("two roots") << "<a/><b/>" << 1088 << ""
                               << "";
    QTest::newRow("text after root") << "<a/>tail" << 1088 << ""
                                     << "";
    QTest::newRow("attribute without value") << "<a b></a>" << 1090 << ""
                                             << "";
    QTest::newRow("unquoted value") << "<a b=c/>" << 1090 << ""
                                    << "";
    QTest::newRow("space before name") << "< a/>" << 1090 << ""
                                       << "";
    QTest::newRow("tag cut off") << "<a" << 1090 << ""
                                 << "";
    QTest::newRow("digit starts name") << "<1a/>" << 1090 << ""
                                       << "";
    QTest::newRow("slash inside tag") << "<a / >" << 1090 << ""
                                      << "";
    QTest::newRow("end tag cut off") << "<a></a" << 1090 << ""
                                     << "";
    QTest::newRow("cdata") << "<a><![CDATA[x</a>" << 1091 << ""
                           << "";
    QTest::newRow("declaration") << "<?xml version='1.0'" << 1092 << ""
                                 << "";
    QTest::newRow("doctype") << "<!DOCTYPE a [ <!ENTITY x 'y'> ]" << 1093 << ""
                             << "";
    QTest::newRow("comment") << "<a><!-- x</a>" << 1094 << ""
                             << "";
    QTest::newRow("attribute value") << "<a b='x></a>" << 1095 << ""
                                     << "";
    QTest::newRow("instruction") << "<a><?pi x</a>" << 1097 << ""
                                 << "";
    QTest::newRow("unbound element prefix") << "<ns:x><a>1</a></ns:x>" << 1083 << "ns"
                                            << "x";
    QTest::newRow("prefix bound elsewhere")
        << "<ns:x xmlns:as=\"http://foo.bar\"><a>1</a></ns:x>" << 1083 << "ns"
        << "x";
    QTest::newRow("unbound child prefix")
        << "<ns:b xmlns:ns=\"http://foo.bar\"><as:a>1</as:a></ns:b>" << 1083 << "as"
        << "a";
    QTest::newRow("unbound attribute prefix") << "<a x:y='1'/>" << 1083 << "x"
                                              << "y";
    QTest::newRow("prefix out of scope") << "<a><b xmlns:p='u'/><p:c/></a>" << 1083 << "p"
                                         << "c";
    QTest::newRow("two colons") << "<a:b:c/>" << 1084 << "a:b:c"
                                << "";
    QTest::newRow("empty prefix") << "<:a/>" << 1084 << ":a"
                                  << "";
}

void XmlParsePrintTest::errors()
{
    QFETCH(QString, source);
    QFETCH(int, id);
    QFETCH(QString, argument);
    QFETCH(QString, argument2);
    Heap heap;
    auto parsed = parseXml(heap, u(source), XmlSettings{});
    QVERIFY(!parsed);
    QCOMPARE(static_cast<int>(parsed.error().id), id);
    QCOMPARE(q(parsed.error().argument), argument);
    QCOMPARE(q(parsed.error().argument2), argument2);
}

void XmlParsePrintTest::depthCap()
{
    Heap heap;
    const auto nest = [](std::size_t depth) {
        std::u16string text;
        for (std::size_t i = 0; i < depth; ++i)
            text += u"<a>";
        for (std::size_t i = 0; i < depth; ++i)
            text += u"</a>";
        return text;
    };
    auto deep = parseXml(heap, nest(limits::kMaxXmlParseDepth), XmlSettings{});
    QVERIFY(deep);
    XmlSettings flat;
    flat.prettyPrinting = false;
    auto printed = toXmlString(*deep.value(), flat);
    QVERIFY(printed);
    QCOMPARE(printed.value().size(), limits::kMaxXmlParseDepth * 7 - 3);
    auto tooDeep = parseXml(heap, nest(limits::kMaxXmlParseDepth + 1), XmlSettings{});
    QVERIFY(!tooDeep);
    QCOMPARE(tooDeep.error().id, XmlErrorId::TooLarge);
}

QTEST_GUILESS_MAIN(XmlParsePrintTest)
#include "XmlParsePrintTest.moc"
