#include "InputScript.h"

#include "runtime/KeyCodes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <array>
#include <utility>

namespace swfrun {

namespace {

using Type = InputEvent::Type;

constexpr std::array<std::pair<const char*, Type>, 11> kTypes{{
    {"MouseMove", Type::MouseMove},
    {"MouseDown", Type::MouseDown},
    {"MouseUp", Type::MouseUp},
    {"KeyDown", Type::KeyDown},
    {"KeyUp", Type::KeyUp},
    {"TextInput", Type::TextInput},
    {"TextControl", Type::TextControl},
    {"SetClipboardText", Type::SetClipboardText},
    {"FocusGained", Type::FocusGained},
    {"FocusLost", Type::FocusLost},
    {"Wait", Type::Wait},
}};

namespace key = runtime::key;

constexpr std::array<std::pair<const char*, int>, 26> kNamedKeys{{
    {"Backspace", key::Backspace},
    {"Tab", key::Tab},
    {"Enter", key::Enter},
    {"Return", key::Enter},
    {"Shift", key::Shift},
    {"Control", key::Control},
    {"Alt", key::Alt},
    {"Pause", key::Pause},
    {"CapsLock", key::CapsLock},
    {"Escape", key::Escape},
    {"Space", key::Space},
    {"PageUp", key::PageUp},
    {"PageDown", key::PageDown},
    {"End", key::End},
    {"Home", key::Home},
    {"ArrowLeft", key::Left},
    {"ArrowUp", key::Up},
    {"ArrowRight", key::Right},
    {"ArrowDown", key::Down},
    {"Insert", key::Insert},
    {"Delete", key::Delete},
    {"NumLock", key::NumLock},
    {"ScrollLock", key::ScrollLock},
    {"Left", key::Left},
    {"Right", key::Right},
    {"Up", key::Up},
}};

// Function keys F1 to F15.
constexpr int kFunctionKeys = 15;

using Command = runtime::TextCommand;

constexpr std::array<std::pair<const char*, Command>, 25> kCommands{{
    {"MoveLeft", Command::MoveLeft},
    {"MoveRight", Command::MoveRight},
    {"MoveLeftWord", Command::MoveLeftWord},
    {"MoveRightWord", Command::MoveRightWord},
    {"MoveLeftLine", Command::MoveLineStart},
    {"MoveRightLine", Command::MoveLineEnd},
    {"MoveLeftDocument", Command::MoveTextStart},
    {"MoveRightDocument", Command::MoveTextEnd},
    {"SelectLeft", Command::SelectLeft},
    {"SelectRight", Command::SelectRight},
    {"SelectLeftWord", Command::SelectLeftWord},
    {"SelectRightWord", Command::SelectRightWord},
    {"SelectLeftLine", Command::SelectLineStart},
    {"SelectRightLine", Command::SelectLineEnd},
    {"SelectLeftDocument", Command::SelectTextStart},
    {"SelectRightDocument", Command::SelectTextEnd},
    {"SelectAll", Command::SelectAll},
    {"Copy", Command::Copy},
    {"Cut", Command::Cut},
    {"Paste", Command::Paste},
    {"Backspace", Command::Backspace},
    {"BackspaceWord", Command::BackspaceWord},
    {"Delete", Command::Delete},
    {"DeleteWord", Command::DeleteWord},
    {"Enter", Command::Enter},
}};

std::optional<Type> typeNamed(const QString& name)
{
    for (const auto& [text, type] : kTypes) {
        if (name == QLatin1String(text))
            return type;
    }
    return std::nullopt;
}

// The first character of a string, as a code point; 0 for an empty one.
char32_t firstCodePoint(const QString& text)
{
    const QList<uint> points = text.toUcs4();
    return points.isEmpty() ? 0 : static_cast<char32_t>(points.front());
}

runtime::MoviePlayer::MouseButton buttonNamed(const QString& name)
{
    if (name == QLatin1String("Right"))
        return runtime::MoviePlayer::MouseButton::Right;
    if (name == QLatin1String("Middle"))
        return runtime::MoviePlayer::MouseButton::Middle;
    return runtime::MoviePlayer::MouseButton::Left;
}

// A key is a name, or {"Char": "a"} for the key of a character.
int keyOf(const QJsonValue& value, int& ascii)
{
    ascii = 0;
    if (value.isObject()) {
        const char32_t c = firstCodePoint(value.toObject().value(QLatin1String("Char")).toString());
        ascii = c < 0x80 ? static_cast<int>(c) : 0;
        return runtime::keyCodeForCharacter(c);
    }
    return keyCodeNamed(value.toString().toStdString(), ascii);
}

bool readPosition(const QJsonObject& object, InputEvent& event)
{
    const QJsonArray pos = object.value(QLatin1String("pos")).toArray();
    if (pos.size() != 2 || !pos[0].isDouble() || !pos[1].isDouble())
        return false;
    event.x = pos[0].toDouble();
    event.y = pos[1].toDouble();
    return true;
}

// False for an event to leave out.
bool readEvent(const QJsonObject& object, InputEvent& event)
{
    const std::optional<Type> type = typeNamed(object.value(QLatin1String("type")).toString());
    if (!type)
        return false;
    event.type = *type;
    switch (*type) {
    case Type::MouseMove:
    case Type::MouseDown:
    case Type::MouseUp:
        event.button = buttonNamed(object.value(QLatin1String("btn")).toString());
        return readPosition(object, event);
    case Type::KeyDown:
    case Type::KeyUp:
        event.keyCode = keyOf(object.value(QLatin1String("key")), event.ascii);
        return event.keyCode != 0;
    case Type::TextInput:
        event.codepoint = firstCodePoint(object.value(QLatin1String("codepoint")).toString());
        return event.codepoint != 0;
    case Type::TextControl:
        event.text = object.value(QLatin1String("code")).toString().toStdString();
        event.command = textCommandNamed(event.text);
        return event.command.has_value();
    case Type::SetClipboardText:
        event.text = object.value(QLatin1String("text")).toString().toStdString();
        return true;
    case Type::FocusGained:
    case Type::FocusLost:
    case Type::Wait:
        return true;
    }
    return false;
}

} // namespace

int keyCodeNamed(const std::string& name, int& ascii)
{
    ascii = 0;
    for (const auto& [text, code] : kNamedKeys) {
        if (name == text) {
            ascii = runtime::asciiOfKey(code);
            return code;
        }
    }
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F' &&
        std::all_of(name.begin() + 1, name.end(), isDigit)) {
        const int number = std::stoi(name.substr(1));
        return number >= 1 && number <= kFunctionKeys ? key::F1 + number - 1 : 0;
    }
    const QList<uint> points = QString::fromStdString(name).toUcs4();
    if (points.size() != 1)
        return 0;
    const char32_t c = static_cast<char32_t>(points.front());
    ascii = c < 0x80 ? static_cast<int>(c) : 0;
    return runtime::keyCodeForCharacter(c);
}

