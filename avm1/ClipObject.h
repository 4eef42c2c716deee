#pragma once

// A display object as scripts see it: a MovieClip, Button, TextField or Video object whose
// plain properties are the clip's timeline variables and whose display properties
// (_x, _currentframe...) and child instances are answered from the runtime.
//
// The wrapper holds the display object weakly, with the target path it had: a
// reference a script keeps to a clip that the timeline removed re-resolves by that
// path, so it reaches the clip that stands there now, if any.

#include "Object.h"
#include "TextFieldBindings.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace runtime {
class DisplayObject;
class SpriteObject;
} // namespace runtime

namespace avm1 {

class ClipRegistry;

class ClipObject final : public Object {
public:
    ClipObject(Object* prototype, ClipRegistry& registry,
               const std::shared_ptr<runtime::DisplayObject>& object);
    ~ClipObject() override;

    ObjectClass objectClass() const override { return m_class; }

    // The display object, while it lives; null once it is gone.
    runtime::DisplayObject* displayObject() const { return m_object.lock().get(); }
    // The sprite, for timeline operations; null for buttons, texts and dead clips.
    runtime::SpriteObject* sprite() const;
    // This clip if it is on the stage, else the clip now at its path (or null).
    ClipObject* live();
    // Off the stage: removed, or inside something removed.
    bool isGone() const;
    const std::string& targetPath() const { return m_path; }
    // Its clip's path now while it lives, else the path it had.
    std::string currentPath() const;
    std::uint64_t objectId() const { return m_objectId; }

    // A registered class's constructor has run on this clip (attachMovie runs it at
    // once; the Construct event must not run it again).
    bool constructed() const { return m_constructed; }
    void markConstructed() { m_constructed = true; }

    // A wrapper whose clip is gone answers every name as the clip now at its path
    // does, or with undefined when none stands there.
    bool getVirtual(Vm& vm, String* name, Value& out) override;
    bool setVirtual(Vm& vm, String* name, const Value& value) override;
    bool resolveFallback(Vm& vm, String* name, Value& out) override;
    void ownPropertyAssigned(Vm& vm, String* name) override;
    // for..in lists the named children as members (a shape by its holder).
    void virtualKeys(Vm& vm, std::vector<String*>& keys) override;

    ClipRegistry& registry() const { return m_registry; }

    // The tabIndex a script gave a clip or button, as the player keeps it.
    std::optional<std::int32_t> tabIndex() const { return m_tabIndex; }
    void setTabIndex(std::optional<std::int32_t> index) { m_tabIndex = index; }
    // The object's own _focusrect (SWF 6 on), over the movie's; unset is null.
    std::optional<bool> focusRect() const { return m_focusRect; }
    void setFocusRect(std::optional<bool> shown) { m_focusRect = shown; }
    // A video's source given by attachVideo (a NetStream); null when none.
    Object* attachedVideo() const { return m_attachedVideo; }
    void setAttachedVideo(Object* source) { m_attachedVideo = source; }

    void traceChildren(Tracer& tracer) override;

private:
    ClipRegistry& m_registry;
    std::weak_ptr<runtime::DisplayObject> m_object;
    std::string m_path;
    std::uint64_t m_objectId;
    ObjectClass m_class;
    bool m_constructed = false;
    std::optional<std::int32_t> m_tabIndex;
    std::optional<bool> m_focusRect;
    Object* m_attachedVideo = nullptr;
};

// A clip's target path in dot syntax ("_level0.menu"), "" for a clip that is gone;
// null for objects that are not clips.
String* clipPathText(Vm& vm, Object* object);
// The object as a clip wrapper (a MovieClip, Button, TextField or Video); null for others.
ClipObject* asClip(Object* object);

// Buttons are no objects to SWF 5 code: a name or _parent that reaches one reaches the
// clip holding it instead. Whether `object` is one to the running code, and the parent
// the running code sees of an object.
bool isScriptObjectFor(Vm& vm, const runtime::DisplayObject& object);
runtime::DisplayObject* scriptParentOf(Vm& vm, const runtime::DisplayObject& object);

// What the player keeps for the whole movie, read and written through any clip's
// _quality, _highquality, _focusrect, _soundbuftime and _url.
struct StageSettings {
    enum class Quality : std::uint8_t { Low, Medium, High, Best };
    Quality quality = Quality::High;
    bool focusRect = true;
    std::int32_t soundBufferSeconds = 5;
    // The movie's address as the reference gives it ("file:///movie.swf"); empty when
    // the host did not say.
    std::string movieUrl;
    // getBounds' empty corner goes through single precision (MovieClipGeometry.cpp).
    bool singlePrecisionEmptyBounds = false;
};

// The script objects of one movie's display objects: one wrapper per object, made on
// first use. Wrappers of objects that are gone and that no script holds are collected;
// the registry forgets them then.
class ClipRegistry {
public:
    explicit ClipRegistry(Vm& vm) : m_vm(vm) {}

    Vm& vm() const { return m_vm; }
    void setRoot(runtime::DisplayObject* root) { m_root = root; }
    runtime::DisplayObject* rootObject() const { return m_root; }

    // The wrapper of a display object (made when missing); null for objects scripts
    // cannot address (shapes, static texts).
    ClipObject* wrap(runtime::DisplayObject* object);
    ClipObject* find(std::uint64_t objectId) const;
    // The object a target path names now, from the main timeline.
    ClipObject* resolve(const std::string& path);

    StageSettings& settings() { return m_settings; }
    TextFieldBindings& textBindings() { return m_textBindings; }

    // Marks the wrappers of display objects that are alive: their timeline
    // variables must survive while the clip does.
    void trace(Tracer& tracer) const;

private:
    friend class ClipObject;
    void forget(std::uint64_t objectId) { m_wrappers.erase(objectId); }

    Vm& m_vm;
    runtime::DisplayObject* m_root = nullptr;
    StageSettings m_settings;
    TextFieldBindings m_textBindings;
    std::unordered_map<std::uint64_t, ClipObject*> m_wrappers;
};

} // namespace avm1
