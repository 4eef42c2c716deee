#include "SceneCompiler.h"

#include "BlendModes.h"
#include "ItemPainter.h"
#include "LayerFilters.h"
#include "QtConversions.h"

#include <algorithm>
#include <functional>

namespace render {

namespace {

using Kind = runtime::DrawCommand::Kind;

// Filters that spread further than this (a blur of thousands of pixels) are cut here:
// the layer's size, not the movie, bounds the work.
constexpr int kMaxFilterMargin = 1024;
// The largest layer drawn, in pixels: four times a 4K screen.
constexpr qint64 kMaxLayerPixels = 4ll * 3840 * 2160;

// Groups and masks inside one another, well past the runtime's display nesting cap.
constexpr int kMaxNesting = 256;

const QRect kEverywhere(-(1 << 24), -(1 << 24), 1 << 25, 1 << 25);

Hasher& addCommand(Hasher& h, const runtime::DrawCommand& c)
{
    h.add(c.objectId).add(c.contentVersion).add(c.matrix).add(c.colorTransform);
    h.add(c.ratio).add(c.character).add(c.blendMode).add(c.filters).add(c.cacheAsBitmap);
    if (c.text)
        h.add(std::hash<std::string>()(*c.text));
    return h;
}

QRectF rectOf(const swf::Rect& rect)
{
    return QRectF(rect.xMin.value, rect.yMin.value, rect.width().value, rect.height().value);
}

} // namespace

swf::BlendMode normalizedBlend(swf::BlendMode mode)
{
    const auto value = static_cast<std::uint8_t>(mode);
    if (value < static_cast<std::uint8_t>(swf::BlendMode::Normal) ||
        value > static_cast<std::uint8_t>(swf::BlendMode::HardLight))
        return swf::BlendMode::Normal;
    return mode;
}

SceneCompiler::SceneCompiler(RenderCaches& caches, const FrameContext& context)
    : m_caches(caches), m_context(context), m_characters(caches, context, m_paths)
{}

void SceneCompiler::compile(const std::vector<runtime::DrawCommand>& commands, PaintList& out,
                            std::vector<DiffEntry>& diff)
{
    m_commands = &commands;
    matchPairs();
    m_characters.prepareDrawings(commands);
    Scope scope{&out, &diff, kEverywhere, 0};
    compileRange(0, commands.size(), scope);
}

void SceneCompiler::matchPairs()
{
    const auto& commands = *m_commands;
    m_partner.assign(commands.size(), commands.size());
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        switch (commands[i].kind) {
        case Kind::BeginMask:
        case Kind::BeginGroup:
            open.push_back(i);
            break;
        case Kind::EndMask:
            // Closers that do not match what is open are a runtime fault; they are ignored.
            if (!open.empty() && commands[open.back()].kind == Kind::BeginMask &&
                m_partner[open.back()] == commands.size()) {
                m_partner[open.back()] = i;
                open.back() = i; // now waiting for EndClip
            }
            break;
        case Kind::EndClip:
            if (!open.empty() && commands[open.back()].kind == Kind::EndMask) {
                m_partner[open.back()] = i;
                open.pop_back();
            }
            break;
        case Kind::EndGroup:
            if (!open.empty() && commands[open.back()].kind == Kind::BeginGroup) {
                m_partner[open.back()] = i;
                open.pop_back();
            }
            break;
        case Kind::Character:
        case Kind::Drawing:
            break;
        }
    }
}

void SceneCompiler::compileRange(std::size_t begin, std::size_t end, Scope& scope)
{
    // The runtime caps how deep display objects nest; a list nested deeper than any it
    // makes draws nothing past this depth rather than run out of stack.
    if (m_depth >= kMaxNesting)
        return;
    ++m_depth;
    compileCommands(begin, end, scope);
    --m_depth;
}

