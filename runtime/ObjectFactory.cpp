#include "ObjectFactory.h"

#include "BitmapObject.h"
#include "ButtonObject.h"
#include "ContainerObject.h"
#include "EditTextObject.h"
#include "Limits.h"
#include "PlayerContext.h"
#include "ShapeObject.h"
#include "SpriteObject.h"
#include "StaticTextObject.h"
#include "VideoObject.h"
#include "format/Limits.h"

#include <string>
#include <type_traits>

namespace runtime {

namespace {

std::string describe(swf::CharacterId id, const ContainerObject& parent)
{
    return "character " + std::to_string(id) + " in " + parent.path();
}

// A bitmap character placed on a timeline shows its pixels as attachBitmap would, each
// placement its own copy, within the pixels all bitmaps may hold at once.
std::shared_ptr<DisplayObject> placedBitmap(PlayerContext& context, const swf::Character* character,
                                            const swf::Bitmap& pixels)
{
    const std::uint64_t count = std::uint64_t{pixels.width} * pixels.height;
    if (BitmapData::livePixels() + count > limits::kMaxLiveBitmapPixels)
        return nullptr;
    return std::make_shared<BitmapObject>(context, std::make_shared<BitmapData>(pixels), false,
                                          PixelSnapping::Auto, character);
}

} // namespace

bool isPlaceable(const swf::Character* character)
{
    return character && !std::holds_alternative<swf::Font>(character->data) &&
           !std::holds_alternative<swf::OpaqueCharacter>(character->data);
}

std::shared_ptr<DisplayObject> createObject(swf::CharacterId id, const ContainerObject& parent)
{
    const swf::Character* character = parent.movie().character(id);
    if (!character) {
        parent.context().log(LogCategory::Display,
                             [&] { return "ignored: no definition for " + describe(id, parent); });
        return nullptr;
    }
    return createObject(character, parent, parent.movieInstancePtr());
}

std::shared_ptr<DisplayObject> createObject(const swf::Character* character,
                                            const ContainerObject& parent,
                                            const MovieInstancePtr& movie)
{
    PlayerContext& context = parent.context();
    const swf::CharacterId id = character ? character->id : 0;
    if (!character) {
        context.log(LogCategory::Display,
                    [&] { return "ignored: no definition for " + describe(id, parent); });
        return nullptr;
    }
    if (!context.canCreateObject()) {
        context.log(LogCategory::Display, [&] {
            return "ignored: too many display objects for " + describe(id, parent);
        });
        return nullptr;
    }
    const bool nests = std::holds_alternative<swf::Sprite>(character->data) ||
                       std::holds_alternative<swf::Button>(character->data);
    // A sprite placing itself, directly or through others, would nest without end.
    if (nests && parent.nestingLevel() + 1 >= swf::limits::kMaxDisplayNesting) {
        context.log(LogCategory::Display,
                    [&] { return "ignored: nested too deep: " + describe(id, parent); });
        return nullptr;
    }

    std::shared_ptr<DisplayObject> object = std::visit(
        [&](const auto& data) -> std::shared_ptr<DisplayObject> {
            using T = std::decay_t<decltype(data)>;
            if constexpr (std::is_same_v<T, swf::Shape>) {
                return std::make_shared<ShapeObject>(context, character, ObjectKind::Shape);
            } else if constexpr (std::is_same_v<T, swf::MorphShape>) {
                return std::make_shared<ShapeObject>(context, character, ObjectKind::MorphShape);
            } else if constexpr (std::is_same_v<T, swf::StaticText>) {
                return std::make_shared<StaticTextObject>(context, character);
            } else if constexpr (std::is_same_v<T, swf::EditText>) {
                return std::make_shared<EditTextObject>(context, character, data);
            } else if constexpr (std::is_same_v<T, swf::Button>) {
                return std::make_shared<ButtonObject>(context, character, data);
            } else if constexpr (std::is_same_v<T, swf::Sprite>) {
                return std::make_shared<SpriteObject>(context, character, data.timeline,
                                                      data.declaredFrameCount);
            } else if constexpr (std::is_same_v<T, swf::VideoStream>) {
                return std::make_shared<VideoObject>(context, character, data);
            } else if constexpr (std::is_same_v<T, swf::Bitmap>) {
                return placedBitmap(context, character, data);
            } else {
                // Fonts and sounds are used by other characters, never placed.
                context.log(LogCategory::Display, [&] {
                    return "ignored: cannot place " + describe(character->id, parent);
                });
                return nullptr;
            }
        },
        character->data);
    if (object)
        object->setMovieInstance(movie);
    return object;
}

} // namespace runtime
