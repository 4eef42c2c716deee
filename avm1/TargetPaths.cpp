#include "TargetPaths.h"

#include "ClipObject.h"
#include "ClipRoots.h"
#include "Vm.h"
#include "runtime/ContainerObject.h"

namespace avm1 {

namespace {

Object* parentOf(Vm& vm, Object* at)
{
    if (ClipObject* clip = asClip(at)) {
        ClipObject* live = clip->live();
        runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
        return object ? clip->registry().wrap(scriptParentOf(vm, *object)) : nullptr;
    }
    return vm.getMember(at, vm.names().parent).objectOrNull();
}

class PathWalker {
public:
    PathWalker(Vm& vm, Object* root, const ScopeLookup* scope)
        : m_vm(vm), m_root(root), m_scope(scope), m_dots(vm.swfVersion() >= 5)
    {}

    // `atStart`: the name opens the path. SWF 4 paths know no "_root", and a level
    // only there.
    Object* step(Object* at, std::string_view name, bool first, bool atStart)
    {
        const CaseRule rule = m_vm.caseRule();
        if (sameKey(name, "_parent", rule))
            return parentOf(m_vm, at);
        if (m_dots && sameKey(name, "_root", rule))
            return m_root;
        if (const auto level = levelNumber(name, rule); level && (m_dots || atStart))
            return levelObject(*level);
        if (sameKey(name, "_global", rule) && m_vm.swfVersion() >= 6)
            return m_vm.global();
        // Variable paths start at the timeline the code runs on, which "this" names
        // there (whatever the function's own "this").
        if (first && m_scope && sameKey(name, "this", rule))
            return at;
        if (ClipObject* clip = asClip(at); clip && !name.empty()) {
            ClipObject* live = clip->live();
            runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
            if (object && (object->kind() == runtime::ObjectKind::Sprite ||
                           object->kind() == runtime::ObjectKind::Button)) {
                auto* container = static_cast<runtime::ContainerObject*>(object);
                if (runtime::DisplayObject* child = container->childByName(name)) {
                    // Shapes have no script object (nor buttons before SWF 6): the
                    // clip holding one stands for it.
                    ClipObject* wrapped =
                        isScriptObjectFor(m_vm, *child) ? clip->registry().wrap(child) : nullptr;
                    return wrapped ? wrapped : live;
                }
            }
        }
        const Value value =
            first && m_scope ? (*m_scope)(name) : m_vm.getMember(at, m_vm.str(name));
        return objectOrWarn(value);
    }

    Object* levelObject(long long level)
    {
        ClipObject* root = asClip(m_root);
        return root ? levelClip(root->registry(), level) : nullptr;
    }

    // A path goes only through objects. From SWF 5 the reference says so when it meets
    // a string, number or boolean on the way.
    Object* objectOrWarn(const Value& value)
    {
        if (value.isObject())
            return value.asObject();
        if (!value.isNullish() && m_vm.swfVersion() >= 5)
            m_vm.trace("Parameters of primitive types are no longer coerced into the required "
                       "type - Object.");
        return nullptr;
    }

    Object* walk(Object* start, std::string_view path)
    {
        const std::size_t n = path.size();
        Object* at = start;
        std::size_t pos = 0;
        bool slashSeen = false;
        bool first = true;
        char previous = 0; // the separator before the current name; 0 at the start
        if (n > 0 && path[0] == '/') {
            at = m_root;
            pos = 1;
            slashSeen = true;
            first = false;
            previous = '/';
        }
        auto separates = [&](char c) {
            return c == '/' || (m_dots && (c == ':' || (c == '.' && !slashSeen)));
        };
        while (pos < n && at) {
            // ".." is the parent where a name may start, but not right after a dot.
            if (previous != '.' && path.compare(pos, 2, "..") == 0 &&
                (pos + 2 == n || (path[pos + 2] != '.' && separates(path[pos + 2])))) {
                at = parentOf(m_vm, at);
                first = false;
                pos += 2;
                if (pos < n) {
                    slashSeen = slashSeen || path[pos] == '/';
                    previous = path[pos];
                    ++pos;
                }
                continue;
            }
            std::size_t end = pos;
            while (end < n && !separates(path[end]))
                ++end;
            if (end > pos) {
                at = step(at, path.substr(pos, end - pos), first, pos == 0);
                first = false;
            } else if (end < n && ((path[end] == '/' && previous == '/') ||
                                   (path[end] == '.' && previous != '.'))) {
                // "//", and a dot with no name before it, name nothing.
                return nullptr;
            }
            if (end >= n)
                break;
            slashSeen = slashSeen || path[end] == '/';
            previous = path[end];
            pos = end + 1;
        }
        // A path may end with a ":" after a name, not after another separator.
        if (m_dots && n >= 2 && path[n - 1] == ':' && (path[n - 2] == ':' || path[n - 2] == '/'))
            return nullptr;
        return at;
    }

private:
    Vm& m_vm;
    Object* m_root;
    const ScopeLookup* m_scope;
    // Dot syntax, and ":" between names, came with SWF 5.
    bool m_dots;
};

} // namespace

std::optional<long long> levelNumber(std::string_view name, CaseRule rule)
{
    std::string_view rest;
    if (name.size() >= 6 && sameKey(name.substr(0, 6), "_level", rule))
        rest = name.substr(6);
    else if (name.size() >= 6 && sameKey(name.substr(0, 6), "_flash", rule))
        rest = name.substr(6);
    else
        return std::nullopt;
    bool negative = false;
    if (!rest.empty() && rest[0] == '-') {
        negative = true;
        rest.remove_prefix(1);
    }
    std::uint32_t value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9')
            break;
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
    }
    if (negative)
        value = 0u - value;
    return static_cast<long long>(static_cast<std::int32_t>(value));
}

Object* walkTargetPath(Vm& vm, Object* start, Object* root, std::string_view path,
                       const ScopeLookup* scope)
{
    if (!start)
        return nullptr;
    // A removed clip that nothing replaced has no way up to the stage.
    if (ClipObject* clip = asClip(start); clip && !clip->live()) {
        root = start;
    } else if (clip) {
        start = clip->live();
        // "_root" and "/" are the root of the code's own movie.
        root = scriptRootFor(start, root);
    }
    return PathWalker(vm, root, scope).walk(start, path);
}

Object* resolveTargetFrom(Vm& vm, Object* start, std::string_view path)
{
    ClipObject* clip = asClip(start);
    Object* root = clip ? clip->registry().wrap(clip->registry().rootObject()) : nullptr;
    return walkTargetPath(vm, start, root, path);
}

} // namespace avm1
