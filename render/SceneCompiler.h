#pragma once

#include "CharacterItems.h"
#include "DiffEntry.h"
#include "FrameContext.h"
#include "GroupCache.h"
#include "PaintItem.h"
#include "RenderCaches.h"
#include "SharedPaths.h"
#include "runtime/DrawList.h"

#include <unordered_map>
#include <vector>

namespace render {

// Turns a frame's draw list into paint items: characters into fills and strokes,
// masks into clips, and groups with a blend mode or filters (or plain groups that
// stayed the same) into layers, drawn here or taken from the group cache. Alongside,
// it lists what was drawn where, for the dirty-area search.
class SceneCompiler {
public:
    SceneCompiler(RenderCaches& caches, const FrameContext& context);

    void compile(const std::vector<runtime::DrawCommand>& commands, PaintList& out,
                 std::vector<DiffEntry>& diff);

    struct Stats {
        int groupsReused = 0;
        int groupsDrawn = 0;
    };
    const Stats& stats() const { return m_stats; }

private:
    struct Scope {
        PaintList* out = nullptr;
        std::vector<DiffEntry>* diff = nullptr; // null inside layers
        QRect clip;
        std::uint64_t context = 0; // the masks and groups around
    };

    void compileRange(std::size_t begin, std::size_t end, Scope& scope);
    void compileCommands(std::size_t begin, std::size_t end, Scope& scope);
    std::size_t addMask(std::size_t begin, std::size_t end, Scope& scope);
    void addGroup(std::size_t begin, std::size_t end, Scope& scope);
    void addLayer(std::size_t begin, std::size_t end, const GroupState& state, Scope& scope);
    // What the group at `begin` holds, over its background and cut to its rectangle.
    void compileGroupContents(std::size_t begin, std::size_t end, Scope& inner);
    QPainterPath maskPath(std::size_t begin, std::size_t end);
    bool blendsWithBackdrop(std::size_t begin, std::size_t end) const;
    void matchPairs();
    std::uint64_t keyFor(const runtime::DrawCommand& command, std::size_t index);
    void record(Scope& scope, std::uint64_t key, Hasher signature, const QRect& bounds);

    RenderCaches& m_caches;
    const FrameContext& m_context;
    SharedPaths m_paths;
    CharacterItems m_characters;
    const std::vector<runtime::DrawCommand>* m_commands = nullptr;
    // For each opening command, the index of its closing one (BeginMask: EndMask;
    // EndMask: EndClip; BeginGroup: EndGroup); the list's size when it has none.
    std::vector<std::size_t> m_partner;
    std::unordered_map<std::uint64_t, std::uint32_t> m_occurrences;
    std::uint64_t m_previousKey = 0;
    int m_layerDepth = 0; // layers being drawn around the commands compiled now
    int m_depth = 0;      // groups and masks around them
    Stats m_stats;
};

// 0 and 1 both mean normal; unknown values draw normally too.
swf::BlendMode normalizedBlend(swf::BlendMode mode);

} // namespace render
