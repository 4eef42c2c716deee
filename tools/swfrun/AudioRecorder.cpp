#include "AudioRecorder.h"

#include "sound/AudioSource.h"
#include "sound/Limits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace swfrun {

namespace {

void putU16(std::FILE* file, unsigned value)
{
    const unsigned char bytes[] = {static_cast<unsigned char>(value),
                                   static_cast<unsigned char>(value >> 8)};
    std::fwrite(bytes, 1, 2, file);
}

void putU32(std::FILE* file, std::uint32_t value)
{
    putU16(file, value & 0xffff);
    putU16(file, value >> 16);
}

} // namespace

void AudioRecorder::pullFrame(double frameRate)
{
    ++m_frames;
    if (!m_mix || !(frameRate > 0))
        return;
    // Counted from the start, so rounding never drifts: frame N ends at N / rate seconds.
    const auto until =
        std::uint64_t(std::llround(double(m_frames) * sound::limits::kOutputRate / frameRate));
    if (until <= m_soundFrames)
        return;
    const std::size_t count = std::size_t(until - m_soundFrames);
    m_soundFrames = until;
    m_buffer.resize(count * 2);
    m_mix->read(m_buffer.data(), count);
    if (!m_keep)
        return;
    for (float value : m_buffer)
        m_samples.push_back(
            static_cast<std::int16_t>(std::lrint(std::clamp(value, -1.0f, 1.0f) * 32767.0f)));
}

bool AudioRecorder::writeWav(const std::string& path) const
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const std::uint32_t dataBytes = std::uint32_t(m_samples.size() * 2);
    const std::uint32_t rate = sound::limits::kOutputRate;
    std::fwrite("RIFF", 1, 4, file);
    putU32(file, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    putU32(file, 16);
    putU16(file, 1); // PCM
    putU16(file, 2);
    putU32(file, rate);
    putU32(file, rate * 4);
    putU16(file, 4);
    putU16(file, 16);
    std::fwrite("data", 1, 4, file);
    putU32(file, dataBytes);
    for (std::int16_t sample : m_samples)
        putU16(file, static_cast<std::uint16_t>(sample));
    return std::fclose(file) == 0;
}

} // namespace swfrun
