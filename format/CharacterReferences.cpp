#include "CharacterReferences.h"

#include <type_traits>

namespace swf {

namespace {

void renumberFill(FillStyle& fill, const Renumbering& renumber)
{
    if (fill.isBitmap())
        fill.bitmapId = renumber(fill.bitmapId);
}

void renumberLines(std::vector<LineStyle>& lines, const Renumbering& renumber)
{
    for (LineStyle& line : lines) {
        if (line.fill)
            renumberFill(*line.fill, renumber);
    }
}

void renumberFills(std::vector<FillStyle>& fills, const Renumbering& renumber)
{
    for (FillStyle& fill : fills)
        renumberFill(fill, renumber);
}

bool hasBitmapFill(const std::vector<ShapeLayer>& layers)
{
    for (const ShapeLayer& layer : layers) {
        for (const FillStyle& fill : layer.fills) {
            if (fill.isBitmap())
                return true;
        }
        for (const LineStyle& line : layer.lines) {
            if (line.fill && line.fill->isBitmap())
                return true;
        }
    }
    return false;
}

void renumberIn(Shape& shape, const Renumbering& renumber)
{
    if (!hasBitmapFill(shape.drawing()))
        return;
    // The layers are copied out of the deferred records before those are let go.
    shape.layers = shape.drawing();
    shape.deferred.reset();
    for (ShapeLayer& layer : shape.layers) {
        renumberFills(layer.fills, renumber);
        renumberLines(layer.lines, renumber);
    }
}

void renumberIn(MorphShape& morph, const Renumbering& renumber)
{
    renumberFills(morph.startFills, renumber);
    renumberFills(morph.endFills, renumber);
    renumberLines(morph.startLines, renumber);
    renumberLines(morph.endLines, renumber);
}

void renumberIn(StaticText& text, const Renumbering& renumber)
{
    for (TextRun& run : text.runs)
        run.fontId = renumber(run.fontId);
}

void renumberIn(EditText& text, const Renumbering& renumber)
{
    if (text.fontId)
        text.fontId = renumber(*text.fontId);
}

void renumberIn(Button& button, const Renumbering& renumber)
{
    for (ButtonRecord& record : button.records)
        record.characterId = renumber(record.characterId);
    for (ButtonSound& sound : button.sounds) {
        if (sound.soundId != 0)
            sound.soundId = renumber(sound.soundId);
    }
}

void renumberIn(Frame& frame, const Renumbering& renumber)
{
    for (ControlTag& tag : frame.tags) {
        if (auto* place = std::get_if<PlaceObject>(&tag)) {
            if (place->characterId)
                place->characterId = renumber(*place->characterId);
        } else if (auto* remove = std::get_if<RemoveObject>(&tag)) {
            if (remove->characterId)
                remove->characterId = renumber(*remove->characterId);
        } else if (auto* init = std::get_if<DoInitAction>(&tag)) {
            init->spriteId = renumber(init->spriteId);
        } else if (auto* sound = std::get_if<StartSound>(&tag)) {
            // StartSound2 names its sound by class instead; its id field stays 0.
            if (sound->className.empty())
                sound->soundId = renumber(sound->soundId);
        }
    }
}

void renumberIn(Sprite& sprite, const Renumbering& renumber)
{
    for (Frame& frame : sprite.timeline.frames)
        renumberIn(frame, renumber);
}

// Fonts, bitmaps, videos and the kept bytes of sounds and binary data name no others.
void renumberIn(Font&, const Renumbering&) {}
void renumberIn(Bitmap&, const Renumbering&) {}
void renumberIn(VideoStream&, const Renumbering&) {}
void renumberIn(OpaqueCharacter&, const Renumbering&) {}

} // namespace

CharacterData renumberReferences(const CharacterData& data, const Renumbering& renumber)
{
    CharacterData copy = data;
    std::visit([&](auto& value) { renumberIn(value, renumber); }, copy);
    return copy;
}

} // namespace swf
