#include "Paths.h"

#include "ContainerObject.h"
#include "Names.h"
#include "PlayerContext.h"
#include "SpriteObject.h"

#include <optional>

namespace runtime {

namespace {

DisplayObject& rootOf(DisplayObject& object)
{
    DisplayObject* top = &object;
    while (top->parent())
        top = top->parent();
    return *top;
}

// "_level" and a level's number: the paths path() writes.
std::optional<int> levelOf(std::string_view part)
{
    constexpr std::string_view prefix = "_level";
    if (part.size() <= prefix.size() || part.size() > prefix.size() + 9 ||
        !sameName(part.substr(0, prefix.size()), prefix, NameCase::Insensitive))
        return std::nullopt;
    int number = 0;
    for (char c : part.substr(prefix.size())) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

DisplayObject* step(DisplayObject* at, std::string_view part)
{
    if (part.empty() || part == "." || sameName(part, "this", NameCase::Insensitive))
        return at;
    if (part == ".." || sameName(part, "_parent", NameCase::Insensitive))
        return at->parent();
    if (sameName(part, "_root", NameCase::Insensitive)) {
        DisplayObject& top = rootOf(*at);
        return top.isRoot() ? &top : nullptr;
    }
    if (const std::optional<int> level = levelOf(part))
        return at->context().level(*level);
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
