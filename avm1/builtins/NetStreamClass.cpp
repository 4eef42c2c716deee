// NetConnection and NetStream, for what a player without a network plays: a connection
// made with connect(null), and FLV files beside the movie. A stream reads its file after
// the step that asked, then moves on by each step's share of time; what it reports comes
// through onStatus with the codes scripts test for.
#include "Builtins.h"
#include "NativeHelpers.h"
#include "NetStreamState.h"
#include "Packages.h"
#include "avm1/ClipObject.h"
#include "avm1/Limits.h"
#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"
#include "sound/Decoder.h"
#include "sound/EventVoice.h"
#include "sound/Limits.h"
#include "video/FlvVideoStream.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

namespace {

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

// --- NetConnection -------------------------------------------------------------------

// Whether a NetConnection object was connected by its own connect(): a plain object with
// an isConnected member is no connection.
class NetConnectionState final : public Cell {
public:
    bool connected = false;
};

NetConnectionState* connectionStateOf(Object* object)
{
    return object ? dynamic_cast<NetConnectionState*>(object->nativeState()) : nullptr;
}

Value constructConnection(Vm& vm, const CallArgs& call)
{
    if (Object* self = call.thisObject()) {
        self->setNativeState(vm.heap().make<NetConnectionState>());
        self->defineValue(vm, "isConnected", Value(false), PropertyFlag::DontEnum);
    }
    return Value();
}

Value statusInfo(Vm& vm, const char* code, const char* level)
{
    Object* info = vm.makeObject();
    info->defineValue(vm, "code", vm.strValue(code));
    info->defineValue(vm, "level", vm.strValue(level));
    return Value(info);
}

// connect(null) is the only connection without a server: it succeeds. Any address would
// need the network this player never opens.
Value connect(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    const bool local = call.count() > 0 && (call.arg(0).isNull() || call.arg(0).isUndefined());
    if (NetConnectionState* state = connectionStateOf(self))
        state->connected = local;
    self->defineValue(vm, "isConnected", Value(local), PropertyFlag::DontEnum);
    const Value info = local ? statusInfo(vm, "NetConnection.Connect.Success", "status")
                             : statusInfo(vm, "NetConnection.Connect.Failed", "error");
    callNamedHandler(vm, self, "onStatus", std::span<const Value>(&info, 1));
    return Value(local);
}

// --- NetStream -------------------------------------------------------------------------

NetStreamState* stateOf(const CallArgs& call)
{
    return netStreamStateOf(call.thisObject());
}

Value readTime(Vm&, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    return state ? Value(state->timeMs / 1000.0) : Value();
}

Value readBytes(Vm&, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    return state ? Value(static_cast<double>(state->stream ? state->fileBytes : 0)) : Value();
}

// What is read ahead of the time shown: the whole rest of a local file, up to the buffer.
Value readBufferLength(Vm&, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    if (!state)
        return Value();
    const double left =
        state->stream ? std::max(0.0, state->stream->durationMs() - state->timeMs) : 0;
    return Value(std::min(left / 1000.0, state->bufferSeconds));
}

Value readBufferTime(Vm&, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    return state ? Value(state->bufferSeconds) : Value();
}

Value readCurrentFps(Vm&, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    return state ? Value(state->playing && !state->paused ? state->framesPerSecond() : 0.0)
                 : Value();
}

Value readLiveDelay(Vm&, const CallArgs&)
{
    return Value(0.0);
}

// A stream made on a connection gets its readouts, as accessors of the prototype the
// class has at that moment.
void defineReadouts(Vm& vm)
{
    const Value ctor = vm.getMember(vm.global(), vm.str("NetStream"));
    Object* proto = vm.getMember(ctor, vm.names().prototype).objectOrNull();
    if (!proto || proto->properties().find(vm.str("currentFps"), vm.caseRule()))
        return;
    static constexpr std::pair<const char*, NativeFn> kReadouts[] = {
        {"bufferLength", readBufferLength},
        {"bufferTime", readBufferTime},
        {"bytesLoaded", readBytes},
        {"bytesTotal", readBytes},
        {"currentFps", readCurrentFps},
        {"liveDelay", readLiveDelay},
        {"time", readTime}};
    for (const auto& [name, getter] : kReadouts)
        defineAccessor(vm, proto, name, getter, nullptr);
}

Value constructStream(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    auto* state = vm.heap().make<NetStreamState>();
    self->setNativeState(state);
    const NetConnectionState* connection = connectionStateOf(call.arg(0).objectOrNull());
    state->connected = connection && connection->connected;
    if (state->connected)
        defineReadouts(vm);
    return Value();
}

Value play(Vm& vm, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    if (!state || call.count() == 0)
        return Value();
    state->stopAudio();
    state->url = vm.toStdString(call.arg(0));
    state->openRequested = true;
    state->playing = false;
    state->paused = false;
    netStreams(vm).add(call.thisObject());
    return Value();
}

Value pause(Vm& vm, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    if (!state)
        return Value();
    // No argument toggles; a flag sets.
    state->paused =
        call.count() == 0 || call.arg(0).isUndefined() ? !state->paused : vm.toBoolean(call.arg(0));
    if (state->paused)
        state->stopAudio();
    return Value();
}

Value seek(Vm& vm, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    if (!state || !state->stream)
        return Value();
    double seconds = vm.toNumber(call.arg(0));
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    const double duration = state->stream->durationMs();
    const auto wanted = static_cast<std::uint32_t>(std::min(seconds * 1000.0, duration));
    // Video restarts at the keyframe at or before the time; sound alone goes anywhere.
    state->timeMs = state->stream->hasVideo() ? state->stream->seek(wanted) : wanted;
    const auto& scripts = state->stream->file().scripts;
    // Script events before the time asked for are passed over, even where decoding
    // restarts at an earlier keyframe: the metadata is not reported again.
    state->nextScript = 0;
    while (state->nextScript < scripts.size() && scripts[state->nextScript].timestampMs < wanted)
        ++state->nextScript;
    state->stopAudio();
    state->pendingStatus.emplace_back("NetStream.Seek.Notify", "status");
    if (!state->playing && state->stream) {
        // A seek in a stream that ended plays it again from there.
        state->playing = true;
    }
    return Value();
}

Value close(Vm& vm, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    if (!state)
        return Value();
    state->stopAudio();
    state->stream.reset();
    state->playing = false;
    state->openRequested = false;
    state->timeMs = 0;
    netStreams(vm).remove(call.thisObject());
    return Value();
}

// Only a stream on a connection keeps a buffer time.
Value setBufferTime(Vm& vm, const CallArgs& call)
{
    NetStreamState* state = stateOf(call);
    if (!state || !state->connected)
        return Value();
    const double seconds = vm.toNumber(call.arg(0));
    if (std::isfinite(seconds) && seconds >= 0)
        state->bufferSeconds = seconds;
    return Value();
}

} // namespace

void installNetStream(Vm& vm)
{
    Object* connectionProto = vm.makeObject();
    vm.defineClass("NetConnection", connectionProto, constructConnection);
    vm.defineMethods(connectionProto, {{"connect", connect}});

    Object* proto = vm.makeObject();
    vm.defineClass("NetStream", proto, constructStream);
    vm.defineMethods(proto, {{"attachAudio", returnsUndefined},
                             {"attachVideo", returnsUndefined},
                             {"close", close},
                             {"pause", pause},
                             {"play", play},
                             {"publish", returnsUndefined},
                             {"receiveAudio", returnsUndefined},
                             {"receiveVideo", returnsUndefined},
                             {"seek", seek},
                             {"send", returnsUndefined},
                             {"setBufferTime", setBufferTime}});
}

} // namespace avm1
