#include "DrawListBuilder.h"

#include "ContainerObject.h"
#include "EditTextObject.h"
#include "PlayerContext.h"
#include "ShapeObject.h"
#include "SpriteObject.h"

#include <algorithm>

namespace runtime {

namespace {

using Kind = DrawCommand::Kind;

class Builder {
public:
    explicit Builder(DrawList& list) : m_list(list) {}

    void object(const DisplayObject& object, const swf::Matrix& parentMatrix,
                const swf::ColorTransform& parentColor, bool inMask)
    {
        DrawCommand command;
        command.character = object.character();
        if (const swf::MovieDefinition& movie = object.movie(); &movie != m_list.movie.get()) {
            command.movie = &movie;
            keep(object.movieInstance().definitionPtr());
        }
        command.matrix = parentMatrix * object.matrix();
        command.colorTransform = parentColor * object.colorTransform();
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
            push(command);
            return;
        }
        case ObjectKind::Sprite:
        case ObjectKind::Button:
            group(static_cast<const ContainerObject&>(object), command, inMask);
            return;
        }
    }

private:
    void push(DrawCommand command) { m_list.commands.push_back(std::move(command)); }

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
        const swf::Matrix matrix = command.matrix;
        const swf::ColorTransform color = command.colorTransform;
        push(command);
        children(container, matrix, color, inMask);
        marker(Kind::EndGroup, container.id());
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
            if (child->visible())
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
    list.stage = context.movie().header.stage;
    list.background = context.background();
    list.movie = context.moviePtr();
    Builder builder(list);
    for (const auto& [number, root] : context.levels())
        builder.object(*root, swf::Matrix{}, swf::ColorTransform{}, false);
    return list;
}

} // namespace runtime
