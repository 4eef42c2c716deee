#include "Paths.h"

#include "ContainerObject.h"
#include "Names.h"

namespace runtime {

namespace {

DisplayObject& rootOf(DisplayObject& object)
{
    DisplayObject* top = &object;
    while (top->parent())
        top = top->parent();
    return *top;
}

DisplayObject* step(DisplayObject* at, std::string_view part)
{
    if (part.empty() || part == "." || sameName(part, "this", NameCase::Insensitive))
        return at;
    if (part == ".." || sameName(part, "_parent", NameCase::Insensitive))
        return at->parent();
    if (sameName(part, "_root", NameCase::Insensitive) ||
        sameName(part, "_level0", NameCase::Insensitive)) {
        DisplayObject& top = rootOf(*at);
        return top.isRoot() ? &top : nullptr;
    }
    if (at->kind() != ObjectKind::Sprite && at->kind() != ObjectKind::Button)
        return nullptr;
    return static_cast<ContainerObject*>(at)->childByName(part);
}

} // namespace

DisplayObject* resolvePath(DisplayObject& from, std::string_view path)
{
    const bool slashed = path.find('/') != std::string_view::npos;
    const char separator = slashed ? '/' : '.';
    DisplayObject* at = &from;
    if (slashed && path.front() == '/') {
        at = step(at, "_root");
        path.remove_prefix(1);
    }
    while (at && !path.empty()) {
        const std::size_t end = path.find(separator);
        at = step(at, path.substr(0, end));
        path = end == std::string_view::npos ? std::string_view{} : path.substr(end + 1);
    }
    return at;
}

} // namespace runtime
