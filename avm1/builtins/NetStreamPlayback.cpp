// The streams in play, after each step's scripts: files asked for are read, time moves
// on by the step's length, and what happened reaches the scripts in the order the
// reference reports it: the statuses of the step, then the script events of the file
// that time has passed, then the end. The Video objects showing a stream get its
// picture for the new time.
#include "AmfBridge.h"
#include "NativeHelpers.h"
#include "NetStreamState.h"
#include "avm1/ClipObject.h"
#include "avm1/Limits.h"
#include "avm1/Object.h"
#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"
#include "format/Bitmap.h"
#include "runtime/VideoObject.h"
#include "sound/Decoder.h"
#include "sound/EventVoice.h"
#include "sound/Limits.h"
#include "video/FlvVideoStream.h"

#include <algorithm>

namespace avm1 {

namespace {

// Streams playing at once; each holds a whole file, so this bounds their memory too.
constexpr std::size_t kMaxStreams = 64;
// Video objects one stream shows in.
constexpr std::size_t kMaxVideosPerStream = 64;

void reportStatus(Vm& vm, Object* stream, const char* code, const char* level)
{
    Object* info = vm.makeObject();
    info->defineValue(vm, "code", vm.strValue(code));
    info->defineValue(vm, "level", vm.strValue(level));
    const Value arg(info);
    callNamedHandler(vm, stream, "onStatus", std::span<const Value>(&arg, 1));
}

// FLV's sound format 10, the only one SWF's sound tags lack.
constexpr std::uint8_t kAacFormat = 10;

// The decoder of the file's sound: AAC from the configuration its first packet carries,
// the rest from the tag header's format byte.
swf::Result<std::unique_ptr<sound::Decoder>>
audioDecoder(const std::vector<video::AudioPacket>& packets, sound::SoundFormat& format)
{
    const auto& first = packets.front().header;
    if (first.format == kAacFormat) {
        for (const auto& packet : packets) {
            if (packet.header.aacPacketType == 0)
                return sound::makeAacDecoder(packet.payload, format);
        }
        return swf::makeError(swf::ErrorCode::BadValue, "AAC sound without its configuration");
    }
    const auto byte =
        static_cast<std::uint8_t>(first.format << 4 | (first.rateIndex & 3) << 2 |
                                  (first.sixteenBit ? 2 : 0) | (first.stereo ? 1 : 0));
    auto read = sound::soundFormatFromByte(byte);
    if (!read)
        return read.error();
    format = *read;
    return sound::makeDecoder(format);
}

// The file's sound, decoded whole as one sound: FLV audio tags are the blocks of one
// stream in one format.
std::shared_ptr<const sound::DecodedSound> decodeAudio(const video::FlvVideoStream& stream)
{
    const auto& packets = stream.audioPackets();
    if (packets.empty())
        return nullptr;
    sound::SoundFormat format;
    auto decoder = audioDecoder(packets, format);
    if (!decoder)
        return nullptr;
    auto decoded = std::make_shared<sound::DecodedSound>();
    decoded->rate = format.rate;
    decoded->channels = format.channels();
    constexpr std::size_t kMax = sound::limits::kMaxDecodedFrames;
    for (const auto& packet : packets) {
        // AAC's configuration went to the decoder already.
        if (packet.header.aacPacketType && *packet.header.aacPacketType != 1)
            continue;
        const std::size_t have = decoded->frames();
        if (have >= kMax || !(*decoder)->decode(packet.payload, decoded->samples, kMax - have))
            break;
    }
    (*decoder)->finish(decoded->samples, kMax - std::min(decoded->frames(), kMax));
    if (decoded->samples.empty())
        return nullptr;
    return decoded;
}

void startAudio(NetStreamState& state, runtime::MovieSounds& sounds)
{
    if (!state.audio || state.voice || !sounds.active())
        return;
    sound::EventPlayback playback;
    playback.inPoint44 = static_cast<std::uint32_t>(state.timeMs * 44.1);
    state.sounds = &sounds;
    state.voice =
        sounds.startDecoded(state.audio, playback, 0, reinterpret_cast<std::uintptr_t>(&state));
}

void open(Vm& vm, Object* object, NetStreamState& state)
{
    state.openRequested = false;
    state.stream.reset();
    state.audio.reset();
    state.timeMs = 0;
    state.nextScript = 0;
    auto bytes = vm.host() ? vm.host()->fetchFile(state.url, limits::kMaxLoadedFileBytes)
                           : swf::Result<std::vector<std::uint8_t>>(
                                 swf::makeError(swf::ErrorCode::CannotOpen, "no host"));
    std::unique_ptr<video::FlvVideoStream> stream;
    if (bytes) {
        state.fileBytes = bytes->size();
        auto shared = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes.value()));
        if (auto opened = video::FlvVideoStream::open(shared))
            stream = std::move(opened.value());
    }
    if (!stream) {
        vm.log("NetStream: cannot play \"" + state.url + "\"");
        reportStatus(vm, object, "NetStream.Play.StreamNotFound", "error");
        return;
    }
    state.stream = std::move(stream);
    state.audio = decodeAudio(*state.stream);
    state.playing = true;
    state.pendingStatus.emplace_back("NetStream.Play.Start", "status");
    state.pendingStatus.emplace_back("NetStream.Buffer.Full", "status");
}

