#include "DrawListBuilder.h"

#include "BitmapData.h"
#include "BitmapObject.h"
#include "ContainerObject.h"
#include "EditTextObject.h"
#include "FocusRectangle.h"
#include "PlayerContext.h"
#include "ShapeObject.h"
#include "SpriteObject.h"
#include "TextCaret.h"
#include "VideoObject.h"

#include <algorithm>
#include <cmath>

namespace runtime {

namespace {

using Kind = DrawCommand::Kind;

// A coordinate of a box as whole twips, within what twips hold.
swf::Twips wholeTwips(double twips)
{
    constexpr double kLimit = 1 << 30;
    if (!std::isfinite(twips))
        return swf::Twips{0};
    return swf::Twips{static_cast<std::int32_t>(std::clamp(twips, -kLimit, kLimit))};
}

// A drawing's version with the stamp of one of the bitmaps it fills with: new pixels give
// a new content version, so what was prepared from the old ones is not reused.
std::uint64_t foldStamp(std::uint64_t version, std::uint64_t stamp)
{
    std::uint64_t h = version ^ (stamp + 0x9E3779B97F4A7C15ull + (version << 6) + (version >> 2));
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

class Builder {
public:
    explicit Builder(DrawList& list) : m_list(list) {}

    void object(const DisplayObject& object, const swf::Matrix& parentMatrix,
                const swf::ColorTransform& parentColor, bool inMask)
    {
        // A script's mask clips the object from wherever the mask stands.
        const DisplayObject* mask = inMask ? nullptr : object.activeScriptMask();
        if (mask) {
            marker(Kind::BeginMask, mask->id());
            place(*mask, mask->worldMatrix(), swf::ColorTransform{}, true);
            marker(Kind::EndMask, mask->id());
        }
        place(object, parentMatrix * object.matrix(), parentColor * object.colorTransform(),
              inMask);
        if (mask)
            marker(Kind::EndClip, 0);
    }

    // The object with `matrix` and `color` in place of its own placement's.
    void place(const DisplayObject& object, const swf::Matrix& matrix,
               const swf::ColorTransform& color, bool inMask)
    {
        DrawCommand command;
        command.character = object.character();
        if (const swf::MovieDefinition& movie = object.movie(); &movie != m_list.movie.get()) {
            command.movie = &movie;
            keep(object.movieInstance().definitionPtr());
        }
        command.matrix = matrix;
        command.colorTransform = color;
        command.objectId = object.id();
        command.contentVersion = object.contentVersion();

        switch (object.kind()) {
        case ObjectKind::Shape:
        case ObjectKind::StaticText:
            push(command);
            return;
        case ObjectKind::MorphShape:
            command.ratio = static_cast<const ShapeObject&>(object).morphRatio();
            push(command);
            return;
        case ObjectKind::EditText: {
            const auto& field = static_cast<const EditTextObject&>(object);
            command.character = field.drawCharacter().get();
            command.text = &field.text();
            m_list.retained.push_back(field.drawCharacter());
            m_list.retained.push_back(field.sharedText());
            command.textLayout = field.layout();
            command.textScrollY = command.textLayout->scrollOffset(field.scroll());
            command.textScrollX = field.hscroll() * 20;
            const auto rgb = [](std::uint32_t c) {
                return swf::Rgba{std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), 255};
            };
            if (field.extras().background)
                command.boxBackground = rgb(field.extras().backgroundColor);
            if (field.definition().border)
                command.boxBorder = rgb(field.extras().borderColor);
            if (object.context().input().focus().focused().get() == &object)
                showSelection(field, command);
            // Filters and a blend mode act on a layer: the field is drawn into one of its
            // own, as a clip's contents are.
            const bool layered = field.filters() || field.blendMode() != swf::BlendMode::Normal;
            if (layered && !inMask)
                beginLeafGroup(field, command);
            push(command);
            if (layered && !inMask)
                marker(Kind::EndGroup, field.id());
            return;
        }
        case ObjectKind::Sprite:
        case ObjectKind::Button:
            group(static_cast<const ContainerObject&>(object), command, inMask);
            return;
        case ObjectKind::Bitmap: {
            const auto& shown = static_cast<const BitmapObject&>(object);
            std::shared_ptr<const swf::Bitmap> pixels = shown.pixels();
            command.bitmap = pixels.get();
            command.smoothing = shown.smoothing();
            command.pixelSnapping = shown.pixelSnapping();
            m_list.retained.push_back(std::move(pixels));
            push(command);
            return;
        }
        case ObjectKind::Video:
            video(static_cast<const VideoObject&>(object), command);
            return;
        }
    }

private:
    void push(DrawCommand command) { m_list.commands.push_back(std::move(command)); }

    // The picture, scaled from its own size to the object's bounds.
    void video(const VideoObject& shown, DrawCommand& command)
    {
        std::shared_ptr<const swf::Bitmap> picture = shown.picture();
        const Bounds bounds = shown.localBounds();
        if (!picture || picture->width == 0 || picture->height == 0 || bounds.empty)
            return;
        const double sx = bounds.width() / (picture->width * double(swf::Twips::kPerPixel));
        const double sy = bounds.height() / (picture->height * double(swf::Twips::kPerPixel));
        command.matrix = command.matrix * swf::Matrix::scale(sx, sy);
        command.bitmap = picture.get();
        command.smoothing = shown.smoothing();
        m_list.retained.push_back(std::move(picture));
        push(command);
    }

    static void showSelection(const EditTextObject& field, DrawCommand& command)
    {
        const TextSelection& selection = field.selection();
        if (!selection.empty()) {
            for (const Bounds& box : selectionBoxes(field, selection.begin(), selection.end()))
                command.textSelection.push_back(twipsRect(box));
        } else if (!field.definition().readOnly) {
            command.textCaret = twipsRect(caretBox(field, selection.caret));
        }
    }

    void keep(const swf::MoviePtr& movie)
    {
        // Few movies play at once: a look through the list beats a set.
        if (std::find(m_list.otherMovies.begin(), m_list.otherMovies.end(), movie) ==
            m_list.otherMovies.end())
            m_list.otherMovies.push_back(movie);
    }

    void marker(Kind kind, std::uint64_t objectId)
    {
        DrawCommand command;
        command.kind = kind;
        command.objectId = objectId;
        push(command);
    }

    void group(const ContainerObject& container, DrawCommand command, bool inMask)
    {
        command.kind = Kind::BeginGroup;
        command.blendMode = container.blendMode();
        command.cacheAsBitmap = container.cacheAsBitmap();
        if (const FilterList& filters = container.filters()) {
            command.filters = filters.get();
            m_list.retained.push_back(filters);
        }
        swf::Matrix matrix = command.matrix;
        const swf::ColorTransform color = command.colorTransform;
        decorate(container, command, matrix);
        push(command);
        if (container.kind() == ObjectKind::Sprite)
            drawing(static_cast<const SpriteObject&>(container), matrix, color);
        children(container, matrix, color, inMask);
        marker(Kind::EndGroup, container.id());
    }

    // A layer for one object that has no children, with its filters and blend mode.
    void beginLeafGroup(const DisplayObject& object, const DrawCommand& drawn)
    {
        DrawCommand command;
        command.kind = Kind::BeginGroup;
        command.objectId = object.id();
        command.contentVersion = drawn.contentVersion;
        command.matrix = drawn.matrix;
        command.colorTransform = swf::ColorTransform{};
        command.blendMode = object.blendMode();
        if (const FilterList& filters = object.filters()) {
            command.filters = filters.get();
            m_list.retained.push_back(filters);
        }
        push(command);
    }

    // A scroll rectangle shows that part of the group at its origin, cut to it; an
    // opaque background fills the box the group shows. `inner` is what its contents
    // are drawn through.
    static void decorate(const DisplayObject& container, DrawCommand& command, swf::Matrix& inner)
    {
        std::optional<Bounds> box;
        if (const std::optional<swf::Rect>& scroll = container.scrollRect()) {
            command.clipRect =
                swf::Rect{swf::Twips{0}, scroll->width(), swf::Twips{0}, scroll->height()};
            inner = inner * swf::Matrix::translation(-scroll->xMin.value, -scroll->yMin.value);
            box = Bounds::fromRect(*command.clipRect);
        }
        if (const std::optional<swf::Rgba>& background = container.opaqueBackground()) {
            if (!box)
                box = container.localBounds();
            if (!box->empty) {
                command.background = *background;
                command.backgroundBox =
                    swf::Rect{wholeTwips(std::floor(box->xMin)), wholeTwips(std::ceil(box->xMax)),
                              wholeTwips(std::floor(box->yMin)), wholeTwips(std::ceil(box->yMax))};
            }
        }
    }

    // What the clip's scripts drew, under its children.
    void drawing(const SpriteObject& sprite, const swf::Matrix& matrix,
                 const swf::ColorTransform& color)
    {
        const Drawing* drawing = sprite.drawing();
        std::shared_ptr<const swf::Shape> shape = drawing ? drawing->shape() : nullptr;
        if (!shape)
            return;
        DrawCommand command;
        command.kind = Kind::Drawing;
        command.matrix = matrix;
        command.colorTransform = color;
        command.objectId = sprite.id();
        command.contentVersion = drawing->version();
        command.drawing = std::move(shape);
        for (const BitmapDataPtr& bitmap : drawing->bitmaps()) {
            command.drawingBitmaps.push_back(
                {bitmap->disposed() ? nullptr : bitmap->snapshot(), bitmap->stamp()});
            command.contentVersion = foldStamp(command.contentVersion, bitmap->stamp());
        }
        push(std::move(command));
    }

    void children(const ContainerObject& container, const swf::Matrix& matrix,
                  const swf::ColorTransform& color, bool inMask)
    {
        // The clip depths of the masks open at this level, innermost last.
        std::vector<int> openClips;
        for (const auto& [depth, child] : container.children()) {
            // A removed clip waiting for its unload handlers is no longer shown.
            if (child->isUnloading())
                continue;
            while (!openClips.empty() && depth > openClips.back()) {
                marker(Kind::EndClip, 0);
                openClips.pop_back();
            }
            if (child->isMask()) {
                if (inMask)
                    continue;
                marker(Kind::BeginMask, child->id());
                object(*child, matrix, color, true);
                marker(Kind::EndMask, child->id());
                int end = child->clipDepth();
                if (!openClips.empty())
                    end = std::min(end, openClips.back());
                openClips.push_back(end);
                continue;
            }
            if (child->visible() && !child->isActiveScriptMask())
                object(*child, matrix, color, inMask);
        }
        for (std::size_t i = 0; i < openClips.size(); ++i)
            marker(Kind::EndClip, 0);
    }

    DrawList& m_list;
};

} // namespace

DrawList buildDrawList(const PlayerContext& context)
{
    DrawList list;
    list.stage = context.stageRect();
    list.background = context.background();
    list.movie = context.moviePtr();
    Builder builder(list);
    for (const auto& [number, root] : context.levels())
        builder.object(*root, swf::Matrix{}, swf::ColorTransform{}, false);
    list.focusRect = focusRectangle(context);
    return list;
}

DrawList buildDrawList(const DisplayObject& object, const swf::Matrix& matrix,
                       const swf::ColorTransform& color)
{
    DrawList list;
    list.movie = object.context().moviePtr();
    Builder builder(list);
    builder.place(object, matrix, color, false);
    return list;
}

} // namespace runtime
