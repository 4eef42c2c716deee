#include "Button.h"

#include "Records.h"

#include <string>

namespace swf {

namespace {

// The BUTTONRECORD flag byte: two reserved bits, then HasBlendMode, HasFilterList and
// the four states. A zero byte is the CharacterEndFlag.
constexpr std::uint8_t kButtonHasBlendMode = 0x20;
constexpr std::uint8_t kButtonHasFilterList = 0x10;
constexpr std::uint8_t kButtonStates = 0x0f;

std::string tagName(int buttonVersion)
{
    return buttonVersion == 2 ? "DefineButton2" : "DefineButton";
}

Status readRecords(ByteReader& in, int buttonVersion, Button& button)
{
    while (true) {
        const std::uint8_t flags = in.u8();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, tagName(buttonVersion) + ": CharacterEndFlag");
        if (flags == 0)
            return Ok{};
        ButtonRecord record;
        record.states = flags & kButtonStates;
        record.characterId = in.u16();
        record.depth = in.u16(); // PlaceDepth
        record.matrix = readMatrix(in);
        if (buttonVersion == 2) {
            record.colorTransform = readColorTransform(in, true);
            if (flags & kButtonHasFilterList) {
                auto filters = parseFilterList(in);
                if (!filters)
                    return filters.error();
                record.filters = std::move(filters).value();
            }
            if (flags & kButtonHasBlendMode)
                record.blendMode = blendModeFromByte(in.u8());
        }
        if (!in.ok())
            return makeError(ErrorCode::Truncated, tagName(buttonVersion) + ": BUTTONRECORD");
        button.records.push_back(std::move(record));
    }
}

// BUTTONCONDACTION records: each starts with CondActionSize, the distance to the next
// record (0 for the last one, whose actions run to the end of the tag).
Status readCondActions(ByteReader& in, Button& button)
{
    while (true) {
        const std::uint16_t size = in.u16(); // CondActionSize
        const std::uint16_t conditions = in.u16();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "DefineButton2: BUTTONCONDACTION");
        ButtonAction action;
        // The low byte holds the first eight conditions; the high byte holds the key
        // code in its upper seven bits and OverDownToIdle in its lowest.
        action.conditions = static_cast<std::uint16_t>((conditions & 0xff) |
                                                       ((conditions & 0x100) ? OverDownToIdle : 0));
        action.keyCode = static_cast<std::uint8_t>(conditions >> 9);
        std::span<const std::uint8_t> actions;
        if (size == 0) {
            actions = in.take(in.remaining());
        } else {
            if (size < 4 || size - 4u > in.remaining())
                return makeError(ErrorCode::BadValue, "DefineButton2: CondActionSize");
            actions = in.take(size - 4u);
        }
        action.actions.assign(actions.begin(), actions.end());
        button.actions.push_back(std::move(action));
        if (size == 0 || in.atEnd())
            return Ok{};
    }
}

} // namespace

Result<Button> parseButton(ByteReader& in, int buttonVersion)
{
    if (buttonVersion != 1 && buttonVersion != 2)
        return makeError(ErrorCode::Unsupported, "DefineButton version");
    Button button;
    if (buttonVersion == 1) {
        if (auto read = readRecords(in, 1, button); !read)
            return read.error();
        // DefineButton's actions run when the button is released inside.
        const auto actions = in.take(in.remaining());
        if (!actions.empty() && !(actions.size() == 1 && actions[0] == 0))
            button.actions.push_back(
                ButtonAction{OverDownToOverUp, 0, {actions.begin(), actions.end()}});
        return button;
    }

    button.trackAsMenu = in.u8() & 0x01;
    const std::size_t offsetField = in.position();
    const std::uint16_t actionOffset = in.u16(); // from the start of this field
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "DefineButton2: ActionOffset");
    if (auto read = readRecords(in, 2, button); !read)
        return read.error();
    if (actionOffset == 0)
        return button;
    // The offset points just past the records; it is followed wherever it points
    // inside the body, but not out of it.
    const std::size_t actionsStart = offsetField + actionOffset;
    if (actionsStart > in.size())
        return makeError(ErrorCode::BadValue, "DefineButton2: ActionOffset");
    in.seek(actionsStart);
    if (in.atEnd())
        return button;
    if (auto read = readCondActions(in, button); !read)
        return read.error();
    return button;
}

Status applyButtonSound(ByteReader& in, Button& button)
{
    for (ButtonSound& sound : button.sounds) {
        sound.soundId = in.u16();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "DefineButtonSound: sound id");
        if (sound.soundId == 0)
            continue;
        // SOUNDINFO's length follows from its flags; the sound engine reads its fields.
        const std::size_t start = in.position();
        const std::uint8_t flags = in.u8();
        std::size_t length =
            1 + ((flags & 0x01) ? 4 : 0) + ((flags & 0x02) ? 4 : 0) + ((flags & 0x04) ? 2 : 0);
        if (flags & 0x08) {
            in.seek(start + length);
            length += 1 + 8 * std::size_t(in.u8());
        }
        in.seek(start);
        const auto info = in.take(length);
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "DefineButtonSound: sound info");
        sound.soundInfo.assign(info.begin(), info.end());
    }
    return Ok{};
}

Status applyButtonCxform(ByteReader& in, Button& button)
{
    // The format gives DefineButtonCxform one CXFORM for the button's characters: it
    // applies to every record. Some writers store one per record instead; those
    // that follow the first apply to the next records in order.
    for (std::size_t i = 0; !in.atEnd(); ++i) {
        const ColorTransform cx = readColorTransform(in, false);
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "DefineButtonCxform: ButtonColorTransform");
        if (i == 0) {
            for (auto& record : button.records)
                record.colorTransform = cx;
        } else if (i < button.records.size()) {
            button.records[i].colorTransform = cx;
        }
    }
    return Ok{};
}

} // namespace swf
