#include "MovieClipPlacement.h"

#include "ClassRegistry.h"
#include "TextFields.h"
#include "avm1/ClipObject.h"
#include "avm1/ClipRoots.h"
#include "avm1/Vm.h"
#include "runtime/EditTextObject.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

#include <variant>

namespace avm1 {

namespace {

// The character exported as `symbol`, or 0. The reference matches export names
// without regard to case in every version.
swf::CharacterId exportedCharacter(const swf::MovieDefinition& movie, std::string_view symbol)
{
    if (auto it = movie.exports.find(std::string(symbol)); it != movie.exports.end())
        return it->second;
    for (const auto& [name, id] : movie.exports)
        if (sameKey(name, symbol, CaseRule::Insensitive))
            return id;
    return 0;
}

// The class Object.registerClass gave the symbol the clip was made from.
Object* registeredClassOf(Vm& vm, const runtime::DisplayObject& object)
{
    if (!object.character())
        return nullptr;
    const swf::CharacterId id = object.characterId();
    for (const auto& [name, exported] : object.movie().exports) {
        if (exported != id)
            continue;
        if (Object* ctor = classForSymbol(vm, scriptRealmOf(object), name))
            return ctor;
    }
    return nullptr;
}

// What a script-made clip gets before any of its code runs: the init object's
// properties, in the order they were set (setters on the class's prototype see
// them), then its class's constructor, at once rather than with the Construct event,
// then its onConstruct method.
ClipObject* furnish(Vm& vm, ClipObject* clip, Object* initObject)
{
    if (!clip)
        return nullptr;
    if (initObject) {
        for (String* key : vm.enumerableKeys(initObject)) {
            const Value value = vm.getMember(initObject, key);
            if (vm.throwing())
                return clip;
            vm.setMember(clip, key, value);
            if (vm.throwing())
                return clip;
        }
    }
    runtime::DisplayObject* object = clip->displayObject();
    if (object && !clip->constructed()) {
        if (Object* ctor = registeredClassOf(vm, *object)) {
            constructClip(vm, *clip, ctor);
            if (vm.throwing())
                return clip;
        }
    }
    // Last, the clip's onConstruct, where its prototype chain has one.
    const Value onConstruct = vm.getMember(clip, vm.str("onConstruct"));
    if (Object* f = onConstruct.objectOrNull(); f && f->isFunction())
        vm.call(onConstruct, Value(clip), {});
    return clip;
}

runtime::SpriteObject* liveSprite(ClipObject& clip)
{
    ClipObject* self = clip.live();
    return self ? self->sprite() : nullptr;
}

} // namespace

ClipObject* attachMovie(Vm& vm, ClipObject& parent, std::string_view symbol, std::string name,
                        long long depth, Object* initObject)
{
    runtime::SpriteObject* sprite = liveSprite(parent);
    if (!sprite)
        return nullptr;
    // The symbols of the movie the clip belongs to: a loaded movie attaches its own.
    const swf::MovieDefinition& movie = sprite->movie();
    const swf::CharacterId id = exportedCharacter(movie, symbol);
    const swf::Character* character = id ? movie.character(id) : nullptr;
    // Only movie clips can be attached.
    if (!character || !std::holds_alternative<swf::Sprite>(character->data))
        return nullptr;
    auto made = sprite->attachCharacter(id, std::move(name), depth);
    if (!made)
        return nullptr;
    return furnish(vm, parent.registry().wrap(made.get()), initObject);
}

ClipObject* createEmptyMovieClip(Vm& vm, ClipObject& parent, std::string name, long long depth)
{
    runtime::SpriteObject* sprite = liveSprite(parent);
    if (!sprite)
        return nullptr;
    auto made = sprite->createEmptyClip(std::move(name), depth);
    return made ? furnish(vm, parent.registry().wrap(made.get()), nullptr) : nullptr;
}

ClipObject* duplicateMovieClip(Vm& vm, ClipObject& clip, std::string name, long long depth,
                               Object* initObject)
{
    if (ClipObject* field = duplicateTextField(clip, name, depth))
        return field;
    runtime::SpriteObject* sprite = liveSprite(clip);
    if (!sprite || sprite->isRoot())
        return nullptr;
    auto made = sprite->duplicateAs(std::move(name), depth);
    if (!made)
        return nullptr;
    return furnish(vm, clip.registry().wrap(made.get()), initObject);
}

void constructClip(Vm& vm, ClipObject& clip, Object* constructor)
{
    clip.markConstructed();
    const CaseRule rule = vm.caseRule();
    clip.defineValue(vm.names().constructorOld, Value(constructor), PropertyFlag::DontEnum, rule);
    clip.defineValue(vm.names().constructor, Value(constructor), PropertyFlag::DontEnum, rule);
    vm.call(Value(constructor), Value(&clip), {});
}

bool removeMovieClip(ClipObject& clip)
{
    ClipObject* self = clip.live();
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    return object && !object->isRoot() && object->removeByScript();
}

} // namespace avm1
