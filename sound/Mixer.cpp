#include "Mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace sound {

namespace {

// Frames voices are pulled in at a time, so the scratch buffer stays small.
constexpr std::size_t kChunkFrames = 1024;
constexpr float kKnee = 0.85f;

SoundTransform combined(const SoundTransform& own, const SoundTransform& master)
{
    SoundTransform t;
    t.leftToLeft = own.leftToLeft * master.leftToLeft + own.leftToRight * master.rightToLeft;
    t.leftToRight = own.leftToLeft * master.leftToRight + own.leftToRight * master.rightToRight;
    t.rightToLeft = own.rightToLeft * master.leftToLeft + own.rightToRight * master.rightToLeft;
    t.rightToRight = own.rightToLeft * master.leftToRight + own.rightToRight * master.rightToRight;
    t.volume = own.volume * master.volume;
    return t;
}

} // namespace

float softClip(float value)
{
    const float magnitude = std::fabs(value);
    if (magnitude <= kKnee)
        return value;
    const float headroom = 1.0f - kKnee;
    const float bent = kKnee + headroom * std::tanh((magnitude - kKnee) / headroom);
    return std::copysign(bent, value);
}

Mixer::Entry* Mixer::find(VoiceId id)
{
    for (Entry& entry : m_voices) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

const Mixer::Entry* Mixer::find(VoiceId id) const
{
    return const_cast<Mixer*>(this)->find(id);
}

Mixer::VoiceId Mixer::play(std::unique_ptr<Voice> voice, std::uintptr_t tag,
                           SoundTransform transform)
{
    std::lock_guard guard(m_lock);
    if (!voice || m_voices.size() >= limits::kMaxVoices)
        return 0;
    const VoiceId id = m_nextId++;
    m_voices.push_back(Entry{id, tag, transform, std::move(voice)});
    return id;
}

void Mixer::stop(VoiceId id)
{
    std::lock_guard guard(m_lock);
    std::erase_if(m_voices, [id](const Entry& e) { return e.id == id; });
}

void Mixer::stopTagged(std::uintptr_t tag)
{
    std::lock_guard guard(m_lock);
    std::erase_if(m_voices, [tag](const Entry& e) { return e.tag == tag; });
}

void Mixer::stopAll()
{
    std::lock_guard guard(m_lock);
    m_voices.clear();
}

bool Mixer::isPlaying(VoiceId id) const
{
    std::lock_guard guard(m_lock);
    return find(id) != nullptr;
}

bool Mixer::isTagPlaying(std::uintptr_t tag) const
{
    std::lock_guard guard(m_lock);
    return std::any_of(m_voices.begin(), m_voices.end(),
                       [tag](const Entry& e) { return e.tag == tag; });
}

void Mixer::setTransform(VoiceId id, const SoundTransform& transform)
{
    std::lock_guard guard(m_lock);
    if (Entry* entry = find(id))
        entry->transform = transform;
}

void Mixer::setMasterTransform(const SoundTransform& transform)
{
    std::lock_guard guard(m_lock);
    m_master = transform;
}

std::optional<double> Mixer::positionMs(VoiceId id) const
{
    std::lock_guard guard(m_lock);
    if (const Entry* entry = find(id))
        return entry->voice->positionMs();
    return std::nullopt;
}

bool Mixer::withVoice(VoiceId id, const std::function<void(Voice&)>& change)
{
    std::lock_guard guard(m_lock);
    Entry* entry = find(id);
    if (!entry)
        return false;
    change(*entry->voice);
    return true;
}

std::vector<Mixer::VoiceId> Mixer::takeEnded()
{
    std::lock_guard guard(m_lock);
    return std::exchange(m_ended, {});
}

std::size_t Mixer::voiceCount() const
{
    std::lock_guard guard(m_lock);
    return m_voices.size();
}

std::size_t Mixer::read(float* out, std::size_t frames)
{
    std::lock_guard guard(m_lock);
    std::fill(out, out + 2 * frames, 0.0f);
    m_scratch.resize(2 * kChunkFrames);
    for (std::size_t start = 0; start < frames; start += kChunkFrames) {
        const std::size_t count = std::min(kChunkFrames, frames - start);
        float* mix = out + 2 * start;
        for (Entry& entry : m_voices) {
            if (!entry.voice)
                continue;
            const std::size_t got = entry.voice->read(m_scratch.data(), count);
            const SoundTransform t = combined(entry.transform, m_master);
            const float ll = float(t.leftToLeft * t.volume);
            const float lr = float(t.leftToRight * t.volume);
            const float rl = float(t.rightToLeft * t.volume);
            const float rr = float(t.rightToRight * t.volume);
            for (std::size_t i = 0; i < got; ++i) {
                const float left = m_scratch[2 * i];
                const float right = m_scratch[2 * i + 1];
                mix[2 * i] += left * ll + right * rl;
                mix[2 * i + 1] += left * lr + right * rr;
            }
            if (got < count) {
                m_ended.push_back(entry.id);
                entry.voice.reset();
            }
        }
        std::erase_if(m_voices, [](const Entry& e) { return !e.voice; });
    }
    if (m_ended.size() > limits::kMaxEndedKept)
        m_ended.erase(m_ended.begin(),
                      m_ended.begin() + std::ptrdiff_t(m_ended.size() - limits::kMaxEndedKept));
    for (std::size_t i = 0; i < 2 * frames; ++i)
        out[i] = softClip(out[i]);
    return frames;
}

} // namespace sound
