#include "InputSession.h"

#include "format/Movie.h"
#include "runtime/KeyCodes.h"
#include "swfwriter/MovieWriter.h"

#include <QStringList>

using namespace swfwriter;

namespace inputsession {

Code& Code::get(const std::string& name)
{
    a.push({name}).op(Op::GetVariable);
    return *this;
}

Code& Code::text(const std::string& line)
{
    a.push({line}).op(Op::Trace);
    return *this;
}

Code& Code::member(const std::string& object, const std::string& name)
{
    get(object);
    a.push({name}).op(Op::GetMember).op(Op::Trace);
    return *this;
}

Code& Code::call(const std::string& object, const std::string& method, std::vector<PushValue> args)
{
    std::vector<PushValue> pushed(args.rbegin(), args.rend());
    pushed.emplace_back(static_cast<int>(args.size()));
    pushed.emplace_back(object);
    a.push(pushed).op(Op::GetVariable).push({method}).op(Op::CallMethod);
    return *this;
}

Code& Code::traceCall(const std::string& object, const std::string& method,
                      std::vector<PushValue> args)
{
    call(object, method, std::move(args));
    a.op(Op::Trace);
    return *this;
}

Code& Code::callStatement(const std::string& object, const std::string& method,
                          std::vector<PushValue> args)
{
    call(object, method, std::move(args));
    a.op(Op::Pop);
    return *this;
}

Code& Code::handler(const std::string& object, const std::string& name, const Code& body,
                    const std::vector<std::string>& params)
{
    get(object);
    a.push({name}).defineFunction("", params, body.a).op(Op::SetMember);
    return *this;
}

Code& Code::set(const std::string& object, const std::string& name, PushValue value)
{
    get(object);
    a.push({name, value}).op(Op::SetMember);
    return *this;
}

Code& Code::listener(const std::string& name, const std::string& broadcaster)
{
    a.push({name, 0, "Object"}).op(Op::NewObject).op(Op::SetVariable);
    get(name);
    a.push({1, broadcaster}).op(Op::GetVariable).push({"addListener"}).op(Op::CallMethod);
    a.op(Op::Pop);
    return *this;
}

Code& Code::traceWith(const std::string& prefix, const std::string& variable)
{
    a.push({prefix});
    get(variable);
    a.op(Op::Add2).op(Op::Trace);
    return *this;
}

Code& Code::inputField(const std::string& name, int depth, int x, int y, int width, int height)
{
    callStatement("_root", "createTextField", {name, depth, x, y, width, height});
    set(name, "type", "input");
    set(name, "border", true);
    return *this;
}

Session::Session(const std::vector<std::uint8_t>& movie)
{
    auto loaded = swf::loadMovie(movie);
    if (!loaded)
        qFatal("the test movie does not load");
    player = std::make_unique<runtime::MoviePlayer>(*loaded, host);
    engine = std::make_unique<avm1::Engine>(*player, host);
    player->runActions();
}

Session::~Session()
{
    engine.reset();
    player.reset();
}

QString Session::take()
{
    QStringList out;
    for (const std::string& line : host.lines)
        out << QString::fromStdString(line);
    host.lines.clear();
    return out.join('\n');
}

void Session::click(double x, double y)
{
    player->pointerMove(x * 20, y * 20);
    player->pointerDown(x * 20, y * 20);
    player->pointerUp(x * 20, y * 20);
}

void Session::tab()
{
    player->keyDown(runtime::key::Tab, 9);
    player->keyUp(runtime::key::Tab, 9);
}

std::vector<std::uint8_t> scriptMovie(const std::vector<Code>& frames)
{
    return scriptMovie(frames, 8);
}

std::vector<std::uint8_t> scriptMovie(const std::vector<Code>& frames, int version)
{
    MovieWriter movie(version);
    if (version >= 8)
        movie.fileAttributes();
    for (const Code& frame : frames) {
        ActionWriter code = frame.a;
        code.end();
        movie.doAction(code.bytes());
        movie.showFrame();
    }
    return movie.bytes();
}

} // namespace inputsession
