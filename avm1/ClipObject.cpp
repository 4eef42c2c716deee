#include "ClipObject.h"

#include "ClipProperties.h"
#include "ClipRoots.h"
#include "TargetPaths.h"
#include "Vm.h"
#include "builtins/VideoProperties.h"
#include "format/Limits.h"
#include "runtime/ContainerObject.h"
#include "runtime/DisplayObject.h"
#include "runtime/Paths.h"
#include "runtime/SpriteObject.h"

namespace avm1 {

namespace {

ObjectClass classOf(const runtime::DisplayObject& object)
{
    switch (object.kind()) {
    case runtime::ObjectKind::Button:
        return ObjectClass::Button;
    case runtime::ObjectKind::EditText:
        return ObjectClass::TextField;
    case runtime::ObjectKind::Video:
        return ObjectClass::Video;
    default:
        return ObjectClass::MovieClip;
    }
}

// The wrapper another wrapper's lookups go to: itself while its clip is on the stage,
// else the clip at its path. The hops are bounded: a replacement is always live.
ClipObject* stand(ClipObject& clip)
{
    return clip.isGone() ? clip.live() : &clip;
}

} // namespace

ClipObject::ClipObject(Object* prototype, ClipRegistry& registry,
                       const std::shared_ptr<runtime::DisplayObject>& object)
    : Object(prototype), m_registry(registry), m_object(object), m_path(object->path()),
      m_objectId(object->id()), m_class(classOf(*object))
{}

ClipObject::~ClipObject()
{
    m_registry.forget(m_objectId);
}

void ClipObject::traceChildren(Tracer& tracer)
{
    Object::traceChildren(tracer);
    tracer.mark(m_attachedVideo);
}

runtime::SpriteObject* ClipObject::sprite() const
{
    runtime::DisplayObject* object = displayObject();
    if (!object || object->kind() != runtime::ObjectKind::Sprite)
        return nullptr;
    return static_cast<runtime::SpriteObject*>(object);
}

std::string ClipObject::currentPath() const
{
    runtime::DisplayObject* object = displayObject();
    return object && object->onStage() ? object->path() : m_path;
}

bool ClipObject::isGone() const
{
    runtime::DisplayObject* object = displayObject();
    return !object || !object->onStage();
}

ClipObject* ClipObject::live()
{
    runtime::DisplayObject* object = displayObject();
    if (object && object->onStage()) {
        m_path = object->path();
        return this;
    }
    ClipObject* other = m_registry.resolve(m_path);
    return other && !other->isGone() ? other : nullptr;
}

bool ClipObject::getVirtual(Vm& vm, String* name, Value& out)
{
    if (!isGone())
        return false;
    // Scripts address clips by path: what stands at this one's path now answers.
    if (ClipObject* other = live()) {
        out = vm.getMember(other, name);
        return true;
    }
    // With nothing there, the clip has lost its variables and children; its class's
    // methods still answer (and do nothing).
    if (!prototype() || !vm.lookup(prototype(), name, out))
        out = Value();
    return true;
}

bool ClipObject::setVirtual(Vm& vm, String* name, const Value& value)
{
    if (isGone()) {
        if (ClipObject* other = live())
            vm.setMember(other, name, value);
        return true;
    }
    if (runtime::DisplayObject* object = displayObject();
        object && setVideoProperty(vm, *object, name, value))
        return true;
    if (name->empty() || name->view()[0] != '_')
        return false;
    return setClipProperty(vm, *this, name->view(), value);
}

bool ClipObject::resolveFallback(Vm& vm, String* name, Value& out)
{
    ClipObject* self = stand(*this);
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    if (!object || name->empty())
        return false;
    // SWF 4 has no clip values: neither levels nor instance names are variables there.
    const bool clipValues = vm.swfVersion() >= 5;
    // From SWF 6 every clip reaches the global object as its _global.
    if (vm.swfVersion() >= 6 && sameKey(name, vm.names().global, vm.caseRule())) {
        out = Value(vm.global());
        return true;
    }
    // A level where no movie plays still answers, with nothing.
    if (const auto level = levelNumber(name->view(), vm.caseRule()); level && clipValues) {
        ClipObject* root = levelClip(m_registry, *level);
        out = root ? Value(root) : Value();
        return true;
    }
    // Instance names come before the display properties: a child named "_x" hides
    // the clip's _x from member reads (not from GetProperty).
    if (clipValues && (object->kind() == runtime::ObjectKind::Sprite ||
                       object->kind() == runtime::ObjectKind::Button)) {
        auto* container = static_cast<runtime::ContainerObject*>(object);
        if (runtime::DisplayObject* child = container->childByName(name->view())) {
            // A named shape has no script object: the clip holding it stands for it, as
            // it does for a button before SWF 6.
            ClipObject* wrapped = isScriptObjectFor(vm, *child) ? m_registry.wrap(child) : nullptr;
            out = Value(wrapped ? wrapped : self);
            return true;
        }
    }
    if (getVideoProperty(vm, *object, name, out))
        return true;
    if (name->view()[0] != '_')
        return false;
    return getClipProperty(vm, *self, name->view(), out);
}

void ClipObject::ownPropertyAssigned(Vm& vm, String* name)
{
    if (!isGone())
        m_registry.textBindings().variableAssigned(vm, *this, name);
}

void ClipObject::virtualKeys(Vm& vm, std::vector<String*>& keys)
{
    if (isGone() || vm.swfVersion() < 5)
        return;
    runtime::DisplayObject* object = displayObject();
    if (!object || (object->kind() != runtime::ObjectKind::Sprite &&
                    object->kind() != runtime::ObjectKind::Button))
        return;
    const auto* container = static_cast<runtime::ContainerObject*>(object);
    for (const auto& [depth, child] : container->children()) {
        // Named shapes, texts and pictures too: the clip holding them stands for them.
        if (!child->name().empty())
            keys.push_back(vm.str(child->name()));
    }
}

String* clipPathText(Vm& vm, Object* object)
{
    if (!asClip(object))
        return nullptr;
    ClipObject* clip = static_cast<ClipObject*>(object)->live();
    if (!clip)
        return vm.names().empty;
    return vm.str(clip->targetPath());
}

bool isScriptObjectFor(Vm& vm, const runtime::DisplayObject& object)
{
    return object.kind() != runtime::ObjectKind::Button || vm.swfVersion() >= 6;
}

runtime::DisplayObject* scriptParentOf(Vm& vm, const runtime::DisplayObject& object)
{
    runtime::DisplayObject* parent = object.parent();
    for (int depth = 0;
         parent && !isScriptObjectFor(vm, *parent) && depth < swf::limits::kMaxDisplayNesting;
         ++depth)
        parent = parent->parent();
    return parent;
}

ClipObject* asClip(Object* object)
{
    if (!object)
        return nullptr;
    const ObjectClass kind = object->objectClass();
    if (kind != ObjectClass::MovieClip && kind != ObjectClass::Button &&
        kind != ObjectClass::TextField && kind != ObjectClass::Video)
        return nullptr;
    return static_cast<ClipObject*>(object);
}

ClipObject* ClipRegistry::wrap(runtime::DisplayObject* object)
{
    if (!object || !(object->isScriptable() || object->isRoot() ||
                     object->kind() == runtime::ObjectKind::Video))
        return nullptr;
    if (auto it = m_wrappers.find(object->id()); it != m_wrappers.end())
        return it->second;
    // The prototypes of the realm of the movie the object belongs to.
    Builtins& builtins = m_vm.builtinsOf(scriptRealmOf(*object));
    Object* proto = builtins.movieClipProto;
    if (object->kind() == runtime::ObjectKind::Button && builtins.buttonProto)
        proto = builtins.buttonProto;
    else if (object->kind() == runtime::ObjectKind::EditText && builtins.textFieldProto)
        proto = builtins.textFieldProto;
    else if (object->kind() == runtime::ObjectKind::Video && builtins.videoProto)
        proto = builtins.videoProto;
    auto* wrapper = m_vm.heap().make<ClipObject>(proto, *this, object->shared_from_this());
    m_wrappers.emplace(object->id(), wrapper);
    return wrapper;
}

ClipObject* ClipRegistry::find(std::uint64_t objectId) const
{
    auto it = m_wrappers.find(objectId);
    return it == m_wrappers.end() ? nullptr : it->second;
}

ClipObject* ClipRegistry::resolve(const std::string& path)
{
    if (!m_root || path.empty())
        return nullptr;
    return wrap(runtime::resolvePath(*m_root, path));
}

void ClipRegistry::trace(Tracer& tracer) const
{
    for (const auto& [id, wrapper] : m_wrappers)
        if (wrapper->displayObject())
            tracer.mark(wrapper);
}

} // namespace avm1
