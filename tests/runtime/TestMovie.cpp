#include "TestMovie.h"

#include "runtime/DisplayObject.h"

#include <algorithm>
#include <cctype>

namespace testmovie {

swf::Path squarePath(int x, int y, int size)
{
    using swf::SegmentKind;
    swf::Path path;
    path.segments = {{SegmentKind::Move, x, y, 0, 0},
                     {SegmentKind::Line, x + size, y, 0, 0},
                     {SegmentKind::Line, x + size, y + size, 0, 0},
                     {SegmentKind::Line, x, y + size, 0, 0},
                     {SegmentKind::Line, x, y, 0, 0}};
    return path;
}

swf::Shape squareShape(int x, int y, int size)
{
    swf::Shape shape;
    shape.bounds = {{x}, {x + size}, {y}, {y + size}};
    shape.edgeBounds = shape.bounds;
    swf::ShapeLayer layer;
    layer.fills.push_back(swf::FillStyle{});
    layer.fillPaths.push_back({0, squarePath(x, y, size)});
    shape.layers.push_back(std::move(layer));
    return shape;
}

swf::PlaceObject place(std::uint16_t depth, swf::CharacterId id)
{
    swf::PlaceObject tag;
    tag.depth = depth;
    tag.characterId = id;
    return tag;
}

swf::PlaceObject move(std::uint16_t depth)
{
    swf::PlaceObject tag;
    tag.depth = depth;
    tag.move = true;
    return tag;
}

swf::RemoveObject remove(std::uint16_t depth)
{
    return swf::RemoveObject{depth, std::nullopt};
}

swf::DoAction action(std::uint8_t marker)
{
    return swf::DoAction{{marker}};
}

swf::DoInitAction initAction(swf::CharacterId spriteId, std::uint8_t marker)
{
    return swf::DoInitAction{spriteId, {marker}};
}

swf::PlaceObject named(swf::PlaceObject tag, std::string name)
{
    tag.name = std::move(name);
    return tag;
}

swf::PlaceObject withRatio(swf::PlaceObject tag, std::uint16_t ratio)
{
    tag.ratio = ratio;
    return tag;
}

swf::PlaceObject withClipAction(swf::PlaceObject tag, std::uint32_t events, std::uint8_t marker)
{
    tag.clipActions.push_back(swf::ClipAction{events, 0, {marker}});
    return tag;
}

swf::Timeline timeline(std::initializer_list<FrameTags> frames)
{
    swf::Timeline result;
    for (const FrameTags& tags : frames)
        result.frames.push_back(swf::Frame{tags, {}, {}});
    return result;
}

Builder::Builder(int version) : m_movie(std::make_shared<swf::MovieDefinition>())
{
    m_movie->header.version = static_cast<std::uint8_t>(version);
    m_movie->header.stage = {{0}, {11000}, {0}, {8000}};
    m_movie->header.frameRate = 24;
}

Builder& Builder::shape(swf::CharacterId id, swf::Shape shape)
{
    m_movie->define(std::make_shared<swf::Character>(swf::Character{id, std::move(shape)}));
    return *this;
}

Builder& Builder::sprite(swf::CharacterId id, swf::Timeline timeline, std::uint16_t declaredFrames)
{
    swf::Sprite sprite{declaredFrames, std::move(timeline)};
    m_movie->define(std::make_shared<swf::Character>(swf::Character{id, std::move(sprite)}));
    return *this;
}

Builder& Builder::sprite(swf::CharacterId id, swf::Timeline timeline)
{
    const auto frames = static_cast<std::uint16_t>(timeline.frames.size());
    return sprite(id, std::move(timeline), frames);
}

Builder& Builder::button(swf::CharacterId id, swf::Button button)
{
    m_movie->define(std::make_shared<swf::Character>(swf::Character{id, std::move(button)}));
    return *this;
}

Builder& Builder::editText(swf::CharacterId id, std::string text, std::string variable)
{
    swf::EditText field;
    field.bounds = {{0}, {2000}, {0}, {400}};
    field.initialText = std::move(text);
    field.variableName = std::move(variable);
    m_movie->define(std::make_shared<swf::Character>(swf::Character{id, std::move(field)}));
    return *this;
}

Builder& Builder::morph(swf::CharacterId id)
{
    swf::MorphShape morph;
    morph.startBounds = {{0}, {100}, {0}, {100}};
    morph.endBounds = morph.startBounds;
    m_movie->define(std::make_shared<swf::Character>(swf::Character{id, std::move(morph)}));
    return *this;
}

Builder& Builder::font(swf::CharacterId id)
{
    m_movie->define(std::make_shared<swf::Character>(swf::Character{id, swf::Font{}}));
    return *this;
}

Builder& Builder::main(swf::Timeline timeline)
{
    m_movie->timeline = std::move(timeline);
    if (!m_frameCountSet)
        m_movie->header.frameCount = static_cast<std::uint16_t>(m_movie->timeline.frames.size());
    return *this;
}

Builder& Builder::declaredFrames(std::uint16_t count)
{
    m_movie->header.frameCount = count;
    m_frameCountSet = true;
    return *this;
}

swf::MoviePtr Builder::build()
{
    return m_movie;
}

bool RecordingHost::logged(std::string_view part) const
{
    for (const std::string& message : messages) {
        if (message.find(part) != std::string::npos)
            return true;
    }
    return false;
}

std::string eventName(runtime::ClipEvent event)
{
    switch (event) {
#define TEST_EVENT_NAME(name, bit, method)                                                         \
    case runtime::ClipEvent::name: {                                                               \
        std::string text = #name;                                                                  \
        for (char& c : text)                                                                       \
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));                    \
        return text;                                                                               \
    }
        RUNTIME_CLIP_EVENT_LIST(TEST_EVENT_NAME)
#undef TEST_EVENT_NAME
    }
    return "?";
}

