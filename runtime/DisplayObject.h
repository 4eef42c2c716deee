#pragma once

#include "format/DisplayTags.h"
#include "format/Filter.h"
#include "format/Geometry.h"
#include "format/Movie.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace runtime {

class ContainerObject;
class PlayerContext;

enum class ObjectKind : std::uint8_t { Shape, MorphShape, StaticText, EditText, Button, Sprite };

using FilterList = std::shared_ptr<const std::vector<swf::Filter>>;

// One thing on the stage: a character placed at a depth of a sprite or a button, with
// the properties its placement gave it. Objects are shared (scripts will hold them too);
// a removed object simply has no parent and is no longer on the stage.
class DisplayObject : public std::enable_shared_from_this<DisplayObject> {
public:
    virtual ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    ObjectKind kind() const { return m_kind; }
    // The definition it was made from; null for the main timeline.
    const swf::Character* character() const { return m_character; }
    swf::CharacterId characterId() const { return m_character ? m_character->id : 0; }
    // Sprites, buttons and edit texts: the kinds scripts can address.
    bool isScriptable() const;

    std::uint64_t id() const { return m_id; }
    // Changes whenever anything this object draws changes, except its own matrix.
    std::uint64_t contentVersion() const { return m_contentVersion; }
    std::uint64_t createdTick() const { return m_createdTick; }
    PlayerContext& context() const { return m_context; }

    ContainerObject* parent() const { return m_parent; }
    int depth() const { return m_depth; }
    bool isRoot() const { return m_isRoot; }
    // Placed, directly or through its ancestors, on the main timeline.
    bool onStage() const;
    // Ancestors above it: 0 for the main timeline.
    int nestingLevel() const;
    // "_level0" for the main timeline, "_level0.clip.inner" below it.
    std::string path() const;

    const std::string& name() const { return m_name; }
    void setName(std::string value) { m_name = std::move(value); }
    const swf::Matrix& matrix() const { return m_matrix; }
    void setMatrix(const swf::Matrix& value);
    const swf::ColorTransform& colorTransform() const { return m_colorTransform; }
    void setColorTransform(const swf::ColorTransform& value);
    std::uint16_t ratio() const { return m_ratio; }
    void setRatio(std::uint16_t value);
    // Non-zero: this object masks the objects of its parent above it up to this depth.
    std::uint16_t clipDepth() const { return m_clipDepth; }
    void setClipDepth(std::uint16_t value);
    bool isMask() const { return m_clipDepth != 0; }
    swf::BlendMode blendMode() const { return m_blendMode; }
    void setBlendMode(swf::BlendMode value);
    const FilterList& filters() const { return m_filters; }
    void setFilters(FilterList value);
    bool cacheAsBitmap() const { return m_cacheAsBitmap; }
    void setCacheAsBitmap(bool value);
    bool visible() const { return m_visible; }
    void setVisible(bool value);
    // PlaceObject2/3 clip event handlers, kept for the script engine (in the movie).
    const std::vector<swf::ClipAction>* clipActions() const { return m_clipActions; }
    void setClipActions(const std::vector<swf::ClipAction>* value) { m_clipActions = value; }

    // The matrix and colour transform from this object's space to the stage's.
    swf::Matrix worldMatrix() const;
    swf::ColorTransform worldColorTransform() const;

    // Called once, after the object is placed in its parent and given its properties:
    // sprites execute their first frame, buttons build their up state.
    virtual void initialize() {}
    // One frame step for this object and everything it holds.
    virtual void advance() {}

    // Something this object draws changed: bumps it and its ancestors.
    void markContentChanged();
    // Only its placement in the parent changed (matrix, visibility, depth, clipping):
    // the ancestors draw something new, the object itself does not.
    void markPlacementChanged();
    // Its colour transform changed: every object under it draws in new colours too.
    void markColorChanged();

protected:
    DisplayObject(PlayerContext& context, ObjectKind kind, const swf::Character* character);
    // Bumps this object and, for containers, everything inside.
    virtual void bumpSubtree() { ++m_contentVersion; }
    void markAsRoot() { m_isRoot = true; }

private:
    friend class ContainerObject; // sets m_parent and m_depth

    PlayerContext& m_context;
    ObjectKind m_kind;
    const swf::Character* m_character;
    std::uint64_t m_id;
    std::uint64_t m_createdTick;
    std::uint64_t m_contentVersion = 0;
    ContainerObject* m_parent = nullptr;
    int m_depth = 0;
    bool m_isRoot = false;

    std::string m_name;
    swf::Matrix m_matrix;
    swf::ColorTransform m_colorTransform;
    std::uint16_t m_ratio = 0;
    std::uint16_t m_clipDepth = 0;
    swf::BlendMode m_blendMode = swf::BlendMode::Normal;
    FilterList m_filters;
    bool m_cacheAsBitmap = false;
    bool m_visible = true;
    const std::vector<swf::ClipAction>* m_clipActions = nullptr;
};

} // namespace runtime
