#include "VideoDemoMovie.h"

#include "ActionWriter.h"
#include "FlvWriter.h"
#include "TestPictures.h"
#include "VideoWriter.h"

#include <cmath>
#include <string>

namespace swfwriter {

namespace {

constexpr std::uint32_t kWidth = 320;
constexpr std::uint32_t kHeight = 240;
constexpr int kFrames = 90;
constexpr int kFrameRate = 15;
constexpr std::uint16_t kCode_DefineVideoStream = 60;

pictures::Image frame(int index)
{
    pictures::Image image{kWidth, kHeight,
                          std::vector<std::uint32_t>(std::size_t(kWidth) * kHeight)};
    const double t = static_cast<double>(index) / kFrames;
    const double ballX = 30 + (kWidth - 60) * t;
    const double ballY =
        kHeight - 40 - std::fabs(std::sin(t * 3 * 3.14159265358979)) * (kHeight - 90);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const bool ground = y > kHeight - 20;
            std::uint32_t sky = ground ? 0x3c8c3c
                                       : (0x40 + y * 0x60 / kHeight) << 16 |
                                             (0x90 + y * 0x40 / kHeight) << 8 | 0xf0;
            const double dx = x - ballX, dy = y - ballY;
            if (dx * dx + dy * dy < 20 * 20)
                sky = 0xf04030;
            image.rgb[y * kWidth + x] = sky;
        }
    }
    return image;
}

std::vector<std::uint8_t> clipFlv()
{
    std::vector<pictures::Image> images;
    for (int i = 0; i < kFrames; ++i)
        images.push_back(frame(i));
    const auto packets = pictures::encode("flv", images, kFrameRate);
    if (packets.size() != images.size())
        return {};
    FlvWriter flv(false, true);
    AmfWriter meta;
    meta.string("onMetaData").beginEcmaArray(4);
    meta.key("duration").number(static_cast<double>(kFrames) / kFrameRate);
    meta.key("width").number(kWidth).key("height").number(kHeight);
    meta.key("framerate").number(kFrameRate).end();
    flv.script(0, meta.bytes());
    for (int i = 0; i < kFrames; ++i)
        flv.video(static_cast<std::uint32_t>(i * 1000 / kFrameRate), i % kFrameRate == 0 ? 1 : 2, 2,
                  packets[static_cast<std::size_t>(i)]);
    return flv.bytes();
}

// nc.connect(null); ns = new NetStream(nc); screen.attachVideo(ns); ns.play(name);
// and when it stops, from the start again.
ActionWriter playerScript(const char* flvName)
{
    ActionWriter code;
    code.push({"nc", 0, "NetConnection"}).op(Op::NewObject).op(Op::SetVariable);
    code.push({nullptr, 1, "nc"})
        .op(Op::GetVariable)
        .push({"connect"})
        .op(Op::CallMethod)
        .op(Op::Pop);
    code.push({"ns", "nc"})
        .op(Op::GetVariable)
        .push({1, "NetStream"})
        .op(Op::NewObject)
        .op(Op::SetVariable);
    code.push({"ns"})
        .op(Op::GetVariable)
        .push({1, "screen"})
        .op(Op::GetVariable)
        .push({"attachVideo"})
        .op(Op::CallMethod)
        .op(Op::Pop);
    ActionWriter onStatus;
    ActionWriter::Label done = onStatus.label();
    onStatus.push({"info"})
        .op(Op::GetVariable)
        .push({"code"})
        .op(Op::GetMember)
        .push({"NetStream.Play.Stop"})
        .op(Op::Equals2)
        .op(Op::Not)
        .ifTrue(done);
    onStatus.push({0, 1, "ns"}).op(Op::GetVariable).push({"seek"}).op(Op::CallMethod).op(Op::Pop);
    onStatus.bind(done);
    code.push({"ns"}).op(Op::GetVariable).push({"onStatus"});
    code.defineFunction("", {"info"}, onStatus).op(Op::SetMember);
    code.push({flvName, 1, "ns"}).op(Op::GetVariable).push({"play"}).op(Op::CallMethod).op(Op::Pop);
    code.op(Op::Stop);
    return code;
}

} // namespace

VideoDemo videoDemo(const char* flvName)
{
    VideoDemo demo{MovieWriter(8, 480, 360, 30), clipFlv()};
    MovieWriter& movie = demo.movie;
    movie.fileAttributes();
    movie.setBackground({0x18, 0x18, 0x20});
    VideoStreamHeader header;
    header.width = kWidth;
    header.height = kHeight;
    header.smoothing = true;
    movie.add(kCode_DefineVideoStream, defineVideoStream(1, header));
    Place screen;
    screen.characterId = 1;
    screen.name = "screen";
    screen.matrix = Matrix::translate(20 * (480 - kWidth) / 2, 20 * (360 - kHeight) / 2);
    movie.place2(screen);
    movie.doAction(playerScript(flvName).bytes());
    movie.showFrame();
    return demo;
}

} // namespace swfwriter
