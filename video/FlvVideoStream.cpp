#include "FlvVideoStream.h"

#include "Limits.h"
#include "PacketLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace video {

namespace {

// Decoding problems kept for diagnostics(); a stream damaged throughout reports its
// first few and a count, not one line per frame.
constexpr std::size_t kMaxDecodeDiagnostics = 8;

std::uint32_t declaredSide(const flv::ScriptEvent* metadata, const char* name, std::uint32_t cap)
{
    const script::amf::Node* value = metadata ? metadata->member(name) : nullptr;
    if (!value || value->kind != script::amf::Kind::Number || !(value->number >= 1) ||
        !(value->number <= cap))
        return 0;
    return std::uint32_t(std::lround(value->number));
}

} // namespace

swf::Result<std::unique_ptr<FlvVideoStream>>
FlvVideoStream::open(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
{
    if (!bytes)
        return swf::makeError(swf::ErrorCode::CannotRead, "FLV file");
    auto file = flv::readFlv(*bytes);
    if (!file)
        return file.error();
    std::unique_ptr<FlvVideoStream> stream(new FlvVideoStream);
    stream->m_file = std::move(file.value());
    stream->collect(std::move(bytes));
    if (stream->m_decoder)
        stream->m_worker = std::thread([s = stream.get()] { s->run(); });
    return stream;
}

FlvVideoStream::~FlvVideoStream()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wantWork.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

// The stream's coding is its first video tag's; tags of another coding are left out.
void FlvVideoStream::collect(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
{
    m_bytes = std::move(bytes);
    std::optional<std::uint8_t> codecId;
    std::size_t otherCodings = 0;
    std::vector<std::size_t> packetOfTag(m_file.tags.size(), SIZE_MAX);
    for (std::size_t i = 0; i < m_file.tags.size(); ++i) {
        const flv::Tag& tag = m_file.tags[i];
        m_durationMs = std::max(m_durationMs, tag.timestampMs);
        if (tag.type == flv::TagType::Audio) {
            m_audio.push_back({tag.timestampMs, tag.audio, tag.payload});
            continue;
        }
        if (tag.type != flv::TagType::Video || tag.video.frameType == flv::FrameType::Command)
            continue;
        if (!codecId)
            codecId = tag.video.codecId;
        if (tag.video.codecId != *codecId) {
            ++otherCodings;
            continue;
        }
        Packet packet;
        // Times that step back (a writer's fault) are held at the last one, so that the
        // packets stay sorted by time.
        packet.timestampMs =
            std::max(tag.timestampMs, m_packets.empty() ? 0u : m_packets.back().timestampMs);
        packet.bytes = tag.payload;
        packet.avcConfig = tag.video.codecId == std::uint8_t(Codec::H264) &&
                           avcPacketType(tag.payload) == AvcPacketType::SequenceHeader;
        packetOfTag[i] = m_packets.size();
        m_packets.push_back(packet);
    }
    for (const flv::Keyframe& keyframe : m_file.keyframes)
        if (packetOfTag[keyframe.tagIndex] != SIZE_MAX)
            m_packets[packetOfTag[keyframe.tagIndex]].keyframe = true;
    if (otherCodings > 0)
        m_decodeDiagnostics.push_back(std::to_string(otherCodings) +
                                      " video tags of another coding skipped");
    if (!codecId || m_packets.empty())
        return;
    if (!isKnownCodec(*codecId)) {
        m_decodeDiagnostics.push_back("unknown video coding " + std::to_string(*codecId));
        return;
    }
    const flv::ScriptEvent* metadata = m_file.metadata();
    m_settings.codec = Codec(*codecId);
    m_settings.framing = Framing::FlvTag;
    m_settings.width = declaredSide(metadata, "width", limits::kMaxWidth);
    m_settings.height = declaredSide(metadata, "height", limits::kMaxHeight);
    auto decoder = makeStreamDecoder(m_settings);
    if (!decoder) {
        m_decodeDiagnostics.push_back(decoder.error().message());
        return;
    }
    m_decoder = std::move(decoder.value());
}

std::vector<std::string> FlvVideoStream::diagnostics() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> all = m_file.diagnostics;
    all.insert(all.end(), m_decodeDiagnostics.begin(), m_decodeDiagnostics.end());
    if (m_damagedFrames > 0)
        all.push_back(std::to_string(m_damagedFrames) + " damaged video frames");
    return all;
}

// The last keyframe whose tag time is at or before `timeMs`; the first packet when none.
std::size_t FlvVideoStream::keyframeAtOrBefore(std::uint32_t timeMs) const
{
    const auto after =
        std::upper_bound(m_packets.begin(), m_packets.end(), timeMs,
                         [](std::uint32_t t, const Packet& p) { return t < p.timestampMs; });
    for (std::size_t i = std::size_t(after - m_packets.begin()); i-- > 0;)
        if (m_packets[i].keyframe)
            return i;
    return 0;
}

void FlvVideoStream::restartAt(std::size_t index)
{
    ++m_generation;
    m_restartIndex = index;
    m_next = index;
    m_ready.clear();
    m_finished = false;
    m_droppedAny = false;
    m_needReset = true;
    m_wantWork.notify_all();
}

std::uint32_t FlvVideoStream::seek(std::uint32_t timeMs)
{
    if (!m_decoder)
        return 0;
    std::lock_guard lock(m_mutex);
    const std::size_t keyframe = keyframeAtOrBefore(timeMs);
    restartAt(keyframe);
    return m_packets[keyframe].timestampMs;
}

ShownFrame FlvVideoStream::pictureAt(std::uint32_t timeMs)
{
    if (!m_decoder)
        return {};
    std::unique_lock lock(m_mutex);
    // Before the pictures still held, or before where decoding started: start again
    // from the keyframe before the time.
    const std::size_t keyframe = keyframeAtOrBefore(timeMs);
    const bool passed =
        m_droppedAny && (m_ready.empty() || std::int64_t(timeMs) < m_ready.front().shownMs);
    if (passed || keyframe < m_restartIndex)
        restartAt(keyframe);
    while (true) {
        // The pictures before the last one due are no longer wanted; letting them go
        // gives the worker room.
        bool dropped = false;
        while (m_ready.size() > 1 && m_ready[1].shownMs <= std::int64_t(timeMs)) {
            m_ready.pop_front();
            dropped = true;
        }
        if (dropped) {
            m_droppedAny = true;
            m_wantWork.notify_all();
        }
        const bool settled =
            m_finished || (!m_ready.empty() && m_ready.back().shownMs > std::int64_t(timeMs));
        if (settled)
            break;
        m_produced.wait(lock);
    }
    if (m_ready.empty() || m_ready.front().shownMs > std::int64_t(timeMs))
        return {};
    return {m_ready.front().picture,
            std::uint32_t(std::max<std::int64_t>(0, m_ready.front().shownMs))};
}

void FlvVideoStream::run()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wantWork.wait(lock, [this] {
            return m_stop || (!m_finished && m_ready.size() < limits::kMaxPicturesAhead);
        });
        if (m_stop)
            return;
        const std::uint64_t generation = m_generation;
        const std::size_t index = m_next;
        const bool fromReset = std::exchange(m_needReset, false);
        lock.unlock();
        std::vector<Decoded> pictures = decodeNext(index, fromReset);
        lock.lock();
        if (generation != m_generation)
            continue; // a restart came while decoding: these belong to the old run
        for (Decoded& picture : pictures)
            m_ready.push_back(std::move(picture));
        if (m_next < m_packets.size())
            ++m_next;
        else
            m_finished = true;
        m_produced.notify_all();
    }
}

