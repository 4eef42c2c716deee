// The text a loaded file becomes: byte order marks dropped, UTF-16 read, and legacy
// code pages when System.useCodepage asks for them.
#include "avm1/builtins/Loads.h"

#include <QtTest>

class LoadedTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

QTEST_APPLESS_MAIN(LoadedTextTest)
#include "LoadedTextTest.moc"
