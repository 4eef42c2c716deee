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
// e (button event, marker -1).
class RecordingEngine : public runtime::ScriptEngine {
public:
    void runAction(const runtime::QueuedAction& action) override;
    std::string joined() const;
    void clear()
    {
        ran.clear();
        actions.clear();
    }

    std::vector<std::string> ran;
    std::vector<runtime::QueuedAction> actions;
};

} // namespace testmovie