// Runs on the worker, without the lock: the decoder is the worker's alone.
std::vector<FlvVideoStream::Decoded> FlvVideoStream::decodeNext(std::size_t index, bool fromReset)
{
    std::vector<Decoded> pictures;
    // Times that step back (damaged composition times) are held at the last one, so that
    // the pictures stay in showing order.
    const StreamDecoder::PictureSink sink = [&](const Picture& picture, std::int64_t shownMs) {
        m_lastShownMs = std::max(shownMs, m_lastShownMs);
        pictures.push_back({m_lastShownMs, std::make_shared<const Picture>(picture)});
    };
    if (fromReset) {
        m_decoder->reset();
        m_lastShownMs = std::numeric_limits<std::int64_t>::min();
        // H.264 frames need the configuration that came before them.
        if (m_settings.codec == Codec::H264 && index < m_packets.size() &&
            !m_packets[index].avcConfig) {
            for (std::size_t i = index; i-- > 0;) {
                if (m_packets[i].avcConfig) {
                    (void)m_decoder->decodeTimed(m_packets[i].bytes, m_packets[i].timestampMs,
                                                 sink);
                    break;
                }
            }
        }
    }
    if (index >= m_packets.size()) {
        (void)m_decoder->drain(sink);
        return pictures;
    }
    const Packet& packet = m_packets[index];
    const swf::Status status = m_decoder->decodeTimed(packet.bytes, packet.timestampMs, sink);
    if (!status) {
        std::lock_guard lock(m_mutex);
        if (m_decodeDiagnostics.size() < kMaxDecodeDiagnostics)
            m_decodeDiagnostics.push_back("video frame at " + std::to_string(packet.timestampMs) +
                                          " ms: " + status.error().message());
        ++m_damagedFrames;
    }
    return pictures;
}

} // namespace video
