#pragma once

#include "Bounds.h"
#include "MovieInstance.h"
#include "format/DisplayTags.h"
#include "format/Filter.h"
#include "format/Geometry.h"
#include "format/Movie.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace runtime {

class ContainerObject;
class PlayerContext;

// Bitmap: a script's bitmap a clip shows (attachBitmap). Video: an embedded video.
enum class ObjectKind : std::uint8_t {
    Shape,
    MorphShape,
    StaticText,
    EditText,
    Button,
    Sprite,
    Bitmap,
    Video
};

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
    // Sprites, buttons and edit texts: the kinds scripts can address, and that get an
    // instance name when placed without one. (Videos have script objects too, but no
    // names of their own.)
    bool isScriptable() const;

    // Unique for the player's life and never reused; later objects have larger ids, so
    // ids also give the order in which objects were made.
    std::uint64_t id() const { return m_id; }
    // Changes whenever anything this object draws changes, except its own matrix.
    std::uint64_t contentVersion() const { return m_contentVersion; }
    PlayerContext& context() const { return m_context; }
    // The movie whose definitions it was made from: the one its maker belongs to, or,
    // for the root of a movie loaded into a level or a clip, the movie loaded.
    const swf::MovieDefinition& movie() const { return m_movie->definition(); }
    MovieInstance& movieInstance() const { return *m_movie; }
    const MovieInstancePtr& movieInstancePtr() const { return m_movie; }
    void setMovieInstance(MovieInstancePtr movie);

    ContainerObject* parent() const { return m_parent; }
    // The depth in the parent's list as the file format numbers it.
    int depth() const { return m_depth; }
    // The same depth as scripts see it (getDepth): limits::kScriptDepthOffset lower.
    int scriptDepth() const;
    bool isRoot() const { return m_isRoot; }
    // The level a root stands for (_level0, _level1...); 0 for every other object.
    int level() const { return m_level; }
    // The top of the tree it is in: its level's root while it is on the stage.
    const DisplayObject& topmost() const;
    // _lockroot: code inside this clip takes it for _root.
    bool locksRoot() const { return m_locksRoot; }
    void setLocksRoot(bool value) { m_locksRoot = value; }
    // Placed, directly or through its ancestors, on the main timeline. A removed clip
    // kept for its unload handlers is still on the stage until it is taken away.
    bool onStage() const;
    // Removed, but kept in its parent's list (below every other depth) until the step's
    // actions have run, because it or something in it answers Unload.
    bool isUnloading() const { return m_unloading; }
    // Ancestors above it: 0 for the main timeline.
    int nestingLevel() const;
    // The target path in dot syntax: "_level0" for the main timeline,
    // "_level0.clip.inner" below it, "_level2.clip" in another level (a removed object:
    // its names up to where it was cut).
    std::string path() const;
    // The same in slash syntax (_target): "/" for the main timeline, "/clip/inner";
    // "_level2" and "_level2/clip" in another level.
    std::string targetPath() const;

    // Made by a script (attachMovie, createEmptyMovieClip, duplicateMovieClip) rather
    // than placed by a timeline.
    bool isScriptPlaced() const { return m_scriptPlaced; }
    void markScriptPlaced() { m_scriptPlaced = true; }
    // A script set its transform (_x, _rotation, _alpha...): from then on the
    // timeline's moves and rebuilds leave its matrix and colour transform alone.
    bool isScriptTransformed() const { return m_scriptTransformed; }
    void markScriptTransformed() { m_scriptTransformed = true; }
    // A script moved it to another depth (swapDepths; back to its own later counts
    // too): the timeline lets it be from then on. Its placements do not replace it, its
    // moves do not move it, and a jump back keeps it where the frame jumped to has
    // something placed, unless a script made it.
    bool isDepthScripted() const { return m_depthScripted; }

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
    // setMask: the object whose fills clip this one, wherever the two stand; null for
    // none, or when it is gone. A mask masks one object at most: given to another, it
    // leaves the first. Null takes the mask away.
    DisplayObject* scriptMask() const { return m_scriptMask.lock().get(); }
    void setScriptMask(DisplayObject* mask);
    // This one masks another for a script, both being on the stage: then it is drawn
    // only as that object's clip, and takes no pointer. Clip-depth masks, and the
    // objects they clip, keep to the timeline's masking: a script's mask between them
    // does nothing.
    bool isActiveScriptMask() const;
    // The script's mask in force on this object, by the rule above; null for none.
    const DisplayObject* activeScriptMask() const;
    // What scripts set (DisplaySettings.cpp): the part of its own space the object shows,
    // scrolled to its origin (scrollRect, twips); the colour filling its bounds behind
    // what it draws (opaqueBackground, which PlaceObject3 gives too).
    const std::optional<swf::Rect>& scrollRect() const { return m_scrollRect; }
    void setScrollRect(const std::optional<swf::Rect>& value);
    const std::optional<swf::Rgba>& opaqueBackground() const { return m_opaqueBackground; }
    void setOpaqueBackground(const std::optional<swf::Rgba>& value);
    // The nine-slice grid a script gave (scale9Grid, twips in its own space); kept for
    // scripts to read back, drawing ignores it.
    const std::optional<swf::Rect>& scale9Grid() const { return m_scale9Grid; }
    void setScale9Grid(const std::optional<swf::Rect>& value) { m_scale9Grid = value; }
    // The timeline tag that placed it (in the movie); null for objects scripts made and
    // for the main timeline. A rebuild keeps an object only for the same instance.
    const swf::PlaceObject* placedBy() const { return m_placedBy; }
    void setPlacedBy(const swf::PlaceObject* tag) { m_placedBy = tag; }
    // PlaceObject2/3 clip event handlers, kept for the script engine (in the movie).
    const std::vector<swf::ClipAction>* clipActions() const { return m_clipActions; }
    void setClipActions(const std::vector<swf::ClipAction>* value) { m_clipActions = value; }

    // removeMovieClip and RemoveSprite (ScriptDisplayList.cpp): takes the object off
    // the stage if it stands where scripts may remove from (script depths 0 to
    // limits::kMaxRemovableScriptDepth, whoever placed it there); returns whether it did.
    bool removeByScript();
    // swapDepths(depth): moves to a script depth (limits::kMinScriptDepth to
    // limits::kMaxScriptDepth) of its parent; whatever stood there takes its old depth.
    bool swapDepths(long long scriptDepth);
    // swapDepths(target): trades depths with a sibling; false for any other object.
    bool swapDepths(DisplayObject& sibling);

    // The matrix and colour transform from this object's space to the stage's.
    swf::Matrix worldMatrix() const;
    swf::ColorTransform worldColorTransform() const;

    // The properties as scripts read and write them (DisplayProperties.cpp), with the
    // reference player's arithmetic. Positions are in pixels, stored as whole twips
    // (truncated; out of range gives the lowest twip value); scales in percent and
    // rotation in degrees, kept as set beside the matrix so that reading them back
    // gives what was written; alpha in percent, through the colour transform's 8.8
    // alpha multiplier (so 33 reads back as 32.8125). NaN leaves a property unchanged.
    // Every setter marks the object script-transformed.
    double x() const;
    double y() const;
    void setX(double pixels);
    void setY(double pixels);
    double xScale() const;
    double yScale() const;
    void setXScale(double percent);
    void setYScale(double percent);
    // Degrees in (-180, 180].
    double rotation() const;
    void setRotation(double degrees);
    double alpha() const;
    void setAlpha(double percent);
    // The size of the bounds in the parent's space, in pixels; setting one rescales
    // the object along its own axis (nothing happens to an object with no size).
    double width() const;
    double height() const;
    void setWidth(double pixels);
    void setHeight(double pixels);

    // What the object covers in its own twips (its children's, for containers);
    // empty for an object that draws nothing.
    virtual Bounds localBounds() const;
    // The same, in the space of `space` (getBounds(target)); null means the stage's.
    Bounds boundsIn(const DisplayObject* space) const;

    // Called once, after the object is placed in its parent and given its properties:
    // sprites execute their first frame, buttons build their up state.
    virtual void initialize() {}

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
    // The ratio was set to a new value (videos show the frame it numbers).
    virtual void ratioChanged() {}
    // A level's root stands at the level's number as its depth (getDepth gives
    // level - 16384).
    void markAsRoot(int level = 0)
    {
        m_isRoot = true;
        m_level = level;
        m_depth = level;
    }
    // A movie loaded into a clip: the clip is made from no character of its parent's.
    void setCharacter(const swf::Character* character) { m_character = character; }

