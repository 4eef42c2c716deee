#include "TargetPaths.h"

#include "ClipObject.h"
#include "Vm.h"
#include "runtime/ContainerObject.h"

namespace avm1 {

namespace {

bool isSeparator(char c, bool slashSeen, bool dots)
{
    return c == '/' || c == ':' || (c == '.' && dots && !slashSeen);
}

Object* parentOf(Vm& vm, Object* at)
{
    if (ClipObject* clip = asClip(at)) {
        ClipObject* live = clip->live();
        runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
        return object ? clip->registry().wrap(object->parent()) : nullptr;
    }
    return vm.getMember(at, vm.names().parent).objectOrNull();
}

class PathWalker {
public:
    PathWalker(Vm& vm, Object* root, const ScopeLookup* scope)
        : m_vm(vm), m_root(root), m_scope(scope)
    {}

    Object* step(Object* at, std::string_view name, bool first)
    {
        const CaseRule rule = m_vm.caseRule();
        if (sameKey(name, "_parent", rule))
            return parentOf(m_vm, at);
        if (sameKey(name, "_root", rule))
            return m_root;
        if (const auto level = levelNumber(name))
            return *level == 0 ? m_root : nullptr;
        if (sameKey(name, "_global", rule) && m_vm.swfVersion() >= 6)
            return m_vm.global();
        if (ClipObject* clip = asClip(at)) {
            ClipObject* live = clip->live();
            runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
            if (object && (object->kind() == runtime::ObjectKind::Sprite ||
                           object->kind() == runtime::ObjectKind::Button)) {
                auto* container = static_cast<runtime::ContainerObject*>(object);
                if (ClipObject* child = clip->registry().wrap(container->childByName(name)))
                    return child;
            }
        }
        if (first && m_scope)
            return (*m_scope)(name);
        return m_vm.getMember(at, m_vm.str(name)).objectOrNull();
    }

    Object* walk(Object* start, std::string_view path)
    {
        // Dot syntax came with SWF 5: older movies' names may hold dots.
        const bool dots = m_vm.swfVersion() >= 5;
        Object* at = start;
        std::size_t pos = 0;
        bool slashSeen = false;
        bool first = true;
        if (!path.empty() && path[0] == '/') {
            at = m_root;
            pos = 1;
            slashSeen = true;
            first = false;
        }
        const std::size_t n = path.size();
        while (pos < n && at) {
            if (path.compare(pos, 2, "..") == 0 &&
                (pos + 2 == n || path[pos + 2] == '/' || path[pos + 2] == ':')) {
                at = parentOf(m_vm, at);
                first = false;
                pos += 2;
                if (pos < n) {
                    slashSeen = slashSeen || path[pos] == '/';
                    ++pos;
                }
                continue;
            }
            std::size_t end = pos;
            while (end < n && !isSeparator(path[end], slashSeen, dots))
                ++end;
            if (end > pos) {
                at = step(at, path.substr(pos, end - pos), first);
                first = false;
            }
            if (end >= n)
                break;
            slashSeen = slashSeen || path[end] == '/';
            pos = end + 1;
        }
        return at;
    }

private:
    Vm& m_vm;
    Object* m_root;
    const ScopeLookup* m_scope;
};

} // namespace

std::optional<long long> levelNumber(std::string_view name)
{
    std::string_view rest;
    if (name.size() >= 6 && sameKey(name.substr(0, 6), "_level", CaseRule::Insensitive))
        rest = name.substr(6);
    else if (name.size() >= 6 && sameKey(name.substr(0, 6), "_flash", CaseRule::Insensitive))
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
    if (ClipObject* clip = asClip(start); clip && !clip->live())
        root = start;
    else if (clip)
        start = clip->live();
    return PathWalker(vm, root, scope).walk(start, path);
}

Object* resolveTargetFrom(Vm& vm, Object* start, std::string_view path)
{
    ClipObject* clip = asClip(start);
    Object* root = clip ? clip->registry().wrap(clip->registry().rootObject()) : nullptr;
    return walkTargetPath(vm, start, root, path);
}

} // namespace avm1
