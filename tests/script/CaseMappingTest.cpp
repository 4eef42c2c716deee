// Case mapping unit by unit, one to one, within the Unicode of the reference's day, and
// the XML names isXMLName accepts.
#include "script/CaseMapping.h"

#include "script/XmlName.h"

#include <QtTest>

using namespace script;

class CaseMappingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void units_data();
    void units();
    void wholeText();
    void xmlNames_data();
    void xmlNames();
};

void CaseMappingTest::units_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("lower");
    QTest::newRow("ASCII") << int('a') << int('A') << int('a');
    QTest::newRow("y with diaeresis uppers outside Latin-1") << 0xFF << 0x178 << 0xFF;
    QTest::newRow("capital Y with diaeresis") << 0x178 << 0x178 << 0xFF;
    QTest::newRow("micro sign uppers to Greek") << 0xB5 << 0x39C << 0xB5;
    QTest::newRow("sharp s stays one unit") << 0xDF << 0xDF << 0xDF;
    QTest::newRow("dotted capital I lowers to i") << 0x130 << 0x130 << int('i');
    QTest::newRow("dotless i uppers to I") << 0x131 << int('I') << 0x131;
    QTest::newRow("long s uppers to S") << 0x17F << int('S') << 0x17F;
    QTest::newRow("n preceded by apostrophe stays") << 0x149 << 0x149 << 0x149;
    QTest::newRow("titlecase digraph") << 0x1C5 << 0x1C4 << 0x1C6;
    QTest::newRow("Cyrillic") << 0x451 << 0x401 << 0x451;
    QTest::newRow("Armenian") << 0x561 << 0x531 << 0x561;
    QTest::newRow("Armenian ligature ech yiwn stays") << 0x587 << 0x587 << 0x587;
    QTest::newRow("fullwidth") << 0xFF41 << 0xFF21 << 0xFF41;
    QTest::newRow("Hiragana has no case") << 0x3042 << 0x3042 << 0x3042;
    // Unicode 11 gave Mkhedruli capitals (U+1C90...): the reference keeps it as it is.
    QTest::newRow("Georgian Mkhedruli") << 0x10D0 << 0x10D0 << 0x10D0;
    QTest::newRow("Georgian Mtavruli") << 0x1C90 << 0x1C90 << 0x1C90;
    // Unicode 4.1 gave Asomtavruli its small letters (U+2D00), before the cap.
    QTest::newRow("Georgian Asomtavruli") << 0x10A0 << 0x10A0 << 0x2D00;
    // Unicode 8 gave Cherokee small letters.
    QTest::newRow("Cherokee") << 0x13A0 << 0x13A0 << 0x13A0;
    // Unicode 5.1's capital sharp s is after the cap too.
    QTest::newRow("capital sharp s") << 0x1E9E << 0x1E9E << 0x1E9E;
    QTest::newRow("surrogate unit") << 0xD801 << 0xD801 << 0xD801;
}

void CaseMappingTest::units()
{
    QFETCH(int, unit);
    QFETCH(int, upper);
    QFETCH(int, lower);
    QCOMPARE(int(toUpperCaseUnit(char16_t(unit))), upper);
    QCOMPARE(int(toLowerCaseUnit(char16_t(unit))), lower);
}

void CaseMappingTest::wholeText()
{
    QCOMPARE(QString::fromStdU16String(toUpperCase(u"Straße \u00e9\u0451")),
             QString::fromUtf16(u"STRAßE \u00c9\u0401"));
    // Units, not code points: a supplementary capital (Deseret) stays.
    QCOMPARE(QString::fromStdU16String(toLowerCase(u"\u0130STANBUL \U00010400")),
             QString::fromUtf16(u"istanbul \U00010400"));
}

void CaseMappingTest::xmlNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("letters") << "item" << true;
    QTest::newRow("underscore start, digits and marks after") << "_a-1.b" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("digit start") << "1a" << false;
    QTest::newRow("hyphen start") << "-a" << false;
    QTest::newRow("point start") << ".a" << false;
    QTest::newRow("no colon in a local name") << "a:b" << false;
    QTest::newRow("space") << "a b" << false;
    QTest::newRow("middle dot after") << QString::fromUtf16(u"a\u00b7") << true;
    QTest::newRow("middle dot first") << QString::fromUtf16(u"\u00b7a") << false;
    QTest::newRow("combining mark after") << QString::fromUtf16(u"e\u0301") << true;
    QTest::newRow("combining mark first") << QString::fromUtf16(u"\u0301e") << false;
    QTest::newRow("multiplication sign") << QString::fromUtf16(u"a\u00d7") << false;
    QTest::newRow("CJK") << QString::fromUtf16(u"\u540d\u524d") << true;
    QTest::newRow("ideographic comma") << QString::fromUtf16(u"\u3000a") << false;
    QTest::newRow("supplementary letter") << QString::fromUtf16(u"\U00010400") << true;
    QTest::newRow("lone surrogate") << QString(QChar(0xD801)) << false;
    QTest::newRow("past the name planes") << QString::fromUcs4(U"\U000F0000") << false;
}

void CaseMappingTest::xmlNames()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(isXmlName(name.toStdU16String()), valid);
}

QTEST_GUILESS_MAIN(CaseMappingTest)
#include "CaseMappingTest.moc"
