// The legacy XML tree's text: the reader's nodes, the status codes it reports, its caps
// and entity decoding; the markup pieces toString writes; prefixes and declarations.
#include "script/xml/XmlParser.h"

#include "script/Limits.h"
#include "script/xml/XmlMarkup.h"
#include "script/xml/XmlNames.h"

#include <QtTest>

using script::xml::ParsedDocument;
using script::xml::ParseStatus;

Q_DECLARE_METATYPE(ParseStatus)

namespace {

// Each node as "parent:name[attr=value,...]" or "parent:'text'".
QStringList describe(const ParsedDocument& doc)
{
    QStringList out;
    for (const auto& node : doc.nodes) {
        QString line = QString::number(node.parent) + ':';
        if (node.text) {
            line += '\'' + QString::fromStdString(node.nameOrValue) + '\'';
        } else {
            line += QString::fromStdString(node.nameOrValue);
            QStringList attributes;
            for (const auto& a : node.attributes)
                attributes << QString::fromStdString(a.name + '=' + a.value);
            if (!attributes.isEmpty())
                line += '[' + attributes.join(',') + ']';
        }
        out << line;
    }
    return out;
}

std::string repeated(std::string_view piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

} // namespace

class XmlParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nodesComeInDocumentOrderUnderTheirParents()
    {
        const ParsedDocument doc =
            script::xml::parse("<a x='1' y=\"&lt;2&gt;\" x='dup'>t<b/>u</a>v", false);
        QCOMPARE(doc.status, ParseStatus::Ok);
        QCOMPARE(describe(doc),
                 QStringList({"-1:a[x=1,y=<2>]", "0:'t'", "0:b", "0:'u'", "-1:'v'"}));
        QVERIFY(!doc.xmlDecl);
        QVERIFY(!doc.docTypeDecl);
    }

    void ignoreWhiteDropsOnlyBlankText()
    {
        const std::string markup = "<a> <b/>\n\t</a> x \r\n";
        QCOMPARE(describe(script::xml::parse(markup, true)),
                 QStringList({"-1:a", "0:b", "-1:' x \r\n'"}));
        QCOMPARE(describe(script::xml::parse(markup, false)),
                 QStringList({"-1:a", "0:' '", "0:b", "0:'\n\t'", "-1:' x \r\n'"}));
    }

    void commentsVanishWhileCdataAndDeclarationsAreKept()
    {
        const ParsedDocument doc =
            script::xml::parse("<?xml version='1.0'?><!DOCTYPE r [<!ENTITY e '>'>]><!--<c>-->"
                               "<r>a<!-- x -->b<![CDATA[<&amp;>]]></r>",
                               true);
        QCOMPARE(doc.status, ParseStatus::Ok);
        QCOMPARE(describe(doc), QStringList({"-1:r", "0:'a'", "0:'b'", "0:'<&amp;>'"}));
        QCOMPARE(doc.xmlDecl.value_or(""), std::string("<?xml version='1.0'?>"));
        QCOMPARE(doc.docTypeDecl.value_or(""), std::string("<!DOCTYPE r [<!ENTITY e '>'>]>"));
    }

