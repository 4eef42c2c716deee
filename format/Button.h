#pragma once

#include "ByteReader.h"
#include "Filter.h"
#include "Result.h"
#include "Style.h"

#include <array>
#include <cstdint>
#include <vector>

namespace swf {

enum ButtonState : std::uint8_t {
    ButtonUp = 0x01,
    ButtonOver = 0x02,
    ButtonDown = 0x04,
    ButtonHitTest = 0x08,
};

struct ButtonRecord {
    std::uint8_t states = 0; // ButtonState bits
    CharacterId characterId = 0;
    std::uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
};

// Button conditions (DefineButton2's CondActionRecord bits); DefineButton's actions
// run on release inside, the condition OverDownToOverUp.
enum ButtonCondition : std::uint16_t {
    IdleToOverUp = 0x0001,
    OverUpToIdle = 0x0002,
    OverUpToOverDown = 0x0004,
    OverDownToOverUp = 0x0008,
    OverDownToOutDown = 0x0010,
    OutDownToOverDown = 0x0020,
    OutDownToIdle = 0x0040,
    IdleToOverDown = 0x0080,
    OverDownToIdle = 0x0100,
};

struct ButtonAction {
    std::uint16_t conditions = 0; // ButtonCondition bits
    std::uint8_t keyCode = 0;     // key press condition, 0 for none
    std::vector<std::uint8_t> actions;
};

// DefineButtonSound: the sound a transition starts, with its SOUNDINFO as stored.
struct ButtonSound {
    CharacterId soundId = 0; // 0 for none
    std::vector<std::uint8_t> soundInfo;
};

struct Button {
    std::vector<ButtonRecord> records;
    bool trackAsMenu = false;
    std::vector<ButtonAction> actions;
    // In the tag's order: OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp.
    std::array<ButtonSound, 4> sounds;
};

// Reads the body after the character id; version 1 or 2.
Result<Button> parseButton(ByteReader& in, int buttonVersion);
// DefineButtonCxform: the colour transforms of a DefineButton's records.
Status applyButtonCxform(ByteReader& in, Button& button);
// DefineButtonSound: the sounds of four transitions.
Status applyButtonSound(ByteReader& in, Button& button);

} // namespace swf