void SceneCompiler::compileCommands(std::size_t begin, std::size_t end, Scope& scope)
{
    const auto& commands = *m_commands;
    std::size_t i = begin;
    while (i < end) {
        const runtime::DrawCommand& command = commands[i];
        switch (command.kind) {
        case Kind::Character:
        case Kind::Drawing: {
            const QRect covered = m_characters.add(command, scope.clip, *scope.out);
            Hasher signature;
            addCommand(signature, command);
            record(scope, keyFor(command, i), signature, covered);
            ++i;
            break;
        }
        case Kind::BeginMask:
            i = addMask(i, end, scope);
            break;
        case Kind::BeginGroup: {
            const std::size_t close = std::min(m_partner[i], end);
            addGroup(i, close, scope);
            i = close + 1;
            break;
        }
        default:
            ++i; // a stray closer
            break;
        }
    }
}

std::size_t SceneCompiler::addMask(std::size_t begin, std::size_t end, Scope& scope)
{
    const auto& commands = *m_commands;
    const std::size_t maskEnd = std::min(m_partner[begin], end);
    const std::size_t clipEnd = maskEnd < end ? std::min(m_partner[maskEnd], end) : end;

    // A mask's union is worked out once while its shapes stay where they are.
    Hasher geometry;
    geometry.add(m_context.view.m11()).add(m_context.view.m12()).add(m_context.view.m21());
    geometry.add(m_context.view.m22()).add(m_context.view.dx()).add(m_context.view.dy());
    for (std::size_t i = begin + 1; i < maskEnd; ++i) {
        if (commands[i].kind == Kind::Character)
            geometry.add(commands[i].character).add(commands[i].matrix).add(commands[i].ratio);
        else if (commands[i].kind == Kind::Drawing)
            geometry.add(commands[i].objectId)
                .add(commands[i].contentVersion)
                .add(commands[i].matrix);
    }
    std::shared_ptr<const QPainterPath> clip = m_caches.masks.find(geometry.value());
    if (!clip) {
        QPainterPath path = maskPath(begin + 1, maskEnd);
        m_paths.prepare(path);
        const std::size_t bytes = sizeof(QPainterPath) + std::size_t(path.elementCount()) * 24;
        clip = m_caches.masks.insert(geometry.value(),
                                     std::make_shared<const QPainterPath>(std::move(path)), bytes);
    }
    PaintItem push;
    push.kind = PaintItem::Kind::PushClip;
    push.path = *clip;
    push.bounds = push.path.isEmpty() ? QRect() : deviceBounds(push.path.boundingRect(), {});

    Hasher key, signature;
    key.add('M').add(commands[begin].objectId);
    for (std::size_t i = begin + 1; i < maskEnd; ++i)
        if (commands[i].kind == Kind::Character || commands[i].kind == Kind::Drawing) {
            key.add(commands[i].objectId);
            break;
        }
    for (std::size_t i = begin + 1; i < maskEnd; ++i)
        addCommand(signature, commands[i]);
    const std::uint64_t maskKey = key.value();
    record(scope, maskKey, signature, push.bounds & scope.clip);

    scope.out->push_back(std::move(push));
    Scope inner = scope;
    inner.clip = scope.clip & scope.out->back().bounds;
    inner.context = Hasher().add(scope.context).add(maskKey).value();
    if (!inner.clip.isEmpty())
        compileRange(maskEnd + 1, clipEnd, inner);
    PaintItem pop;
    pop.kind = PaintItem::Kind::PopClip;
    scope.out->push_back(std::move(pop));
    return clipEnd + 1;
}

QPainterPath SceneCompiler::maskPath(std::size_t begin, std::size_t end)
{
    std::vector<QPainterPath> parts;
    for (std::size_t i = begin; i < end; ++i) {
        const Kind kind = (*m_commands)[i].kind;
        if (kind == Kind::Character || kind == Kind::Drawing)
            m_characters.addGeometry((*m_commands)[i], parts);
    }
    if (parts.empty())
        return {};
    // Each part keeps its own fill rule until the union resolves them.
    QPainterPath united = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i)
        united = united.united(parts[i]);
    return united;
}