std::optional<runtime::TextCommand> textCommandNamed(const std::string& name)
{
    for (const auto& [text, command] : kCommands) {
        if (name == text)
            return command;
    }
    return std::nullopt;
}

InputScript parseInputScript(std::span<const std::uint8_t> bytes)
{
    InputScript script;
    if (bytes.size() > kMaxInputFileBytes) {
        script.error = "the input file is too large";
        return script;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())),
        &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isArray()) {
        script.error = "the input file is no JSON array";
        return script;
    }
    const QJsonArray array = document.array();
    if (std::size_t(array.size()) > kMaxInputEvents) {
        script.error = "the input file holds too many events";
        return script;
    }
    for (const QJsonValue& value : array) {
        if (!value.isObject()) {
            script.error = "an input event is no JSON object";
            script.events.clear();
            return script;
        }
        InputEvent event;
        if (readEvent(value.toObject(), event))
            script.events.push_back(std::move(event));
    }
    return script;
}

InputScript readInputScript(const std::string& path)
{
    QFile file(QString::fromLocal8Bit(path.c_str()));
    if (!file.open(QIODevice::ReadOnly))
        return InputScript{{}, "cannot open the input file"};
    if (file.size() > qint64(kMaxInputFileBytes))
        return InputScript{{}, "the input file is too large"};
    const QByteArray bytes = file.read(qint64(kMaxInputFileBytes) + 1);
    return parseInputScript(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                      std::size_t(bytes.size())));
}

} // namespace swfrun
