#pragma once

// An FLV file played: its video decoded a few frames ahead on a worker thread, its audio
// tags handed out in order. What pictureAt() returns depends only on the calls made,
// never on how far the worker has got: the picture for a time is always the one decoding
// gives from the last restart point (open, seek, or a step back in time) up to that time.
// Pictures are ordered by the time they are shown, which for H.264 is not the order in
// which they are coded: a time's picture is known once one to be shown later has come
// out, or the stream has ended.
#include "FlvReader.h"
#include "VideoDecoder.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace video {

struct AudioPacket {
    std::uint32_t timestampMs = 0;
    flv::AudioTagHeader header;
    std::span<const std::uint8_t> payload; // after the audio tag header
};

struct ShownFrame {
    std::shared_ptr<const Picture> picture; // null before the first good picture
    std::uint32_t timestampMs = 0;          // when the picture is shown from
};

class FlvVideoStream {
public:
    /// Reads the file; the stream keeps its bytes. Fails only when the file cannot be
    /// read; video that cannot be decoded leaves an audio-only stream and a diagnostic.
    static swf::Result<std::unique_ptr<FlvVideoStream>>
    open(std::shared_ptr<const std::vector<std::uint8_t>> bytes);

    ~FlvVideoStream();
    FlvVideoStream(const FlvVideoStream&) = delete;
    FlvVideoStream& operator=(const FlvVideoStream&) = delete;

    const flv::FlvFile& file() const { return m_file; }
    bool hasVideo() const { return m_decoder != nullptr; }
    const StreamSettings& settings() const { return m_settings; }
    const std::vector<AudioPacket>& audioPackets() const { return m_audio; }
    /// The last tag's time: the stream's length as far as its tags tell.
    std::uint32_t durationMs() const { return m_durationMs; }
    /// Reading and decoding problems, one line each (reading's first).
    std::vector<std::string> diagnostics() const;

    /// The picture shown at `timeMs`: the last one whose showing time is at or before it
    /// (a damaged frame leaves the one before). Waits for the worker when it is behind; a
    /// time before the pictures already passed restarts from the keyframe before it.
    ShownFrame pictureAt(std::uint32_t timeMs);

    /// Restarts decoding from the keyframe at or before `timeMs`; returns its time.
    std::uint32_t seek(std::uint32_t timeMs);

private:
    struct Packet {
        std::uint32_t timestampMs = 0; // never less than the one before
        std::span<const std::uint8_t> bytes;
        bool keyframe = false;
        bool avcConfig = false;
    };
    struct Decoded {
        std::int64_t shownMs = 0;
        std::shared_ptr<const Picture> picture;
    };

    FlvVideoStream() = default;
    void collect(std::shared_ptr<const std::vector<std::uint8_t>> bytes);
    std::size_t keyframeAtOrBefore(std::uint32_t timeMs) const;
    void restartAt(std::size_t index);
    void run();
    std::vector<Decoded> decodeNext(std::size_t index, bool fromReset);

    std::shared_ptr<const std::vector<std::uint8_t>> m_bytes;
    flv::FlvFile m_file;
    StreamSettings m_settings;
    std::vector<Packet> m_packets;
    std::vector<AudioPacket> m_audio;
    std::uint32_t m_durationMs = 0;
    std::unique_ptr<StreamDecoder> m_decoder; // the worker's alone once it runs

    mutable std::mutex m_mutex;
    std::condition_variable m_wantWork;
    std::condition_variable m_produced;
    std::deque<Decoded> m_ready; // in showing order, since the restart
    std::size_t m_restartIndex = 0;
    std::size_t m_next = 0;         // the next packet to decode; past the end: drain
    bool m_finished = false;        // every packet decoded and drained
    bool m_droppedAny = false;      // pictures of this run have been let go
    std::uint64_t m_generation = 0; // changes at every restart
    bool m_needReset = true;
    bool m_stop = false;
    std::int64_t m_lastShownMs = 0; // the worker's, for keeping times in order
    std::vector<std::string> m_decodeDiagnostics;
    std::size_t m_damagedFrames = 0;
    std::thread m_worker;
};

} // namespace video