std::size_t RecordingEngine::runAction(const runtime::QueuedAction& action)
{
    using Kind = runtime::QueuedAction::Kind;
    if (action.kind == Kind::Clip) {
        if (std::find(recordEvents.begin(), recordEvents.end(), action.event) == recordEvents.end())
            return 0;
        ran.push_back(eventName(action.event) + "@" + action.target->path());
        actions.push_back(action);
        return 0;
    }
    if (action.kind == Kind::Load) {
        static const char* const kLoadEvents[] = {"start", "progress", "complete",
                                                  "init",  "error",    "dropped"};
        ran.push_back(std::string("load:") + kLoadEvents[static_cast<int>(action.loadEvent)] + "@" +
                      (action.target ? action.target->path() : std::string("none")));
        actions.push_back(action);
        return 0;
    }
    if (action.kind == Kind::Handler || action.kind == Kind::Listeners ||
        action.kind == Kind::FocusChange) {
        if (!recordInput)
            return 0;
        const auto pathOf = [](const std::shared_ptr<runtime::DisplayObject>& object) {
            return object ? object->path() : std::string("none");
        };
        if (action.kind == Kind::FocusChange)
            ran.push_back("focus:" + pathOf(action.other) + ">" + pathOf(action.button));
        else
            ran.push_back((action.kind == Kind::Handler ? "h:" : "l:") + eventName(action.event) +
                          "@" + action.target->path());
        actions.push_back(action);
        return 0;
    }
    const char kind = action.kind == Kind::Init     ? 'i'
                      : action.kind == Kind::Frame  ? 'f'
                      : action.kind == Kind::Button ? 'b'
                                                    : 'e';
    std::string entry(1, kind);
    entry += std::to_string(action.code.empty() ? -1 : int(action.code[0]));
    entry += '@';
    entry += action.target->path();
    ran.push_back(entry);
    actions.push_back(action);
    return action.code.empty() ? 0 : 1;
}

void RecordingEngine::recordAllEvents()
{
#define TEST_EVENT_VALUE(name, bit, method) recordEvents.push_back(runtime::ClipEvent::name);
    RUNTIME_CLIP_EVENT_LIST(TEST_EVENT_VALUE)
#undef TEST_EVENT_VALUE
}

void RecordingEngine::movieReplaced(runtime::DisplayObject& clip)
{
    replaced.push_back(clip.path());
}

void RecordingEngine::objectCreated(runtime::DisplayObject& object)
{
    created.push_back(object.path());
}

void RecordingEngine::objectRemoved(runtime::DisplayObject& object)
{
    removed.push_back(object.path());
}

std::string RecordingEngine::joined() const
{
    std::string out;
    for (const std::string& entry : ran)
        out += (out.empty() ? "" : " ") + entry;
    return out;
}

} // namespace testmovie
