#pragma once

// Helpers for the interpreter's input tests: statements written in a few words, and a
// movie played with the interpreter attached that takes input between frames.
#include "avm1/Engine.h"
#include "runtime/MoviePlayer.h"
#include "swfwriter/ActionWriter.h"

#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace inputsession {

// Code building helpers, each a statement.
struct Code {
    swfwriter::ActionWriter a;

    Code& get(const std::string& name);
    Code& text(const std::string& line);
    // trace(object.member)
    Code& member(const std::string& object, const std::string& name);
    // object.method(args), its result left on the stack.
    Code& call(const std::string& object, const std::string& method,
               std::vector<swfwriter::PushValue> args);
    Code& traceCall(const std::string& object, const std::string& method,
                    std::vector<swfwriter::PushValue> args = {});
    Code& callStatement(const std::string& object, const std::string& method,
                        std::vector<swfwriter::PushValue> args = {});
    // object.name = function(params) { body }
    Code& handler(const std::string& object, const std::string& name, const Code& body,
                  const std::vector<std::string>& params = {});
    Code& set(const std::string& object, const std::string& name, swfwriter::PushValue value);
    // name = new Object(); broadcaster.addListener(name)
    Code& listener(const std::string& name, const std::string& broadcaster);
    // trace(prefix + variable), for a handler's parameter or a local.
    Code& traceWith(const std::string& prefix, const std::string& variable);
    // _root.createTextField(name, depth, x, y, width, height) in pixels, as an input
    // field with a border.
    Code& inputField(const std::string& name, int depth, int x, int y, int width, int height);
};

class TraceHost : public runtime::Host {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// The movie played with the interpreter; input goes to the player between frames.
class Session {
public:
    explicit Session(const std::vector<std::uint8_t>& movie);
    ~Session();
    // What was traced since the last call, a line each.
    QString take();
    // A click at (x, y) pixels.
    void click(double x, double y);
    void tab();

    TraceHost host;
    std::unique_ptr<runtime::MoviePlayer> player;
    std::unique_ptr<avm1::Engine> engine;
};

// A version 8 movie of the frames' scripts, a frame each, on the writer's default stage
// (550 by 400 pixels).
std::vector<std::uint8_t> scriptMovie(const std::vector<Code>& frames);
// The same in a movie of `version` (FileAttributes from SWF 8).
std::vector<std::uint8_t> scriptMovie(const std::vector<Code>& frames, int version);

} // namespace inputsession