bool SceneCompiler::blendsWithBackdrop(std::size_t begin, std::size_t end) const
{
    for (std::size_t i = begin; i < end; ++i) {
        const runtime::DrawCommand& command = (*m_commands)[i];
        if (command.kind != Kind::BeginGroup)
            continue;
        const swf::BlendMode mode = normalizedBlend(command.blendMode);
        if (mode != swf::BlendMode::Normal && mode != swf::BlendMode::Layer)
            return true;
    }
    return false;
}

void SceneCompiler::addGroup(std::size_t begin, std::size_t end, Scope& scope)
{
    const runtime::DrawCommand& command = (*m_commands)[begin];
    const swf::Matrix& m = command.matrix;
    GroupState state{command.contentVersion,
                     m.a,
                     m.b,
                     m.c,
                     m.d,
                     command.colorTransform,
                     normalizedBlend(command.blendMode),
                     (command.filters && !command.filters->empty()) ? command.filters : nullptr};
    GroupCache::setPhase(state, m_context.view.map(QPointF(m.tx, m.ty)));
    // Alpha and Erase work on the layer they are drawn into; with none around them
    // (the stage itself) they have nothing to act on and draw nothing.
    if ((state.blend == swf::BlendMode::Alpha || state.blend == swf::BlendMode::Erase) &&
        m_layerDepth == 0) {
        Hasher signature;
        addCommand(signature, command);
        record(scope, keyFor(command, begin), signature, {});
        return;
    }
    const bool effects =
        state.blend != swf::BlendMode::Normal || state.filters || command.cacheAsBitmap;
    if (!effects) {
        // A plain group is drawn in place unless it looked the same last frame; then one
        // layer drawn now serves while it stays so. Groups holding blend modes that
        // reach through to what is behind them must stay in place.
        const bool cacheable =
            m_context.cacheGroups && command.objectId != 0 && !blendsWithBackdrop(begin + 1, end);
        if (!cacheable || !m_caches.groups.seenUnchanged(command.objectId, state)) {
            Scope inner = scope;
            inner.context = Hasher().add(scope.context).add(command.objectId).value();
            compileGroupContents(begin, end, inner);
            return;
        }
    }
    addLayer(begin, end, state, scope);
}

void SceneCompiler::compileGroupContents(std::size_t begin, std::size_t end, Scope& inner)
{
    const runtime::DrawCommand& command = (*m_commands)[begin];
    const QTransform transform = toQTransform(command.matrix) * m_context.view;
    if (command.background) {
        QPainterPath box;
        box.addRect(rectOf(command.backgroundBox));
        m_paths.prepare(box);
        PaintItem fill;
        fill.kind = PaintItem::Kind::Fill;
        fill.path = box;
        fill.transform = transform;
        fill.bounds = deviceBounds(box.boundingRect(), transform) & inner.clip;
        fill.brush = QBrush(toQColor(*command.background, command.colorTransform));
        Hasher signature;
        addCommand(signature, command);
        signature.add(command.background->r).add(command.background->g);
        signature.add(command.background->b);
        record(inner, Hasher().add('B').add(command.objectId).value(), signature, fill.bounds);
        if (!fill.bounds.isEmpty())
            inner.out->push_back(std::move(fill));
    }
    if (!command.clipRect) {
        compileRange(begin + 1, end, inner);
        return;
    }
    QPainterPath box;
    box.addRect(rectOf(*command.clipRect));
    m_paths.prepare(box);
    PaintItem push;
    push.kind = PaintItem::Kind::PushClip;
    push.path = box;
    push.transform = transform;
    push.bounds = deviceBounds(box.boundingRect(), transform);
    Scope clipped = inner;
    clipped.clip = inner.clip & push.bounds;
    // Contents inside another rectangle are drawn differently.
    clipped.context = Hasher()
                          .add(inner.context)
                          .add('S')
                          .add(command.clipRect->xMax.value)
                          .add(command.clipRect->yMax.value)
                          .add(command.matrix)
                          .value();
    inner.out->push_back(std::move(push));
    if (!clipped.clip.isEmpty())
        compileRange(begin + 1, end, clipped);
    PaintItem pop;
    pop.kind = PaintItem::Kind::PopClip;
    inner.out->push_back(std::move(pop));
}

