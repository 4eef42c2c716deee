// Text input into a focused field, as the player hands it over: restrict lists (odd
// ones included), typing, the editing keys, the clipboard, maxChars and line breaks.
#include "TestMovie.h"
#include "runtime/EditTextObject.h"
#include "runtime/MoviePlayer.h"
#include "runtime/TextRestrict.h"

#include <QtTest>

using namespace testmovie;
using runtime::TextCommand;

namespace {

std::u32string utf32(const QString& text)
{
    const QList<uint> points = text.toUcs4();
    return std::u32string(points.begin(), points.end());
}

// What a field with the list keeps of `typed`.
QString admitted(const QString& list, const QString& typed)
{
    const runtime::TextRestrict restrict(utf32(list));
    std::u32string kept;
    for (const char32_t c : utf32(typed)) {
        if (const auto in = restrict.admit(c))
            kept.push_back(*in);
    }
    return QString::fromUcs4(kept.data(), qsizetype(kept.size()));
}

// A stage with one input field "field" (empty), focused by the keys.
struct Typing {
    Typing()
        : player(
              Builder().editText(10, "").main(timeline({{named(place(1, 10), "field")}})).build(),
              host)
    {
        player.setScriptEngine(&engine);
        field = static_cast<runtime::EditTextObject*>(player.findByPath("field"));
        player.input().focus().setFocus(player.root(), field->shared_from_this());
        player.runActions();
        engine.clear();
    }
    ~Typing() { player.setScriptEngine(nullptr); }

    QString text() const { return QString::fromStdString(field->plainText()); }
    std::pair<std::size_t, std::size_t> selection() const
    {
        return {field->selection().anchor, field->selection().caret};
    }
    void commands(std::initializer_list<TextCommand> list)
    {
        for (TextCommand command : list)
            player.textCommand(command);
    }
    // The changes the scripts were told of since the last call.
    std::size_t changes()
    {
        const auto count =
            std::count_if(engine.actions.begin(), engine.actions.end(), [](const auto& a) {
                return a.kind == runtime::QueuedAction::Kind::TextChanged;
            });
        engine.clear();
        return std::size_t(count);
    }

    RecordingHost host;
    RecordingEngine engine;
    runtime::MoviePlayer player;
    runtime::EditTextObject* field = nullptr;
};

} // namespace

class TextEditingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void restrictLists_data();
    void restrictLists();
    void typingGoesInAtTheCaret();
    void editingKeysMoveAndDelete();
    void lineBreaksOnlyInMultilineFields();
    void maxCharsCutsWhatWouldNotFit();
    void clipboardCommands();
    void passwordAndDynamicFields();
    void onlyTheFocusedFieldTakesText();
};

void TextEditingTest::restrictLists_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("expected");
    // Every row types the same characters.
    QTest::newRow("letters") << "a-z"
                             << "abcabc";
    // A letter beyond basic Latin does not go in as its other case.
    QTest::newRow("other case of a letter") << "aB*\u0394"
                                            << "aBaB*";
    QTest::newRow("range then single") << "a-bA"
                                       << "abAb";
    QTest::newRow("trailing dash") << "a-"
                                   << "aa";
    QTest::newRow("leading dash starts at nothing") << "-b"
                                                    << "abCABC012^\\-* &";
    QTest::newRow("reversed range holds its start") << "b-a"
                                                    << "bb";
    QTest::newRow("dashes alone") << "---"
                                  << "";
    QTest::newRow("dash run counts once") << "-----b"
                                          << "abCABC012^\\-* &";
    QTest::newRow("range after a range starts at nothing") << "a-b-A"
                                                           << "abAb012-* &";
    QTest::newRow("escaped range ends") << "\\\\-\\^"
                                        << "^\\";
    QTest::newRow("caret alone lets in everything") << "^"
                                                    << "abcABC012^\\-* &\u0105\u03b4\u0141";
    QTest::newRow("caret twice too") << "^^"
                                     << "abcABC012^\\-* &\u0105\u03b4\u0141";
    QTest::newRow("escaped caret") << "\\^a"
                                   << "aa^";
    QTest::newRow("everything but") << "^a\u0105"
                                    << "AbcABC012^\\-* &\u03b4\u0141";
    QTest::newRow("switching") << "a^b^c^A^B"
                               << "aBcaBc";
    QTest::newRow("trailing backslash") << "a\\"
                                        << "aa";
    QTest::newRow("escaped dash") << "a\\-z"
                                  << "aa-";
    QTest::newRow("printable ascii") << " -~"
                                     << "abcABC012^\\-* &";
    QTest::newRow("beyond latin, no case") << "\u03b1-\u03c9"
                                           << "\u03b4";
}

void TextEditingTest::restrictLists()
{
    QFETCH(QString, list);
    QFETCH(QString, expected);
    QCOMPARE(admitted(list, "abcABC012^\\-* &\u0105\u03b4\u0141"), expected);
}

void TextEditingTest::typingGoesInAtTheCaret()
{
    Typing t;
    t.player.textInput("ab");
    t.player.textInput("\xF0\x9F\x98\x80"); // one character, two units
    QCOMPARE(t.text(), QString("ab\U0001F600"));
    QCOMPARE(t.selection(), (std::pair<std::size_t, std::size_t>{4, 4}));
    QCOMPARE(t.changes(), std::size_t(2));
    t.commands({TextCommand::MoveLeft, TextCommand::MoveLeft});
    t.player.textInput("X");
    QCOMPARE(t.text(), QString("aXb\U0001F600"));
    // Controls are never typed and change nothing.
    t.changes();
    t.player.textInput("\t");
    t.player.textInput("\x1b");
    QCOMPARE(t.changes(), std::size_t(0));
    // Typing replaces the selection.
    t.commands({TextCommand::SelectAll});
    t.player.textInput("z");
    QCOMPARE(t.text(), QString("z"));
}

