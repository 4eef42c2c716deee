#pragma once

#include "ByteReader.h"
#include "Filter.h"
#include "Result.h"
#include "Style.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace swf {

// The clip events of a CLIPEVENTFLAGS word read as a little-endian number. Movies
// before version 6 store only the low sixteen bits.
enum ClipEvent : std::uint32_t {
    ClipEventLoad = 0x00000001,
    ClipEventEnterFrame = 0x00000002,
    ClipEventUnload = 0x00000004,
    ClipEventMouseMove = 0x00000008,
    ClipEventMouseDown = 0x00000010,
    ClipEventMouseUp = 0x00000020,
    ClipEventKeyDown = 0x00000040,
    ClipEventKeyUp = 0x00000080,
    ClipEventData = 0x00000100,
    ClipEventInitialize = 0x00000200,
    ClipEventPress = 0x00000400,
    ClipEventRelease = 0x00000800,
    ClipEventReleaseOutside = 0x00001000,
    ClipEventRollOver = 0x00002000,
    ClipEventRollOut = 0x00004000,
    ClipEventDragOver = 0x00008000,
    ClipEventDragOut = 0x00010000,
    ClipEventKeyPress = 0x00020000,
    ClipEventConstruct = 0x00040000,
};

// One clip event handler of PlaceObject2 and 3: the events (a 32-bit mask from
// version 6, 16-bit before), a key code for key presses, and the action bytes.
struct ClipAction {
    std::uint32_t events = 0;
    std::uint8_t keyCode = 0;
    std::vector<std::uint8_t> actions;
};

// PlaceObject, PlaceObject2 and PlaceObject3 in one form; absent fields stay unset.
struct PlaceObject {
    int version = 2;
    std::uint16_t depth = 0;
    bool move = false; // modifies the object at depth rather than placing a new one
    std::optional<CharacterId> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<std::uint16_t> clipDepth;
    std::optional<BlendMode> blendMode;
    std::optional<std::vector<Filter>> filters;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<Rgba> backgroundColor;
    std::optional<std::string> className;
    std::vector<ClipAction> clipActions;
    // Empty unless the clip-action list ended early: the field it ended in. The
    // placement and the handlers read whole before that point are kept all the same.
    std::string_view clipActionsCutAt;
};

// `placeVersion` 1, 2 or 3; the SWF version matters for the clip event mask's width.
Result<PlaceObject> parsePlaceObject(ByteReader& in, int placeVersion, int swfVersion);

struct RemoveObject {
    std::uint16_t depth = 0;
    std::optional<CharacterId> characterId; // RemoveObject (1) names the character too
};

Result<RemoveObject> parseRemoveObject(ByteReader& in, int removeVersion);

} // namespace swf
