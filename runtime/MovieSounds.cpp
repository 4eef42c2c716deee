#include "MovieSounds.h"

#include "format/TagCodes.h"

namespace runtime {

namespace {

std::uintptr_t tagOf(const swf::Character& character)
{
    return reinterpret_cast<std::uintptr_t>(&character);
}

} // namespace

MovieSounds::MovieSounds(Host& host)
    : m_host(host), m_sink(host.audioSink()), m_mixer(std::make_shared<sound::Mixer>())
{
    if (m_sink)
        m_sink->connect(m_mixer);
}

MovieSounds::~MovieSounds()
{
    if (m_sink)
        m_sink->disconnect();
}

void MovieSounds::log(const std::string& message)
{
    if (m_host.logEnabled(LogCategory::Sound))
        m_host.log(LogCategory::Sound, message);
}

std::optional<sound::SoundDefinition> MovieSounds::definition(const swf::Character& character)
{
    const auto* opaque = std::get_if<swf::OpaqueCharacter>(&character.data);
    if (!opaque || opaque->tagCode != std::uint16_t(swf::TagCode::DefineSound))
        return std::nullopt;
    auto parsed = sound::parseDefineSound(opaque->body);
    if (!parsed)
        return std::nullopt;
    return std::move(parsed.value());
}

std::shared_ptr<const sound::DecodedSound> MovieSounds::decoded(const swf::Character& character)
{
    const auto* opaque = std::get_if<swf::OpaqueCharacter>(&character.data);
    const std::vector<std::uint8_t> noBytes;
    const std::vector<std::uint8_t>& coded = opaque ? opaque->body : noBytes;
    auto known = m_decoded.find(&character);
    if (known != m_decoded.end()) {
        if (known->second.coded == coded)
            return known->second.samples;
        m_decoded.erase(known);
    }
    std::shared_ptr<const sound::DecodedSound> result;
    if (opaque && opaque->tagCode == std::uint16_t(swf::TagCode::DefineSound)) {
        auto parsed = sound::parseDefineSound(opaque->body);
        auto samples = parsed ? sound::decodeEventSound(*parsed)
                              : swf::Result<sound::DecodedSound>(parsed.error());
        if (samples)
            result = std::make_shared<const sound::DecodedSound>(std::move(samples.value()));
        else
            log("sound " + std::to_string(character.id) + ": " + samples.error().message());
    }
    // A sound that cannot be decoded is remembered as such, so it is tried once.
    m_decoded.emplace(&character, CachedSound{coded, result});
    return result;
}

void MovieSounds::startSound(const swf::MovieDefinition& movie, const swf::StartSound& tag,
                             std::uint64_t owner)
{
    if (!active())
        return;
    swf::CharacterId id = tag.soundId;
    if (!tag.className.empty()) {
        auto exported = movie.exports.find(tag.className);
        if (exported == movie.exports.end()) {
            log("StartSound2: no sound called " + tag.className);
            return;
        }
        id = exported->second;
    }
    const swf::Character* character = movie.character(id);
    if (!character) {
        log("StartSound: no sound " + std::to_string(id));
        return;
    }
    auto info = sound::parseSoundInfo(tag.soundInfo);
    if (!info) {
        log("StartSound (sound " + std::to_string(id) + "): " + info.error().message());
        return;
    }
    if (info->stop) {
        stopEvent(*character);
        return;
    }
    if (info->noMultiple && isEventPlaying(*character))
        return;
    startEvent(*character, sound::EventPlayback::fromSoundInfo(*info), owner);
}

MovieSounds::VoiceId MovieSounds::play(std::unique_ptr<sound::Voice> voice, std::uintptr_t tag,
                                       std::uint64_t owner)
{
    // Voices that ended are forgotten here, so the owners' table stays as small as what
    // plays.
    std::erase_if(m_owners, [&](const auto& entry) { return !m_mixer->isPlaying(entry.first); });
    // Owner 0's transform is the mixer's master one, over every voice already.
    const VoiceId id = m_mixer->play(std::move(voice), tag,
                                     owner == 0 ? sound::SoundTransform{} : mixTransform(owner));
    if (id == 0)
        log("too many sounds play at once");
    else if (owner != 0)
        m_owners.emplace(id, owner);
    return id;
}

MovieSounds::VoiceId MovieSounds::startEvent(const swf::Character& character,
                                             sound::EventPlayback playback, std::uint64_t owner)
{
    if (!active())
        return 0;
    auto samples = decoded(character);
    if (!samples)
        return 0;
    return play(std::make_unique<sound::EventVoice>(std::move(samples), std::move(playback)),
                tagOf(character), owner);
}

MovieSounds::VoiceId MovieSounds::startDecoded(std::shared_ptr<const sound::DecodedSound> samples,
                                               sound::EventPlayback playback, std::uint64_t owner,
                                               std::uintptr_t tag)
{
    if (!active() || !samples)
        return 0;
    return play(std::make_unique<sound::EventVoice>(std::move(samples), std::move(playback)), tag,
                owner);
}

void MovieSounds::stopOwned(std::uint64_t owner)
{
    if (owner == 0) {
        stopAll();
        return;
    }
    for (auto it = m_owners.begin(); it != m_owners.end();) {
        if (it->second == owner) {
            m_mixer->stop(it->first);
            it = m_owners.erase(it);
        } else {
            ++it;
        }
    }
}

MovieSounds::ScriptTransform MovieSounds::scriptTransform(std::uint64_t owner) const
{
    auto it = m_scriptTransforms.find(owner);
    return it == m_scriptTransforms.end() ? ScriptTransform{} : it->second;
}

sound::SoundTransform MovieSounds::mixTransform(std::uint64_t owner) const
{
    const ScriptTransform t = scriptTransform(owner);
    return {t.leftToLeft / 100, t.leftToRight / 100, t.rightToLeft / 100, t.rightToRight / 100,
            t.volume / 100};
}

void MovieSounds::setScriptTransform(std::uint64_t owner, const ScriptTransform& transform)
{
    m_scriptTransforms[owner] = transform;
    if (owner == 0) {
        m_mixer->setMasterTransform(mixTransform(0));
        return;
    }
    for (const auto& [voice, voiceOwner] : m_owners) {
        if (voiceOwner == owner)
            m_mixer->setTransform(voice, mixTransform(owner));
    }
}

void MovieSounds::stopEvent(const swf::Character& character)
{
    m_mixer->stopTagged(tagOf(character));
}

bool MovieSounds::isEventPlaying(const swf::Character& character) const
{
    return m_mixer->isTagPlaying(tagOf(character));
}

void MovieSounds::stopAll()
{
    m_mixer->stopAll();
    m_streams.clear();
    m_owners.clear();
}

void MovieSounds::startStream(Stream& stream, const swf::Timeline& timeline)
{
    stream.timeline = &timeline;
    stream.decoder.reset();
    stream.voice = 0;
    auto head = sound::parseStreamHead(timeline.soundStreamHead);
    if (!head) {
        log("SoundStreamHead: " + head.error().message());
        return;
    }
    auto decoder = sound::StreamDecoder::create(*head);
    if (!decoder) {
        log("stream sound: " + decoder.error().message());
        return;
    }
    stream.decoder = std::move(decoder.value());
    stream.voice = m_mixer->play(
        std::make_unique<sound::StreamVoice>(head->format.rate, head->format.channels()));
}

void MovieSounds::streamFrame(std::uint64_t clipId, const swf::Timeline& timeline,
                              std::size_t frame, std::uint64_t step)
{
    if (!active() || timeline.soundStreamHead.empty() || frame >= timeline.frames.size())
        return;
    auto [it, isNew] = m_streams.try_emplace(clipId);
    Stream& stream = it->second;
    const bool goesOn = !isNew && stream.timeline == &timeline && frame == stream.lastFrame + 1 &&
                        m_mixer->isPlaying(stream.voice);
    if (!goesOn) {
        if (!isNew)
            m_mixer->stop(stream.voice);
        startStream(stream, timeline);
    }
    stream.lastFrame = frame;
    stream.step = step;
    const auto& block = timeline.frames[frame].soundStreamBlock;
    if (!stream.decoder || block.empty())
        return;
    const bool wasDamaged = stream.decoder->damaged();
    const std::vector<std::int16_t> samples = stream.decoder->decodeBlock(block);
    if (stream.decoder->damaged() && !wasDamaged)
        log("stream sound: damaged block in frame " + std::to_string(frame + 1) +
            "; silent from here");
    m_mixer->withVoice(stream.voice, [&](sound::Voice& voice) {
        static_cast<sound::StreamVoice&>(voice).push(samples);
    });
}

void MovieSounds::endStep(std::uint64_t step)
{
    for (auto it = m_streams.begin(); it != m_streams.end();) {
        if (it->second.step == step) {
            ++it;
            continue;
        }
        m_mixer->stop(it->second.voice);
        it = m_streams.erase(it);
    }
}

bool MovieSounds::streamPlaying() const
{
    for (const auto& [id, stream] : m_streams) {
        if (stream.voice && m_mixer->isPlaying(stream.voice))
            return true;
    }
    return false;
}

} // namespace runtime