private:
    friend class ContainerObject; // sets m_parent, m_depth and m_unloading

    // The scales and axis angles scripts work with, taken from the matrix when a
    // script first changes one and kept until something else sets the matrix.
    struct ScriptTransform {
        double xScale;    // percent
        double yScale;    // percent
        double rotation;  // degrees: the x axis' angle
        double yRotation; // degrees: the y axis' angle, which differs when skewed
    };
    ScriptTransform scriptTransform() const;
    void applyScriptTransform(const ScriptTransform& transform);
    void resizeTo(double widthPixels, double heightPixels);
    Bounds scriptBox() const;
    double scaleFromOwnBox(double pixels, bool across) const;

    PlayerContext& m_context;
    MovieInstancePtr m_movie;
    ObjectKind m_kind;
    const swf::Character* m_character;
    std::uint64_t m_id;
    std::uint64_t m_contentVersion = 0;
    ContainerObject* m_parent = nullptr;
    int m_depth = 0;
    int m_level = 0;
    bool m_isRoot = false;
    bool m_locksRoot = false;
    bool m_unloading = false;
    bool m_scriptPlaced = false;
    bool m_scriptTransformed = false;
    bool m_depthScripted = false;
    std::optional<ScriptTransform> m_scriptTransform;

    std::string m_name;
    swf::Matrix m_matrix;
    swf::ColorTransform m_colorTransform;
    std::uint16_t m_ratio = 0;
    std::uint16_t m_clipDepth = 0;
    swf::BlendMode m_blendMode = swf::BlendMode::Normal;
    FilterList m_filters;
    bool m_cacheAsBitmap = false;
    bool m_visible = true;
    std::weak_ptr<DisplayObject> m_scriptMask;
    std::weak_ptr<DisplayObject> m_scriptMaskee;
    std::optional<swf::Rect> m_scrollRect;
    std::optional<swf::Rect> m_scale9Grid;
    std::optional<swf::Rgba> m_opaqueBackground;
    const std::vector<swf::ClipAction>* m_clipActions = nullptr;
    const swf::PlaceObject* m_placedBy = nullptr;
};

} // namespace runtime
