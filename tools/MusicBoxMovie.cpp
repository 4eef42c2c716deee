// The tune is synthesised here and stored as 16-bit PCM, so the demo needs no encoder; each
// frame carries its share of the soundtrack as a stream block.
#include "MusicBoxMovie.h"

#include "ButtonWriter.h"
#include "ShapeWriter.h"
#include "SoundWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace swfwriter {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr int kRate = 22050;
constexpr int kFrameRate = 15;
constexpr int kSamplesPerFrame = kRate / kFrameRate;
constexpr int kFramesPerNote = 3;
constexpr int kKeys = 8;

constexpr std::uint16_t kCode_DefineButton2 = 34;
constexpr std::uint16_t kCode_DefineSound = 14;
constexpr std::uint16_t kCode_DefineButtonSound = 17;
constexpr std::uint16_t kCode_SoundStreamHead = 18;
constexpr std::uint16_t kCode_SoundStreamBlock = 19;

// A pentatonic scale from C5, one frequency for each key.
constexpr double kScale[kKeys] = {523.25, 587.33,  659.25,  783.99,
                                  880.00, 1046.50, 1174.66, 1318.51};
constexpr int kTune[] = {0, 2, 4, 7, 4, 2, 0, 4, 3, 5, 7, 5, 3, 1, 2, 4, 0, 2, 4, 5,
                         7, 6, 5, 4, 3, 4, 5, 3, 2, 1, 0, 2, 4, 2, 1, 0, 1, 2, 0, 0};

// A plucked tone that rings out: a sine and a quieter octave, decaying.
void addNote(std::vector<float>& samples, int start, double frequency, double level)
{
    const int length = kRate * 3 / 2;
    for (int i = 0; i < length && start + i < static_cast<int>(samples.size()); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double envelope = std::exp(-t / 0.35) * std::min(1.0, t / 0.004);
        const double wave =
            std::sin(2 * kPi * frequency * t) + 0.3 * std::sin(4 * kPi * frequency * t);
        samples[static_cast<std::size_t>(start + i)] += static_cast<float>(level * envelope * wave);
    }
}

std::vector<std::uint8_t> toPcm16(const std::vector<float>& samples, std::size_t from,
                                  std::size_t count)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(count * 2);
    for (std::size_t i = from; i < from + count; ++i) {
        const float clamped = std::clamp(samples[i], -1.0f, 1.0f);
        const auto value = static_cast<std::int16_t>(std::lrint(clamped * 32000.0f));
        const auto bits = static_cast<std::uint16_t>(value);
        bytes.push_back(static_cast<std::uint8_t>(bits & 0xff));
        bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> shapeBody(std::uint16_t id, Color colour, bool round)
{
    ShapeWriter shape(1);
    shape.fill1(shape.addFill(FillStyle::solid(colour)));
    if (round) {
        // Eight quadratic arcs make a circle of radius 900 twips.
        const double radius = 900, control = radius / std::cos(kPi / 8);
        shape.moveTo(static_cast<std::int32_t>(radius), 0);
        for (int k = 0; k < 8; ++k) {
            const double mid = (k + 0.5) * kPi / 4, end = (k + 1) * kPi / 4;
            shape.curveTo(static_cast<std::int32_t>(std::lround(control * std::cos(mid))),
                          static_cast<std::int32_t>(std::lround(control * std::sin(mid))),
                          static_cast<std::int32_t>(std::lround(radius * std::cos(end))),
                          static_cast<std::int32_t>(std::lround(radius * std::sin(end))));
        }
    } else
        shape.rect(0, 0, 900, 3000);
    return shape.body(id);
}

} // namespace

MovieWriter musicBox()
{
    const int frames = static_cast<int>(std::size(kTune)) * kFramesPerNote;
    std::vector<float> tune(static_cast<std::size_t>(frames * kSamplesPerFrame), 0.0f);
    for (std::size_t n = 0; n < std::size(kTune); ++n)
        addNote(tune, static_cast<int>(n) * kFramesPerNote * kSamplesPerFrame, kScale[kTune[n]],
                0.28);
    std::vector<float> chime(static_cast<std::size_t>(kRate), 0.0f);
    addNote(chime, 0, 1567.98, 0.5);
    addNote(chime, kRate / 12, 2093.00, 0.35);

    MovieWriter movie(8, 480, 320, kFrameRate);
    movie.fileAttributes();
    movie.setBackground({0x26, 0x1c, 0x30});

    const std::uint16_t keyId = 1, litKeyId = 2, upId = 3, overId = 4, downId = 5, buttonId = 6,
                        chimeId = 7;
    movie.add(ShapeWriter(1).tagCode(), shapeBody(keyId, {0x5a, 0x48, 0x70}, false));
    movie.add(ShapeWriter(1).tagCode(), shapeBody(litKeyId, {0xff, 0xd8, 0x60}, false));
    movie.add(ShapeWriter(1).tagCode(), shapeBody(upId, {0xd0, 0x50, 0x60}, true));
    movie.add(ShapeWriter(1).tagCode(), shapeBody(overId, {0xf0, 0x70, 0x80}, true));
    movie.add(ShapeWriter(1).tagCode(), shapeBody(downId, {0xa0, 0x30, 0x40}, true));
    movie.add(kCode_DefineButton2,
              defineButton2Body(buttonId, false,
                                {{0x09, upId, 1, {}}, {0x02, overId, 2, {}}, {0x04, downId, 3, {}}},
                                {}));
    const SoundFormatBits pcm22{3, 2, true, false};
    movie.add(kCode_DefineSound,
              defineSound(chimeId, pcm22, static_cast<std::uint32_t>(chime.size()),
                          toPcm16(chime, 0, chime.size())));
    movie.add(kCode_DefineButtonSound, defineButtonSound(buttonId, {0, 0, chimeId, 0}));
    movie.add(kCode_SoundStreamHead, soundStreamHead(pcm22, kSamplesPerFrame));

    const std::int32_t keyLeft = 500, keyTop = 1200, keyPitch = 1100;
    for (std::uint16_t k = 0; k < kKeys; ++k) {
        Place place;
        place.depth = static_cast<std::uint16_t>(1 + k);
        place.characterId = keyId;
        place.matrix = Matrix::translate(keyLeft + k * keyPitch, keyTop);
        movie.place2(place);
    }
    Place button;
    button.depth = 40;
    button.characterId = buttonId;
    button.matrix = Matrix::translate(4800, 5300);
    movie.place2(button);

    for (int f = 0; f < frames; ++f) {
        const auto key = kTune[f / kFramesPerNote];
        if (f % kFramesPerNote == 0) {
            Place lit;
            lit.depth = 30;
            if (f == 0)
                lit.characterId = litKeyId;
            else
                lit.move = true;
            lit.matrix = Matrix::translate(keyLeft + key * keyPitch, keyTop);
            movie.place2(lit);
        }
        movie.add(kCode_SoundStreamBlock,
                  toPcm16(tune, static_cast<std::size_t>(f * kSamplesPerFrame), kSamplesPerFrame));
        movie.showFrame();
    }
    return movie;
}

} // namespace swfwriter
