#include "TagTable.h"

#include "TagDecoders.h"

#include <array>
#include <cstddef>

namespace swf {

namespace {

using enum TagCode;

// One row per tag of SWF_TAG_LIST, in its order; the checks below keep the two lists
// in step, so a new tag code cannot go unhandled by accident.
constexpr TagHandler kTagHandlers[] = {
    {End, TagKind::End, nullptr},
    {ShowFrame, TagKind::ShowFrame, nullptr},
    {DefineShape, TagKind::Definition, tags::defineShape, 1},
    {PlaceObject, TagKind::Control, tags::placeObject, 1},
    {RemoveObject, TagKind::Control, tags::removeObject, 1},
    {DefineBits, TagKind::Definition, tags::defineBits},
    {DefineButton, TagKind::Definition, tags::defineButton, 1},
    {JPEGTables, TagKind::Movie, tags::jpegTables},
    {SetBackgroundColor, TagKind::Control, tags::setBackgroundColor},
    {DefineFont, TagKind::Definition, tags::defineFont, 1},
    {DefineText, TagKind::Definition, tags::defineText, 1},
    {DoAction, TagKind::Control, tags::doAction},
    {DefineFontInfo, TagKind::Completion, tags::completeFontInfo, 1},
    {DefineSound, TagKind::Definition, tags::defineOpaque},
    {StartSound, TagKind::Control, tags::startSound, 1},
    {DefineButtonSound, TagKind::Completion, tags::completeButtonSound},
    {SoundStreamHead, TagKind::Control, tags::soundStreamHead},
    {SoundStreamBlock, TagKind::Control, tags::soundStreamBlock},
    {DefineBitsLossless, TagKind::Definition, tags::defineBitsLossless, 1},
    {DefineBitsJPEG2, TagKind::Definition, tags::defineBitsJpeg, 2},
    {DefineShape2, TagKind::Definition, tags::defineShape, 2},
    {DefineButtonCxform, TagKind::Completion, tags::completeButtonCxform},
    // Authoring-tool settings: nothing a player does.
    {Protect, TagKind::Skipped, nullptr},
    {PlaceObject2, TagKind::Control, tags::placeObject, 2},
    {RemoveObject2, TagKind::Control, tags::removeObject, 2},
    {DefineShape3, TagKind::Definition, tags::defineShape, 3},
    {DefineText2, TagKind::Definition, tags::defineText, 2},
    {DefineButton2, TagKind::Definition, tags::defineButton, 2},
    {DefineBitsJPEG3, TagKind::Definition, tags::defineBitsJpeg, 3},
    {DefineBitsLossless2, TagKind::Definition, tags::defineBitsLossless, 2},
    {DefineEditText, TagKind::Definition, tags::defineEditText},
    {DefineSprite, TagKind::Definition, tags::defineSprite},
    {FrameLabel, TagKind::Control, tags::frameLabel},
    {SoundStreamHead2, TagKind::Control, tags::soundStreamHead, 2},
    {DefineMorphShape, TagKind::Definition, tags::defineMorphShape, 1},
    {DefineFont2, TagKind::Definition, tags::defineFont, 2},
    {ExportAssets, TagKind::Movie, tags::exportAssets},
    {ImportAssets, TagKind::Movie, tags::importAssets, 1},
    {EnableDebugger, TagKind::Skipped, nullptr},
    {DoInitAction, TagKind::Control, tags::doInitAction},
    {DefineVideoStream, TagKind::Definition, tags::defineVideoStream},
    // A frame's packet joins its stream's definition, read before it.
    {VideoFrame, TagKind::Completion, tags::completeVideoFrame},
    {DefineFontInfo2, TagKind::Completion, tags::completeFontInfo, 2},
    {EnableDebugger2, TagKind::Skipped, nullptr},
    {ScriptLimits, TagKind::Movie, tags::scriptLimits},
    // Keyboard focus order, for the interpreter's tab handling when it comes.
    {SetTabIndex, TagKind::Skipped, nullptr},
    {FileAttributes, TagKind::Movie, tags::fileAttributes},
    {PlaceObject3, TagKind::Control, tags::placeObject, 3},
    {ImportAssets2, TagKind::Movie, tags::importAssets, 2},
    // ActionScript 3 byte code and its class links, kept in frame order.
    {DoABCDefine, TagKind::Control, tags::doAbc, 1},
    // Hinting and text-engine settings the renderer does without.
    {DefineFontAlignZones, TagKind::Skipped, nullptr},
    {CSMTextSettings, TagKind::Completion, tags::completeTextSettings},
    {DefineFont3, TagKind::Definition, tags::defineFont, 3},
    {SymbolClass, TagKind::Control, tags::symbolClass},
    {Metadata, TagKind::Skipped, nullptr},
    {DefineScalingGrid, TagKind::Skipped, nullptr},
    {DoABC, TagKind::Control, tags::doAbc, 2},
    {DefineShape4, TagKind::Definition, tags::defineShape, 4},
    {DefineMorphShape2, TagKind::Definition, tags::defineMorphShape, 2},
    {DefineSceneAndFrameLabelData, TagKind::Skipped, nullptr},
    {DefineBinaryData, TagKind::Definition, tags::defineOpaque},
    {DefineFontName, TagKind::Skipped, nullptr},
    {StartSound2, TagKind::Control, tags::startSound, 2},
    {DefineBitsJPEG4, TagKind::Definition, tags::defineBitsJpeg, 4},
    // A font for the other virtual machine's text engine: its CFF outlines are kept
    // as bytes, never drawn, so text that names it falls back like a missing font.
    {DefineFont4, TagKind::Definition, tags::defineOpaque},
    {EnableTelemetry, TagKind::Skipped, nullptr},
};

constexpr TagCode kListedCodes[] = {
#define SWF_TAG_CODE(name, value) TagCode::name,
    SWF_TAG_LIST(SWF_TAG_CODE)
#undef SWF_TAG_CODE
};

constexpr bool rowsMatchTheCodeList()
{
    if (std::size(kTagHandlers) != std::size(kListedCodes))
        return false;
    for (std::size_t i = 0; i < std::size(kListedCodes); ++i) {
        if (kTagHandlers[i].code != kListedCodes[i])
            return false;
    }
    return true;
}
static_assert(rowsMatchTheCodeList(), "TagTable.cpp needs one row per SWF_TAG_LIST entry");

constexpr bool decodersMatchTheKinds()
{
    for (const TagHandler& row : kTagHandlers) {
        const bool walkOnly = row.kind == TagKind::End || row.kind == TagKind::ShowFrame ||
                              row.kind == TagKind::Skipped;
        if (walkOnly != (row.decode == nullptr))
            return false;
    }
    return true;
}
// With AddressSanitizer, GCC does not treat function addresses as constants; the
// ordinary builds check the table.
#if !defined(__SANITIZE_ADDRESS__)
static_assert(decodersMatchTheKinds(), "only End, ShowFrame and Skipped rows lack a decoder");
#endif

// A tag record's code is ten bits.
constexpr std::size_t kCodeCount = 1024;
constexpr std::uint8_t kNoRow = 0xff;
static_assert(std::size(kTagHandlers) < kNoRow);

constexpr auto kRowOfCode = [] {
    std::array<std::uint8_t, kCodeCount> rows{};
    rows.fill(kNoRow);
    for (std::size_t i = 0; i < std::size(kTagHandlers); ++i)
        rows[static_cast<std::size_t>(kTagHandlers[i].code)] = static_cast<std::uint8_t>(i);
    return rows;
}();

} // namespace

const TagHandler* findTagHandler(std::uint16_t code)
{
    if (code >= kCodeCount || kRowOfCode[code] == kNoRow)
        return nullptr;
    return &kTagHandlers[kRowOfCode[code]];
}

} // namespace swf
