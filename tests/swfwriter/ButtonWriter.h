#pragma once

#include "MovieWriter.h"

#include <cstdint>
#include <optional>
#include <vector>

// Bodies of DefineButton (tag 7), DefineButton2 (tag 34) and DefineButtonCxform
// (tag 23), character id included.
namespace swfwriter {

struct ButtonRecord {
    std::uint8_t states = 0x0f; // 1 up, 2 over, 4 down, 8 hit test
    std::uint16_t characterId = 1;
    std::uint16_t depth = 1;
    Matrix matrix{};
    // DefineButton2 only:
    ColorTransform colorTransform{};
    std::vector<std::uint8_t> filterListBytes{}; // a FILTERLIST; empty: none
    std::optional<std::uint8_t> blendMode{};
};

// One BUTTONCONDACTION: condition bits as the button model numbers them (bit 8 is
// OverDownToIdle), a key code (1 to 127, 0 for none) and the action bytes.
struct ButtonCondAction {
    std::uint16_t conditions = 0;
    std::uint8_t keyCode = 0;
    std::vector<std::uint8_t> actions{};
};

// Records, CharacterEndFlag, then the actions as given (their ActionEndFlag included).
std::vector<std::uint8_t> defineButtonBody(std::uint16_t id,
                                           const std::vector<ButtonRecord>& records,
                                           const std::vector<std::uint8_t>& actions);

// TrackAsMenu, ActionOffset, records, CharacterEndFlag, then the BUTTONCONDACTION
// records chained by CondActionSize (0 on the last).
std::vector<std::uint8_t> defineButton2Body(std::uint16_t id, bool trackAsMenu,
                                            const std::vector<ButtonRecord>& records,
                                            const std::vector<ButtonCondAction>& actions);

std::vector<std::uint8_t> defineButtonCxformBody(std::uint16_t id,
                                                 const std::vector<ColorTransform>& transforms);

} // namespace swfwriter