void SceneCompiler::addLayer(std::size_t begin, std::size_t end, const GroupState& state,
                             Scope& scope)
{
    const runtime::DrawCommand& command = (*m_commands)[begin];
    const QPointF anchor = m_context.view.map(QPointF(command.matrix.tx, command.matrix.ty));
    const bool useCache = m_context.cacheGroups && command.objectId != 0;
    Hasher signature;
    addCommand(signature, command);
    const std::uint64_t key = keyFor(command, begin);

    PaintItem layer;
    layer.kind = PaintItem::Kind::Layer;
    layer.blend = state.blend;
    QRect rect;
    if (auto cached = useCache ? m_caches.groups.reusable(command.objectId, state, m_context.view,
                                                          m_context.quality, anchor, rect)
                               : nullptr) {
        ++m_stats.groupsReused;
        layer.image = cached->image;
    } else {
        PaintList content;
        Scope inner{&content, nullptr, kEverywhere,
                    Hasher().add(scope.context).add(command.objectId).value()};
        ++m_layerDepth;
        compileGroupContents(begin, end, inner);
        --m_layerDepth;
        QRect covered;
        for (const PaintItem& item : content)
            if (item.kind != PaintItem::Kind::PushClip && item.kind != PaintItem::Kind::PopClip)
                covered |= item.bounds;
        const QMargins spread =
            state.filters ? filterMargins(*state.filters, m_context.filterScale) : QMargins();
        const QMargins margins(std::min(spread.left(), kMaxFilterMargin),
                               std::min(spread.top(), kMaxFilterMargin),
                               std::min(spread.right(), kMaxFilterMargin),
                               std::min(spread.bottom(), kMaxFilterMargin));
        const QRect full = covered.isEmpty() ? QRect() : covered.marginsAdded(margins);
        // Drawn whole when it reaches a little off the image, so that the layer can
        // still serve as the group moves in; cut to the visible part beyond that.
        const QRect reach =
            m_context.target.adjusted(-m_context.target.width() / 2, -m_context.target.height() / 2,
                                      m_context.target.width() / 2, m_context.target.height() / 2);
        rect = full & reach.marginsAdded(margins);
        if (rect.isEmpty() || qint64(rect.width()) * rect.height() > kMaxLayerPixels) {
            record(scope, key, signature, {});
            return;
        }
        QImage image(rect.size(), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            record(scope, key, signature, {});
            return;
        }
        image.fill(Qt::transparent);
        ItemPainter(image, rect.topLeft(), m_context.quality).paint(content, QRegion(rect));
        if (state.filters)
            applyFilters(image, *state.filters, m_context.filterScale);
        ++m_stats.groupsDrawn;
        layer.image = image;
        if (useCache)
            m_caches.groups.store(command.objectId,
                                  GroupImage{state, m_context.view, m_context.quality, anchor, rect,
                                             rect == full, image});
    }
    layer.origin = rect.topLeft();
    layer.bounds = rect & scope.clip;
    record(scope, key, signature, layer.bounds);
    if (!layer.bounds.isEmpty())
        scope.out->push_back(std::move(layer));
}

std::uint64_t SceneCompiler::keyFor(const runtime::DrawCommand& command, std::size_t index)
{
    // Without an identity nothing can be matched with last frame: the key is unique.
    if (command.objectId == 0)
        return Hasher().add('U').add(index).add(m_context.frameNumber).value();
    const std::uint32_t occurrence = m_occurrences[command.objectId]++;
    return Hasher().add(command.objectId).add(command.kind).add(occurrence).value();
}

void SceneCompiler::record(Scope& scope, std::uint64_t key, Hasher signature, const QRect& bounds)
{
    if (!scope.diff)
        return;
    // What lies around it and what was drawn just before it are part of how it looks:
    // a change of mask or of stacking order shows as a change of signature.
    signature.add(scope.context).add(m_previousKey);
    scope.diff->push_back(DiffEntry{key, signature.value(), bounds});
    m_previousKey = key;
}

} // namespace render
