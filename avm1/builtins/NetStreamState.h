#pragma once

// What a NetStream object keeps beyond its properties: the FLV it plays, where it stands
// and the Video objects showing it; and the streams in play, advanced after each step's
// scripts by the step's share of time, which is when their onStatus, onMetaData and
// onCuePoint calls reach the scripts.
#include "avm1/Heap.h"
#include "runtime/MovieSounds.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace swf {
struct Bitmap;
}
namespace video {
class FlvVideoStream;
struct Picture;
} // namespace video

namespace avm1 {

class ClipObject;
class Object;
class Vm;

class NetStreamState final : public Cell {
public:
    NetStreamState();
    ~NetStreamState() override;

    bool connected = false; // made on a connected NetConnection
    double bufferSeconds = 0.1;
    std::string url;
    bool openRequested = false; // play() asked; the file is read after the step
    std::unique_ptr<video::FlvVideoStream> stream;
    std::size_t fileBytes = 0;
    bool playing = false;
    bool paused = false;
    double timeMs = 0;
    std::size_t nextScript = 0; // the first script event not yet delivered
    // onStatus codes waiting for the end of the step, with "status" or "error".
    std::vector<std::pair<const char*, const char*>> pendingStatus;
    std::vector<ClipObject*> videos; // attachVideo's, which show the pictures
    std::shared_ptr<const swf::Bitmap> picture;
    // The decoded picture it was made from, held so that a new one is never mistaken for
    // it.
    std::shared_ptr<const video::Picture> pictureSource;
    // The FLV's sound, decoded whole, and where it plays.
    std::shared_ptr<const sound::DecodedSound> audio;
    runtime::MovieSounds* sounds = nullptr;
    runtime::MovieSounds::VoiceId voice = 0;

    void stopAudio();
    // The video's frame rate, as the file's metadata gives it or its frames show it.
    double framesPerSecond() const;
    void traceChildren(Tracer& tracer) override;
};

class NetStreams final : public Cell {
public:
    // A stream that plays is kept alive by the player, whatever the scripts drop.
    void add(Object* stream);
    void remove(Object* stream);
    void deliver(Vm& vm, runtime::MovieSounds& sounds, double stepMilliseconds);
    void traceChildren(Tracer& tracer) override;

private:
    std::vector<Object*> m_streams;
};

NetStreams& netStreams(Vm& vm);
NetStreamState* netStreamStateOf(Object* object);
// attachVideo(stream) on a Video object: it shows the stream's pictures from now on.
void showNetStreamIn(Vm& vm, Object* stream, ClipObject* video);
// attachVideo(null), or another source: it no longer does.
void stopShowingNetStream(Object* stream, ClipObject* video);

} // namespace avm1