    void statusNamesTheFirstFault_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<ParseStatus>("status");
        QTest::newRow("empty") << "" << ParseStatus::Ok;
        QTest::newRow("empty element") << "<a/>" << ParseStatus::Ok;
        QTest::newRow("space before the end") << "<a  b = 'c' ></a >" << ParseStatus::Ok;
        QTest::newRow("stray >") << "a > b" << ParseStatus::Ok;
        QTest::newRow("cdata") << "<a><![CDATA[x</a>" << ParseStatus::CdataUnterminated;
        QTest::newRow("declaration") << "<?xml version" << ParseStatus::DeclarationUnterminated;
        QTest::newRow("doctype") << "<!DOCTYPE a [ <!ENTITY b '>'"
                                 << ParseStatus::DoctypeUnterminated;
        QTest::newRow("comment") << "<a><!-- x </a>" << ParseStatus::CommentUnterminated;
        QTest::newRow("no name") << "<>" << ParseStatus::ElementMalformed;
        QTest::newRow("open at the end") << "<a" << ParseStatus::ElementMalformed;
        QTest::newRow("attribute without value") << "<a b>" << ParseStatus::ElementMalformed;
        QTest::newRow("unquoted value") << "<a b=c>" << ParseStatus::ElementMalformed;
        QTest::newRow("slash alone") << "<a / >" << ParseStatus::ElementMalformed;
        QTest::newRow("end tag open") << "<a></a" << ParseStatus::ElementMalformed;
        QTest::newRow("value unterminated") << "<a b='c>" << ParseStatus::AttributeUnterminated;
        QTest::newRow("unclosed") << "<a>" << ParseStatus::ElementUnclosed;
        QTest::newRow("outer closed first") << "<a><b></a>" << ParseStatus::ElementUnclosed;
        QTest::newRow("end without start") << "</a>" << ParseStatus::EndTagUnmatched;
        QTest::newRow("end of another name") << "<a></b>" << ParseStatus::EndTagUnmatched;
    }

    void statusNamesTheFirstFault()
    {
        QFETCH(QString, markup);
        QFETCH(ParseStatus, status);
        QCOMPARE(script::xml::parse(markup.toStdString(), false).status, status);
    }

    void whatWasReadBeforeAFaultStays()
    {
        const ParsedDocument doc = script::xml::parse("<a><b/>t</c><d/>", false);
        QCOMPARE(doc.status, ParseStatus::EndTagUnmatched);
        QCOMPARE(describe(doc), QStringList({"-1:a", "0:b", "0:'t'"}));
    }

    void depthAndNodeCountAreCapped()
    {
        const std::size_t depth = script::limits::kMaxXmlDepth;
        const std::string deepest = repeated("<a>", depth) + repeated("</a>", depth);
        QCOMPARE(script::xml::parse(deepest, false).status, ParseStatus::Ok);
        const std::string deeper = repeated("<a>", depth + 1) + repeated("</a>", depth + 1);
        const ParsedDocument tooDeep = script::xml::parse(deeper, false);
        QCOMPARE(tooDeep.status, ParseStatus::OutOfMemory);
        QCOMPARE(tooDeep.nodes.size(), depth);

        const std::string many = repeated("<a/>", script::limits::kMaxXmlParsedNodes + 1);
        const ParsedDocument tooMany = script::xml::parse(many, false);
        QCOMPARE(tooMany.status, ParseStatus::OutOfMemory);
        QCOMPARE(tooMany.nodes.size(), script::limits::kMaxXmlParsedNodes);
    }

    void entitiesDecode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("predefined") << "&lt;&gt;&amp;&quot;&apos;"
                                    << "<>&\"'";
        QTest::newRow("character references") << "&#65;&#x42;&#X43;"
                                              << "ABC";
        QTest::newRow("outside the basic plane") << "&#x1F600;" << QString::fromUcs4(U"\U0001F600");
        QTest::newRow("undeclared") << "&nbsp;x"
                                    << "&nbsp;x";
        QTest::newRow("bare ampersand") << "a & b"
                                        << "a & b";
        QTest::newRow("unterminated") << "&lt"
                                      << "&lt";
        QTest::newRow("nul") << "&#0;"
                             << "&#0;";
        QTest::newRow("surrogate") << "&#xD800;"
                                   << "&#xD800;";
        QTest::newRow("past the last code point") << "&#x110000;"
                                                  << "&#x110000;";
        QTest::newRow("not digits") << "&#12a;"
                                    << "&#12a;";
    }

    void entitiesDecode()
    {
        QFETCH(QString, text);
        QFETCH(QString, decoded);
        QCOMPARE(QString::fromStdString(script::xml::decodeEntities(text.toStdString())), decoded);
    }

    void escapingCoversTheFiveSpecialCharacters()
    {
        std::string out = "=";
        script::xml::appendEscaped(out, "<a href=\"x\">it's & more</a>");
        QCOMPARE(out, std::string("=&lt;a href=&quot;x&quot;&gt;it&apos;s &amp; more&lt;/a&gt;"));
    }

    void markupPiecesMakeElements()
    {
        std::string out;
        script::xml::appendStartTagOpen(out, "p:a");
        script::xml::appendAttribute(out, "x", "1 < 2 & \"q\"");
        script::xml::appendStartTagClose(out, true);
        script::xml::appendStartTagOpen(out, "b");
        script::xml::appendStartTagClose(out, false);
        script::xml::appendEndTag(out, "p:a");
        QCOMPARE(out, std::string("<p:a x=\"1 &lt; 2 &amp; &quot;q&quot;\"><b /></p:a>"));
    }

    void namesSplitAtTheFirstColon()
    {
        const auto plain = script::xml::splitName("item");
        QVERIFY(!plain.prefixed);
        QCOMPARE(plain.prefix, std::string_view());
        QCOMPARE(plain.localName, std::string_view("item"));
        const auto twice = script::xml::splitName("a:b:c");
        QVERIFY(twice.prefixed);
        QCOMPARE(twice.prefix, std::string_view("a"));
        QCOMPARE(twice.localName, std::string_view("b:c"));
        const auto empty = script::xml::splitName(":x");
        QVERIFY(empty.prefixed);
        QCOMPARE(empty.prefix, std::string_view());
    }

    void declarationsNameTheirPrefix()
    {
        auto declared = [](std::string_view attribute) {
            const auto prefix = script::xml::declaredPrefix(attribute);
            return prefix ? QString::fromUtf8(prefix->data(), qsizetype(prefix->size()))
                          : QStringLiteral("none");
        };
        QCOMPARE(declared("xmlns"), QString(""));
        QCOMPARE(declared("xmlns:"), QString(""));
        QCOMPARE(declared("xmlns:p"), QString("p"));
        // Any other name starting with xmlns declares the default namespace.
        QCOMPARE(declared("xmlnsfoo"), QString(""));
        QCOMPARE(declared("xml"), QString("none"));
        QCOMPARE(declared("p:xmlns"), QString("none"));
    }
};

QTEST_APPLESS_MAIN(XmlParserTest)
#include "XmlParserTest.moc"
