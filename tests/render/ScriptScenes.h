#pragma once

// Movies whose frame scripts a test writes statement by statement, played with the
// interpreter and painted frame after frame by one renderer.
#include "RenderScenes.h"
#include "avm1/Engine.h"
#include "render/ScriptRasterizer.h"
#include "render/StageRenderer.h"
#include "runtime/MoviePlayer.h"
#include "swfwriter/ActionWriter.h"

#include <QImage>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace scriptscenes {

using namespace swfwriter;

inline constexpr int kStage = 100;

// Draws scripts' bitmaps with the renderer, as the players' hosts do.
class QuietHost : public runtime::Host {
public:
    runtime::BitmapRasterizer* bitmapRasterizer() override { return &m_bitmaps; }

private:
    render::ScriptRasterizer m_bitmaps;
};

// A variable's value as an argument.
struct Var {
    std::string name;
};

// A call's argument: a value, or a variable's value.
struct Arg {
    Arg(int i) : value(i) {}
    Arg(bool b) : value(b) {}
    Arg(const char* text) : value(text) {}
    Arg(std::string text) : value(std::move(text)) {}
    Arg(std::nullptr_t) : value(PushValue(nullptr)) {}
    Arg(Var v) : variable(std::move(v.name)) {}
    std::optional<PushValue> value;
    std::string variable;
};

// The frame scripts' statements, in the order they run.
struct Script {
    ActionWriter a;

    // Pushes a call's arguments, last first, then their count.
    Script& args(const std::vector<Arg>& values)
    {
        for (auto it = values.rbegin(); it != values.rend(); ++it) {
            if (it->value)
                a.push({*it->value});
            else
                a.push({it->variable}).op(Op::GetVariable);
        }
        a.push({static_cast<int>(values.size())});
        return *this;
    }
    // name = new flash.<package>.<type>(args)
    Script& make(const std::string& name, const std::string& package, const std::string& type,
                 const std::vector<Arg>& values)
    {
        a.push({name});
        args(values);
        a.push({"flash"}).op(Op::GetVariable).push({package}).op(Op::GetMember);
        a.push({type}).op(Op::NewMethod).op(Op::SetVariable);
        return *this;
    }
    // object.method(args), its result dropped.
    Script& run(const std::string& object, const std::string& method,
                const std::vector<Arg>& values = {})
    {
        args(values);
        a.push({object}).op(Op::GetVariable).push({method}).op(Op::CallMethod).op(Op::Pop);
        return *this;
    }
    // object.member = value
    Script& set(const std::string& object, const std::string& member, int value)
    {
        a.push({object}).op(Op::GetVariable).push({member, value}).op(Op::SetMember);
        return *this;
    }
    // _root.createEmptyMovieClip(name, depth)
    Script& clip(const std::string& name, int depth)
    {
        return run("_root", "createEmptyMovieClip", {name, depth});
    }
    // A closed rectangle on `clip` in pixels, then endFill.
    Script& rect(const std::string& clip, int x0, int y0, int x1, int y1)
    {
        run(clip, "moveTo", {x0, y0});
        run(clip, "lineTo", {x1, y0});
        run(clip, "lineTo", {x1, y1});
        run(clip, "lineTo", {x0, y1});
        run(clip, "lineTo", {x0, y0});
        return run(clip, "endFill");
    }
    // bmp: 2 x 2, opaque: red, green / blue, yellow.
    Script& quad()
    {
        make("bmp", "display", "BitmapData", {2, 2, false, 0xFFFFFF});
        run("bmp", "setPixel", {0, 0, 0xFF0000});
        run("bmp", "setPixel", {1, 0, 0x00FF00});
        run("bmp", "setPixel", {0, 1, 0x0000FF});
        return run("bmp", "setPixel", {1, 1, 0xFFFF00});
    }
};

// Plays the frames, one script each, and paints each with the same renderer.
class Playback {
public:
    explicit Playback(const std::vector<Script>& frames)
    {
        MovieWriter writer(8, kStage, kStage, 30);
        writer.fileAttributes();
        std::vector<ActionWriter> code;
        for (const Script& frame : frames)
            code.push_back(frame.a);
        code.back().op(Op::Stop);
        addScriptFrames(writer, code);
        auto movie = swf::loadMovie(writer.bytes());
        if (!movie)
            qFatal("the test movie did not load: %s", movie.error().message().c_str());
        m_player = std::make_unique<runtime::MoviePlayer>(*movie, m_host);
        m_engine = std::make_unique<avm1::Engine>(*m_player, m_host);
        m_player->runActions();
    }

    // The frame now, painted at one pixel a pixel.
    QImage paint(render::Quality quality = render::Quality::High)
    {
        QImage image(kStage, kStage, QImage::Format_ARGB32_Premultiplied);
        m_renderer.render(m_player->buildDrawList(), image, scenes::pixelView(), quality);
        return image;
    }
    void next() { m_player->advance(); }

private:
    QuietHost m_host;
    std::unique_ptr<runtime::MoviePlayer> m_player;
    std::unique_ptr<avm1::Engine> m_engine;
    render::StageRenderer m_renderer;
};

} // namespace scriptscenes
