// The XML reader on its own: the nodes it makes, the status codes it reports, its caps,
// entity decoding and the escaping toString uses; and the text a loaded file becomes.
#include "avm1/builtins/XmlParser.h"

#include "avm1/Limits.h"
#include "avm1/builtins/Loads.h"

#include <QtTest>

using avm1::xml::ParsedDocument;
using avm1::xml::ParseStatus;

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
            avm1::xml::parse("<a x='1' y=\"&lt;2&gt;\" x='dup'>t<b/>u</a>v", false);
        QCOMPARE(doc.status, ParseStatus::Ok);
        QCOMPARE(describe(doc),
                 QStringList({"-1:a[x=1,y=<2>]", "0:'t'", "0:b", "0:'u'", "-1:'v'"}));
        QVERIFY(!doc.xmlDecl);
        QVERIFY(!doc.docTypeDecl);
    }

    void ignoreWhiteDropsOnlyBlankText()
    {
        const std::string markup = "<a> <b/>\n\t</a> x \r\n";
        QCOMPARE(describe(avm1::xml::parse(markup, true)),
                 QStringList({"-1:a", "0:b", "-1:' x \r\n'"}));
        QCOMPARE(describe(avm1::xml::parse(markup, false)),
                 QStringList({"-1:a", "0:' '", "0:b", "0:'\n\t'", "-1:' x \r\n'"}));
    }

    void commentsVanishWhileCdataAndDeclarationsAreKept()
    {
        const ParsedDocument doc =
            avm1::xml::parse("<?xml version='1.0'?><!DOCTYPE r [<!ENTITY e '>'>]><!--<c>-->"
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
        QCOMPARE(avm1::xml::parse(markup.toStdString(), false).status, status);
    }

    void whatWasReadBeforeAFaultStays()
    {
        const ParsedDocument doc = avm1::xml::parse("<a><b/>t</c><d/>", false);
        QCOMPARE(doc.status, ParseStatus::EndTagUnmatched);
        QCOMPARE(describe(doc), QStringList({"-1:a", "0:b", "0:'t'"}));
    }

    void depthAndNodeCountAreCapped()
    {
        const std::size_t depth = avm1::limits::kMaxXmlDepth;
        const std::string deepest = repeated("<a>", depth) + repeated("</a>", depth);
        QCOMPARE(avm1::xml::parse(deepest, false).status, ParseStatus::Ok);
        const std::string deeper = repeated("<a>", depth + 1) + repeated("</a>", depth + 1);
        const ParsedDocument tooDeep = avm1::xml::parse(deeper, false);
        QCOMPARE(tooDeep.status, ParseStatus::OutOfMemory);
        QCOMPARE(tooDeep.nodes.size(), depth);

        const std::string many = repeated("<a/>", avm1::limits::kMaxXmlParsedNodes + 1);
        const ParsedDocument tooMany = avm1::xml::parse(many, false);
        QCOMPARE(tooMany.status, ParseStatus::OutOfMemory);
        QCOMPARE(tooMany.nodes.size(), avm1::limits::kMaxXmlParsedNodes);
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
        QCOMPARE(QString::fromStdString(avm1::xml::decodeEntities(text.toStdString())), decoded);
    }

    void escapingCoversTheFiveSpecialCharacters()
    {
        std::string out = "=";
        avm1::xml::appendEscaped(out, "<a href=\"x\">it's & more</a>");
        QCOMPARE(out, std::string("=&lt;a href=&quot;x&quot;&gt;it&apos;s &amp; more&lt;/a&gt;"));
    }

    void loadedTextDropsMarksAndReadsUtf16()
    {
        using Bytes = std::vector<std::uint8_t>;
        QCOMPARE(avm1::loadedText(Bytes{0xEF, 0xBB, 0xBF, 'h', 'i'}), std::string("hi"));
        QCOMPARE(avm1::loadedText(Bytes{'h', 0xC3, 0xA9}), std::string("h\xC3\xA9"));
        QCOMPARE(avm1::loadedText(Bytes{0xFF, 0xFE, 'A', 0, 0xE9, 0}), std::string("A\xC3\xA9"));
        QCOMPARE(avm1::loadedText(Bytes{0xFE, 0xFF, 0, 'A', 0xD8, 0x3D, 0xDE, 0x00}),
                 std::string("A\xF0\x9F\x98\x80"));
        // A lone surrogate, then an odd byte left over.
        QCOMPARE(avm1::loadedText(Bytes{0xFF, 0xFE, 0x00, 0xDC, 'B', 0, 'C'}),
                 std::string("\xEF\xBF\xBD"
                             "B"));
    }

    // System.useCodepage: text that is no UTF-8 is read as Japanese where it can only
    // be that, else as Windows-1252; UTF-8 and marked text stay as they are.
    void codePagesReadLegacyText()
    {
        using Bytes = std::vector<std::uint8_t>;
        const struct {
            const char* name;
            Bytes bytes;
            std::string expected;
        } cases[] = {
            {"UTF-8 stays", {'a', 0xC3, 0x84}, "a\xC3\x84"},
            {"Latin-1 capitals and sharp s",
             {0xC4, 0xD6, 0xDC, ' ', 0xDF},
             "\xC3\x84\xC3\x96\xC3\x9C \xC3\x9F"},
            {"Windows-1252 punctuation",
             {0x93, 'h', 'i', 0x94, ' ', 0x80},
             "\xE2\x80\x9Chi\xE2\x80\x9D \xE2\x82\xAC"},
            {"a byte Windows-1252 leaves out", {0x81}, "\xC2\x81"},
            {"kanji", {0x95, 0xD0, 0x89, 0xBC, 0x96, 0xBC}, "\xE7\x89\x87\xE4\xBB\xAE\xE5\x90\x8D"},
            {"hiragana among ASCII", {'x', 0x82, 0xA0, 'y'}, "x\xE3\x81\x82y"},
            // An accent before a letter makes a valid pair, but no Japanese text.
            {"French", {0xE9, 't', 0xE9}, "\xC3\xA9t\xC3\xA9"},
            {"French, pairs only", {0xE9, 't', 'a', 'i', 't'}, "\xC3\xA9tait"},
            {"a lead byte at the end", {0x82, 0xA0, 0x82}, "\xE2\x80\x9A\xC2\xA0\xE2\x80\x9A"},
            {"half-width katakana", {0x82, 0xA0, 0xB1}, "\xE2\x80\x9A\xC2\xA0\xC2\xB1"},
        };
        for (const auto& c : cases) {
            const std::string got = avm1::loadedText(c.bytes, true);
            if (got != c.expected)
                qWarning("case %s", c.name);
            QCOMPARE(got, c.expected);
        }
        // Without the switch the bytes pass as they are; a mark wins over it.
        QCOMPARE(avm1::loadedText(Bytes{0xC4}), std::string("\xC4"));
        QCOMPARE(avm1::loadedText(Bytes{0xEF, 0xBB, 0xBF, 0xC3, 0x84}, true),
                 std::string("\xC3\x84"));
    }
};

QTEST_APPLESS_MAIN(XmlParserTest)
#include "XmlParserTest.moc"
