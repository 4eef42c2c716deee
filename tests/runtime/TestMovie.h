#pragma once

#include "format/Movie.h"
#include "runtime/Host.h"
#include "runtime/ScriptEngine.h"

#include <initializer_list>
#include <string>
#include <vector>

// Movie definitions written by hand for the runtime's tests, as the movie reader would
// leave them: characters defined by id, timelines as frames of control tags.
namespace testmovie {

// A square path filled with fill style 0, from (x, y), `size` twips a side.
swf::Path squarePath(int x, int y, int size);
swf::Shape squareShape(int x, int y, int size);

swf::PlaceObject place(std::uint16_t depth, swf::CharacterId id);
swf::PlaceObject move(std::uint16_t depth);
swf::RemoveObject remove(std::uint16_t depth);
// A one-byte action block: the tests tell blocks apart by that byte.
swf::DoAction action(std::uint8_t marker);
swf::DoInitAction initAction(swf::CharacterId spriteId, std::uint8_t marker);
// The same placement with a name, a ratio, or a clip action for `events` whose one
// byte is `marker`.
swf::PlaceObject named(swf::PlaceObject tag, std::string name);
swf::PlaceObject withRatio(swf::PlaceObject tag, std::uint16_t ratio);
swf::PlaceObject withClipAction(swf::PlaceObject tag, std::uint32_t events, std::uint8_t marker);

using FrameTags = std::vector<swf::ControlTag>;
swf::Timeline timeline(std::initializer_list<FrameTags> frames);

class Builder {
public:
    explicit Builder(int version = 10);

    Builder& shape(swf::CharacterId id, swf::Shape shape);
    Builder& square(swf::CharacterId id, int size = 100)
    {
        return shape(id, squareShape(0, 0, size));
    }
    Builder& sprite(swf::CharacterId id, swf::Timeline timeline, std::uint16_t declaredFrames);
    Builder& sprite(swf::CharacterId id, swf::Timeline timeline);
    Builder& button(swf::CharacterId id, swf::Button button);
    Builder& editText(swf::CharacterId id, std::string text, std::string variable = {});
    Builder& morph(swf::CharacterId id);
    Builder& font(swf::CharacterId id);
    // The main timeline; the header's frame count follows it unless given.
    Builder& main(swf::Timeline timeline);
    Builder& declaredFrames(std::uint16_t count);

    swf::MoviePtr build();

private:
    std::shared_ptr<swf::MovieDefinition> m_movie;
    bool m_frameCountSet = false;
};

// A host that counts repaints and keeps the diagnostics (all categories on).
class RecordingHost : public runtime::Host {
public:
    void requestRepaint() override { ++repaints; }
    bool logEnabled(runtime::LogCategory) const override { return true; }
    void log(runtime::LogCategory, std::string_view message) override
    {
        messages.emplace_back(message);
    }
    bool logged(std::string_view part) const;

    int repaints = 0;
    std::vector<std::string> messages;
};

// A script engine that runs nothing and writes down what it was handed, one entry per
// block: "<kind><marker>@<target path>", kind being i (init), f (frame), b (button) or
// e (button event, marker -1). Clip events are written only when `recordEvents` holds
// them, as "<event>@<target path>" with the event's name in lower case ("load",
// "enterframe"...). Input entries are written only when `recordInput` is on: a
// focused object's handler as "h:<event>@<path>", listeners as "l:<event>@_level0",
// a move of the focus as "focus:<old path>><new path>" ("none" for no object). A
// load's events are always written, as "load:<start|progress|complete|init|error>@<path>"
// ("none" for no target). Each block counts as one action executed, each event as none.
class RecordingEngine : public runtime::ScriptEngine {
public:
    std::size_t runAction(const runtime::QueuedAction& action) override;
    void objectCreated(runtime::DisplayObject& object) override;
    void objectRemoved(runtime::DisplayObject& object) override;
    void movieReplaced(runtime::DisplayObject& clip) override;
    void stepFinished() override { ++steps; }
    std::string joined() const;
    void clear()
    {
        ran.clear();
        actions.clear();
    }
    // Records every clip event from now on.
    void recordAllEvents();

    std::vector<std::string> ran;
    std::vector<runtime::QueuedAction> actions;
    std::vector<runtime::ClipEvent> recordEvents;
    bool recordInput = false;
    // Paths of the objects the hooks named, in order.
    std::vector<std::string> created;
    std::vector<std::string> removed;
    // Paths of the clips a movie was loaded into (movieReplaced), in order.
    std::vector<std::string> replaced;
    int steps = 0;
};

// The lower-case name RecordingEngine writes for an event.
std::string eventName(runtime::ClipEvent event);

} // namespace testmovie
