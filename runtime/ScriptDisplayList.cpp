// What scripts do to display lists: attachMovie, createEmptyMovieClip,
// duplicateMovieClip, removeMovieClip and swapDepths. Depths here are as scripts see
// them (limits::kScriptDepthOffset below the stored ones).
#include "BitmapData.h"
#include "EditTextObject.h"
#include "Limits.h"
#include "ObjectFactory.h"
#include "PlayerContext.h"
#include "SpriteObject.h"
#include "StageEvents.h"
#include "format/Limits.h"

namespace runtime {

namespace {

bool inScriptRange(long long scriptDepth)
{
    return scriptDepth >= limits::kMinScriptDepth && scriptDepth <= limits::kMaxScriptDepth;
}

int storedDepth(long long scriptDepth)
{
    return static_cast<int>(scriptDepth) + limits::kScriptDepthOffset;
}

} // namespace

std::shared_ptr<DisplayObject> SpriteObject::placeForScript(std::shared_ptr<DisplayObject> object,
                                                            std::string name, long long scriptDepth)
{
    placeChild(storedDepth(scriptDepth), object);
    object->setName(std::move(name));
    object->markScriptPlaced();
    announcePlaced(*object);
    object->initialize();
    return object;
}

std::shared_ptr<DisplayObject> SpriteObject::attachCharacter(swf::CharacterId id, std::string name,
                                                             long long scriptDepth)
{
    if (!inScriptRange(scriptDepth))
        return nullptr;
    std::shared_ptr<DisplayObject> object = createObject(id, *this);
    if (!object)
        return nullptr;
    return placeForScript(std::move(object), std::move(name), scriptDepth);
}

std::shared_ptr<SpriteObject> SpriteObject::createEmptyClip(std::string name, long long scriptDepth)
{
    if (!inScriptRange(scriptDepth))
        return nullptr;
    // The same caps as every other clip: scripts making clips inside their own new
    // clips must stop where timelines placing themselves do.
    if (!context().canCreateObject() || nestingLevel() + 1 >= swf::limits::kMaxDisplayNesting) {
        context().log(LogCategory::Display,
                      [&] { return "ignored: cannot make an empty clip in " + path(); });
        return nullptr;
    }
    std::shared_ptr<SpriteObject> clip = createEmpty(context());
    clip->setMovieInstance(movieInstancePtr());
    placeForScript(clip, std::move(name), scriptDepth);
    return clip;
}

std::shared_ptr<SpriteObject> SpriteObject::duplicateAs(std::string name, long long scriptDepth)
{
    // The copy may take this clip's own depth and so remove it: it must outlive this.
    const std::shared_ptr<DisplayObject> self = shared_from_this();
    ContainerObject* holder = parent();
    if (!holder || holder->kind() != ObjectKind::Sprite || !inScriptRange(scriptDepth) ||
        isUnloading())
        return nullptr;
    auto* into = static_cast<SpriteObject*>(holder);
    std::shared_ptr<SpriteObject> copy;
    if (character()) {
        // The same character as this clip makes a sprite again.
        copy = std::static_pointer_cast<SpriteObject>(
            createObject(character(), *into, movieInstancePtr()));
    } else if (context().canCreateObject()) {
        copy = createEmpty(context());
        copy->setMovieInstance(movieInstancePtr());
    }
    if (!copy)
        return nullptr;
    copy->setMatrix(matrix());
    copy->setColorTransform(colorTransform());
    copy->setClipActions(clipActions());
    // What scripts drew on the clip is copied with it; children are not.
    if (m_drawing && !m_drawing->empty()) {
        copy->editDrawing().copyFrom(*m_drawing);
        // The copy's bitmap fills paint with the same live bitmaps.
        for (const BitmapDataPtr& bitmap : m_drawing->bitmaps())
            bitmap->addViewer(copy);
    }
    into->placeForScript(copy, std::move(name), scriptDepth);
    return copy;
}

std::shared_ptr<DisplayObject> SpriteObject::duplicateField(const EditTextObject& field,
                                                            std::string name, long long scriptDepth)
{
    if (field.parent() != this || !inScriptRange(scriptDepth) || field.isUnloading())
        return nullptr;
    // The copy may take the field's own depth and so remove it.
    const std::shared_ptr<const DisplayObject> keep = field.shared_from_this();
    std::shared_ptr<DisplayObject> copy;
    if (field.character()) {
        copy = createObject(field.character(), *this, field.movieInstancePtr());
    } else if (context().canCreateObject()) {
        auto made = EditTextObject::createForScript(context(), swf::Rect{});
        made->setReadOnly(field.definition().readOnly);
        made->setMovieInstance(field.movieInstancePtr());
        copy = std::move(made);
    }
    if (!copy)
        return nullptr;
    copy->setMatrix(field.matrix());
    copy->setColorTransform(field.colorTransform());
    return placeForScript(std::move(copy), std::move(name), scriptDepth);
}

std::shared_ptr<DisplayObject> SpriteObject::createTextField(std::string name,
                                                             long long scriptDepth, swf::Twips x,
                                                             swf::Twips y, const swf::Rect& box)
{
    if (!inScriptRange(scriptDepth) || !context().canCreateObject())
        return nullptr;
    std::shared_ptr<EditTextObject> field = EditTextObject::createForScript(context(), box);
    field->setMovieInstance(movieInstancePtr());
    field->setMatrix(swf::Matrix::translation(x.value, y.value));
    return placeForScript(field, std::move(name), scriptDepth);
}

bool DisplayObject::removeByScript()
{
    const int depth = scriptDepth();
    if (!m_parent || m_unloading || depth < 0 || depth > limits::kMaxRemovableScriptDepth)
        return false;
    const std::shared_ptr<DisplayObject> self = shared_from_this();
    m_parent->removeChild(m_depth);
    return true;
}

bool DisplayObject::swapDepths(long long scriptDepth)
{
    if (!m_parent || m_unloading || !inScriptRange(scriptDepth))
        return false;
    const int depth = storedDepth(scriptDepth);
    if (depth != m_depth)
        m_depthScripted = true;
    m_parent->swapChildDepth(*this, depth);
    return true;
}

bool DisplayObject::swapDepths(DisplayObject& sibling)
{
    if (!m_parent || m_unloading || sibling.m_unloading || sibling.m_parent != m_parent)
        return false;
    if (&sibling != this) {
        m_depthScripted = true;
        sibling.m_depthScripted = true;
    }
    m_parent->swapChildDepth(*this, sibling.m_depth);
    return true;
}

} // namespace runtime