void showPicture(NetStreamState& state)
{
    if (!state.stream || !state.stream->hasVideo())
        return;
    const video::ShownFrame shown =
        state.stream->pictureAt(static_cast<std::uint32_t>(state.timeMs));
    if (!shown.picture || shown.picture == state.pictureSource)
        return;
    auto picture = std::make_shared<swf::Bitmap>();
    picture->width = shown.picture->width;
    picture->height = shown.picture->height;
    picture->pixels = shown.picture->pixels;
    state.picture = std::move(picture);
    state.pictureSource = shown.picture;
    for (ClipObject* video : state.videos) {
        if (auto* object = dynamic_cast<runtime::VideoObject*>(video->displayObject()))
            object->showPicture(state.picture);
    }
}

// One stream's share of the step; false once it no longer needs the player.
bool step(Vm& vm, Object* object, NetStreamState& state, runtime::MovieSounds& sounds,
          double stepMilliseconds)
{
    if (state.openRequested)
        open(vm, object, state);
    else if (state.playing && !state.paused && state.stream)
        state.timeMs =
            std::min<double>(state.timeMs + stepMilliseconds, state.stream->durationMs());
    for (const auto& [code, level] : std::exchange(state.pendingStatus, {}))
        reportStatus(vm, object, code, level);
    if (!state.stream)
        return state.openRequested;
    const auto& scripts = state.stream->file().scripts;
    while (state.nextScript < scripts.size() &&
           scripts[state.nextScript].timestampMs <= state.timeMs) {
        const auto& event = scripts[state.nextScript++];
        const Value arg = fromAmf(vm, event.values, event.argument, AmfSource::Stream);
        callNamedHandler(vm, object, event.name, std::span<const Value>(&arg, 1));
    }
    showPicture(state);
    if (state.playing && !state.paused)
        startAudio(state, sounds);
    if (state.playing && !state.paused && state.timeMs >= state.stream->durationMs()) {
        state.playing = false;
        state.stopAudio();
        reportStatus(vm, object, "NetStream.Buffer.Flush", "status");
        reportStatus(vm, object, "NetStream.Play.Stop", "status");
        reportStatus(vm, object, "NetStream.Buffer.Empty", "status");
    }
    return true;
}

} // namespace

NetStreamState::NetStreamState() = default;
NetStreamState::~NetStreamState()
{
    stopAudio();
}

void NetStreamState::stopAudio()
{
    if (sounds && voice)
        sounds->mixer().stop(voice);
    voice = 0;
}

double NetStreamState::framesPerSecond() const
{
    if (!stream)
        return 0;
    if (const auto* metadata = stream->file().metadata()) {
        if (const auto* rate = metadata->member("framerate");
            rate && rate->kind == script::amf::Kind::Number)
            return rate->number;
    }
    return 0;
}

void NetStreamState::traceChildren(Tracer& tracer)
{
    for (ClipObject* video : videos)
        tracer.mark(video);
}

void NetStreams::add(Object* stream)
{
    if (std::find(m_streams.begin(), m_streams.end(), stream) == m_streams.end() &&
        m_streams.size() < kMaxStreams)
        m_streams.push_back(stream);
}

void NetStreams::remove(Object* stream)
{
    m_streams.erase(std::remove(m_streams.begin(), m_streams.end(), stream), m_streams.end());
}

void NetStreams::deliver(Vm& vm, runtime::MovieSounds& sounds, double stepMilliseconds)
{
    // Handlers may play, close or start other streams: walk a copy.
    const std::vector<Object*> streams = m_streams;
    for (Object* object : streams) {
        NetStreamState* state = netStreamStateOf(object);
        if (!state || !step(vm, object, *state, sounds, stepMilliseconds))
            remove(object);
    }
}

void NetStreams::traceChildren(Tracer& tracer)
{
    for (Object* stream : m_streams)
        tracer.mark(stream);
}

NetStreams& netStreams(Vm& vm)
{
    Cell*& slot = vm.builtins().netStreams;
    if (!slot) {
        auto* streams = vm.heap().make<NetStreams>();
        slot = streams;
        vm.addRoots([streams](Tracer& tracer) { tracer.mark(streams); });
    }
    return *static_cast<NetStreams*>(slot);
}

NetStreamState* netStreamStateOf(Object* object)
{
    return object ? dynamic_cast<NetStreamState*>(object->nativeState()) : nullptr;
}

void showNetStreamIn(Vm&, Object* stream, ClipObject* video)
{
    NetStreamState* state = netStreamStateOf(stream);
    if (!state || !video)
        return;
    if (std::find(state->videos.begin(), state->videos.end(), video) == state->videos.end() &&
        state->videos.size() < kMaxVideosPerStream)
        state->videos.push_back(video);
    if (state->picture) {
        if (auto* object = dynamic_cast<runtime::VideoObject*>(video->displayObject()))
            object->showPicture(state->picture);
    }
}

void stopShowingNetStream(Object* stream, ClipObject* video)
{
    if (NetStreamState* state = netStreamStateOf(stream))
        state->videos.erase(std::remove(state->videos.begin(), state->videos.end(), video),
                            state->videos.end());
}

} // namespace avm1