void TextEditingTest::editingKeysMoveAndDelete()
{
    Typing t;
    t.player.textInput("one two\xF0\x9F\x98\x80");
    t.commands({TextCommand::Backspace});
    QCOMPARE(t.text(), QString("one two"));
    t.commands({TextCommand::MoveLeftWord});
    QCOMPARE(t.selection().second, std::size_t(4));
    t.commands({TextCommand::MoveTextStart, TextCommand::Delete});
    QCOMPARE(t.text(), QString("ne two"));
    t.commands({TextCommand::MoveRightWord, TextCommand::SelectRight, TextCommand::SelectRight});
    QCOMPARE(t.selection(), (std::pair<std::size_t, std::size_t>{3, 5}));
    // Moving with a selection goes to its end; deleting takes it whole.
    t.commands({TextCommand::MoveLeft});
    QCOMPARE(t.selection(), (std::pair<std::size_t, std::size_t>{3, 3}));
    t.commands({TextCommand::SelectLineEnd, TextCommand::Delete});
    QCOMPARE(t.text(), QString("ne "));
    // Nothing left to delete changes nothing.
    t.changes();
    t.commands({TextCommand::MoveTextEnd, TextCommand::Delete, TextCommand::MoveTextStart,
                TextCommand::Backspace, TextCommand::MoveLeft});
    QCOMPARE(t.changes(), std::size_t(0));
    QCOMPARE(t.selection(), (std::pair<std::size_t, std::size_t>{0, 0}));
}

void TextEditingTest::lineBreaksOnlyInMultilineFields()
{
    Typing t;
    t.player.textInput("a");
    t.commands({TextCommand::Enter});
    t.player.setClipboardText("b\r\nc");
    t.commands({TextCommand::Paste});
    QCOMPARE(t.text(), QString("abc"));
    t.field->setMultiline(true);
    t.commands({TextCommand::Enter, TextCommand::Paste});
    QCOMPARE(t.text(), QString("abc\rb\rc"));
    t.commands({TextCommand::MoveLineStart});
    QCOMPARE(t.selection().second, std::size_t(6));
    // A wrapped line starts where it wraps, not at its paragraph's start.
    t.field->setText("");
    t.field->setWordWrap(true);
    t.player.textInput("aaaa bbbb cccc dddd eeee ffff gggg hhhh");
    t.commands({TextCommand::MoveLineStart});
    const std::size_t start = t.selection().second;
    QVERIFY2(start > 0 && start < 39, qPrintable(QString::number(start)));
    QCOMPARE(t.text().at(qsizetype(start) - 1), QChar(' '));
    t.commands({TextCommand::MoveLeft, TextCommand::MoveLineEnd});
    QCOMPARE(t.selection().second, start);
}

void TextEditingTest::maxCharsCutsWhatWouldNotFit()
{
    Typing t;
    t.field->setMaxChars(4);
    t.player.textInput("abc");
    t.player.textInput("\xF0\x9F\x98\x80"); // two units do not fit in one
    t.player.textInput("def");
    QCOMPARE(t.text(), QString("abcd"));
    t.player.setClipboardText("xyz");
    t.commands({TextCommand::SelectLeft, TextCommand::SelectLeft, TextCommand::Paste});
    QCOMPARE(t.text(), QString("abxy"));
    QCOMPARE(t.selection().second, std::size_t(4));
}

void TextEditingTest::clipboardCommands()
{
    Typing t;
    t.player.textInput("copy me");
    t.commands({TextCommand::SelectLeftWord, TextCommand::Copy});
    QCOMPARE(QString::fromStdString(t.player.clipboardText()), QString("me"));
    t.commands({TextCommand::Cut});
    QCOMPARE(t.text(), QString("copy "));
    t.commands({TextCommand::MoveTextStart, TextCommand::Paste});
    QCOMPARE(t.text(), QString("mecopy "));
    // An empty clipboard pastes nothing and keeps the selection.
    t.player.setClipboardText("");
    t.commands({TextCommand::SelectAll, TextCommand::Paste});
    QCOMPARE(t.text(), QString("mecopy "));
    QCOMPARE(t.selection(), (std::pair<std::size_t, std::size_t>{0, 7}));
}

void TextEditingTest::passwordAndDynamicFields()
{
    Typing t;
    t.player.textInput("secret");
    t.field->setPassword(true);
    t.player.setClipboardText("kept");
    t.commands({TextCommand::SelectAll, TextCommand::Copy, TextCommand::Cut});
    QCOMPARE(QString::fromStdString(t.player.clipboardText()), QString("kept"));
    QCOMPARE(t.text(), QString("secret"));
    // A dynamic field is not edited, but it selects and copies.
    t.field->setPassword(false);
    t.field->setReadOnly(true);
    t.player.textInput("x");
    t.commands(
        {TextCommand::Backspace, TextCommand::Paste, TextCommand::SelectAll, TextCommand::Copy});
    QCOMPARE(t.text(), QString("secret"));
    QCOMPARE(QString::fromStdString(t.player.clipboardText()), QString("secret"));
}

void TextEditingTest::onlyTheFocusedFieldTakesText()
{
    Typing t;
    t.player.input().focus().setFocus(t.player.root(), nullptr);
    t.player.textInput("a");
    t.commands({TextCommand::Paste});
    QCOMPARE(t.text(), QString());
    // The player's window losing the keyboard takes the focus away.
    t.player.input().focus().setFocus(t.player.root(), t.field->shared_from_this());
    t.player.windowFocusChanged(false);
    QVERIFY(!t.player.input().focus().focused());
}

QTEST_APPLESS_MAIN(TextEditingTest)
#include "TextEditingTest.moc"
