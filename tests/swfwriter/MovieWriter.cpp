#include "MovieWriter.h"

#include <cstdio>
#include <lzma.h>
#include <stdexcept>
#include <zlib.h>

namespace swfwriter {

void writeRect(ByteWriter& out, const Rect& rect)
{
    const unsigned n = signedBits({rect.xMin, rect.xMax, rect.yMin, rect.yMax});
    out.ub(5, n);
    out.sb(n, rect.xMin);
    out.sb(n, rect.xMax);
    out.sb(n, rect.yMin);
    out.sb(n, rect.yMax);
    out.flushBits();
}

void writeMatrix(ByteWriter& out, const Matrix& m)
{
    auto fixed = [](double v) { return static_cast<std::int32_t>(v * 65536); };
    const bool hasScale = m.a != 1 || m.d != 1;
    out.ub(1, hasScale);
    if (hasScale) {
        const unsigned n = signedBits({fixed(m.a), fixed(m.d)});
        out.ub(5, n);
        out.sb(n, fixed(m.a));
        out.sb(n, fixed(m.d));
    }
    const bool hasRotate = m.b != 0 || m.c != 0;
    out.ub(1, hasRotate);
    if (hasRotate) {
        const unsigned n = signedBits({fixed(m.b), fixed(m.c)});
        out.ub(5, n);
        out.sb(n, fixed(m.b));
        out.sb(n, fixed(m.c));
    }
    const unsigned n = (m.tx || m.ty) ? signedBits({m.tx, m.ty}) : 0;
    out.ub(5, n);
    out.sb(n, m.tx);
    out.sb(n, m.ty);
    out.flushBits();
}

void writeColorTransform(ByteWriter& out, const ColorTransform& cx, bool withAlpha)
{
    const bool hasMul =
        cx.rMul != 256 || cx.gMul != 256 || cx.bMul != 256 || (withAlpha && cx.aMul != 256);
    const bool hasAdd = cx.rAdd || cx.gAdd || cx.bAdd || (withAlpha && cx.aAdd);
    out.ub(1, hasAdd);
    out.ub(1, hasMul);
    const unsigned n =
        signedBits({cx.rMul, cx.gMul, cx.bMul, cx.aMul, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd});
    out.ub(4, n);
    if (hasMul) {
        out.sb(n, cx.rMul);
        out.sb(n, cx.gMul);
        out.sb(n, cx.bMul);
        if (withAlpha)
            out.sb(n, cx.aMul);
    }
    if (hasAdd) {
        out.sb(n, cx.rAdd);
        out.sb(n, cx.gAdd);
        out.sb(n, cx.bAdd);
        if (withAlpha)
            out.sb(n, cx.aAdd);
    }
    out.flushBits();
}

void writeRgb(ByteWriter& out, Color c)
{
    out.u8(c.r);
    out.u8(c.g);
    out.u8(c.b);
}

void writeRgba(ByteWriter& out, Color c)
{
    writeRgb(out, c);
    out.u8(c.a);
}

void TagList::add(std::uint16_t code, const std::vector<std::uint8_t>& body)
{
    if (body.size() < 0x3f) {
        const auto header = static_cast<std::uint16_t>((code << 6) | body.size());
        m_bytes.push_back(static_cast<std::uint8_t>(header));
        m_bytes.push_back(static_cast<std::uint8_t>(header >> 8));
        m_bytes.insert(m_bytes.end(), body.begin(), body.end());
    } else {
        addLong(code, body);
    }
}

void TagList::addLong(std::uint16_t code, const std::vector<std::uint8_t>& body)
{
    ByteWriter out;
    out.u16(static_cast<std::uint16_t>((code << 6) | 0x3f));
    out.u32(static_cast<std::uint32_t>(body.size()));
    out.bytes(body);
    const auto& data = out.data();
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
}

void TagList::showFrame()
{
    add(1, {});
    ++m_frames;
}

namespace {

void writeEventFlags(ByteWriter& out, std::uint32_t events, bool wide)
{
    if (wide)
        out.u32(events);
    else
        out.u16(static_cast<std::uint16_t>(events));
}

// CLIPACTIONS: reserved word, the union of the events, the records, a zero event word.
void writeClipActions(ByteWriter& out, const Place& p)
{
    constexpr std::uint32_t kKeyPress = 0x20000;
    out.u16(0);
    std::uint32_t all = 0;
    for (const auto& record : p.clipActions)
        all |= record.events;
    writeEventFlags(out, all, p.wideClipEvents);
    for (const auto& record : p.clipActions) {
        writeEventFlags(out, record.events, p.wideClipEvents);
        const bool keyPress = p.wideClipEvents && (record.events & kKeyPress);
        // ActionRecordSize counts the key code too.
        out.u32(static_cast<std::uint32_t>(record.actions.size() + (keyPress ? 1 : 0)));
        if (keyPress)
            out.u8(record.keyCode);
        out.bytes(record.actions);
    }
    if (p.clipListEnd == ClipListEnd::EventWord)
        writeEventFlags(out, 0, p.wideClipEvents);
    else if (p.clipListEnd == ClipListEnd::ShortEventWord)
        out.u16(0);
}

void writePlaceFields(ByteWriter& out, const Place& p, bool version3)
{
    std::uint8_t flags = 0;
    if (p.move)
        flags |= 0x01;
    if (p.characterId)
        flags |= 0x02;
    if (p.matrix)
        flags |= 0x04;
    if (p.colorTransform)
        flags |= 0x08;
    if (p.ratio)
        flags |= 0x10;
    if (p.name)
        flags |= 0x20;
    if (p.clipDepth)
        flags |= 0x40;
    if (!p.clipActions.empty())
        flags |= 0x80;
    out.u8(flags);
    if (version3) {
        std::uint8_t flags2 = 0;
        if (!p.filterListBytes.empty())
            flags2 |= 0x01;
        if (p.blendMode)
            flags2 |= 0x02;
        if (p.cacheAsBitmap)
            flags2 |= 0x04;
        if (p.className)
            flags2 |= 0x08;
        if (p.visible)
            flags2 |= 0x20;
        if (p.backgroundColor)
            flags2 |= 0x40;
        out.u8(flags2);
    }
    out.u16(p.depth);
    if (version3 && p.className)
        out.cstring(*p.className);
    if (p.characterId)
        out.u16(*p.characterId);
    if (p.matrix)
        writeMatrix(out, *p.matrix);
    if (p.colorTransform)
        writeColorTransform(out, *p.colorTransform, true);
    if (p.ratio)
        out.u16(*p.ratio);
    if (p.name)
        out.cstring(*p.name);
    if (p.clipDepth)
        out.u16(*p.clipDepth);
    if (version3 && !p.filterListBytes.empty())
        out.bytes(p.filterListBytes);
    if (version3 && p.blendMode)
        out.u8(*p.blendMode);
    if (version3 && p.cacheAsBitmap)
        out.u8(*p.cacheAsBitmap);
    if (version3 && p.visible)
        out.u8(*p.visible);
    if (version3 && p.backgroundColor)
        writeRgba(out, *p.backgroundColor);
    if (!p.clipActions.empty())
        writeClipActions(out, p);
}

} // namespace

void TagList::place1(std::uint16_t characterId, std::uint16_t depth, const Matrix& matrix,
                     const std::optional<ColorTransform>& colorTransform)
{
    ByteWriter out;
    out.u16(characterId);
    out.u16(depth);
    writeMatrix(out, matrix);
    if (colorTransform)
        writeColorTransform(out, *colorTransform, false);
    add(4, out.data());
}

void TagList::place2(const Place& p)
{
    ByteWriter out;
    writePlaceFields(out, p, false);
    add(26, out.data());
}

void TagList::place3(const Place& p)
{
    ByteWriter out;
    writePlaceFields(out, p, true);
    add(70, out.data());
}

void TagList::remove1(std::uint16_t characterId, std::uint16_t depth)
{
    ByteWriter out;
    out.u16(characterId);
    out.u16(depth);
    add(5, out.data());
}

void TagList::remove2(std::uint16_t depth)
{
    ByteWriter out;
    out.u16(depth);
    add(28, out.data());
}

void TagList::frameLabel(const std::string& label)
{
    ByteWriter out;
    out.cstring(label);
    add(43, out.data());
}

void TagList::doAction(const std::vector<std::uint8_t>& actions)
{
    add(12, actions);
}

void TagList::doInitAction(std::uint16_t spriteId, const std::vector<std::uint8_t>& actions)
{
    ByteWriter out;
    out.u16(spriteId);
    out.bytes(actions);
    add(59, out.data());
}

void TagList::end()
{
    add(0, {});
}

MovieWriter::MovieWriter(int version, int widthPixels, int heightPixels, double frameRate)
    : m_version(version), m_stage{0, widthPixels * 20, 0, heightPixels * 20}, m_frameRate(frameRate)
{}

void MovieWriter::setBackground(Color c)
{
    ByteWriter out;
    writeRgb(out, c);
    add(9, out.data());
}

void MovieWriter::fileAttributes(bool actionScript3, bool useNetwork)
{
    ByteWriter out;
    out.u32((actionScript3 ? 0x08u : 0u) | (useNetwork ? 0x01u : 0u));
    add(69, out.data());
}

void MovieWriter::scriptLimits(std::uint16_t maxRecursionDepth, std::uint16_t scriptTimeoutSeconds)
{
    ByteWriter out;
    out.u16(maxRecursionDepth);
    out.u16(scriptTimeoutSeconds);
    add(65, out.data());
}

namespace {

void writeAssets(ByteWriter& out, const std::vector<NamedAsset>& assets)
{
    out.u16(static_cast<std::uint16_t>(assets.size()));
    for (const NamedAsset& asset : assets) {
        out.u16(asset.id);
        out.cstring(asset.name);
    }
}

} // namespace

void MovieWriter::exportAssets(const std::vector<NamedAsset>& assets)
{
    ByteWriter out;
    writeAssets(out, assets);
    add(56, out.data());
}

void MovieWriter::importAssets(const std::string& url, const std::vector<NamedAsset>& assets,
                               int version)
{
    ByteWriter out;
    out.cstring(url);
    if (version == 2) {
        out.u8(1); // reserved
        out.u8(0); // reserved
    }
    writeAssets(out, assets);
    add(version == 2 ? 71 : 57, out.data());
}

void MovieWriter::defineSprite(std::uint16_t id, const TagList& timeline)
{
    ByteWriter out;
    out.u16(id);
    out.u16(static_cast<std::uint16_t>(timeline.frameCount()));
    out.bytes(timeline.bytes());
    const auto& t = timeline.bytes();
    const bool endsWithEnd = t.size() >= 2 && t[t.size() - 2] == 0 && t[t.size() - 1] == 0;
    if (!endsWithEnd) {
        out.u16(0);
    }
    add(39, out.data());
}

namespace {

std::vector<std::uint8_t> deflate(const std::vector<std::uint8_t>& input)
{
    uLongf size = compressBound(static_cast<uLong>(input.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, input.data(), static_cast<uLong>(input.size()), 9) != Z_OK)
        throw std::runtime_error("zlib compression failed");
    out.resize(size);
    return out;
}

// ZWS keeps the five LZMA property bytes and the raw stream: the "alone" format
// without its 8-byte size field.
std::vector<std::uint8_t> lzmaCompress(const std::vector<std::uint8_t>& input)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream zs = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&zs, &options) != LZMA_OK)
        throw std::runtime_error("lzma encoder failed");
    std::vector<std::uint8_t> out(input.size() + input.size() / 2 + 1024);
    zs.next_in = input.data();
    zs.avail_in = input.size();
    zs.next_out = out.data();
    zs.avail_out = out.size();
    const lzma_ret status = lzma_code(&zs, LZMA_FINISH);
    const std::size_t produced = out.size() - zs.avail_out;
    lzma_end(&zs);
    if (status != LZMA_STREAM_END)
        throw std::runtime_error("lzma compression failed");
    out.resize(produced);
    out.erase(out.begin() + 5, out.begin() + 13);
    return out;
}

} // namespace

std::vector<std::uint8_t> MovieWriter::bytes(Compression compression) const
{
    ByteWriter body;
    writeRect(body, m_stage);
    body.u16(static_cast<std::uint16_t>(m_frameRate * 256));
    body.u16(m_frameCountOverride ? *m_frameCountOverride
                                  : static_cast<std::uint16_t>(frameCount()));
    body.bytes(TagList::bytes());
    const auto& t = TagList::bytes();
    if (t.size() < 2 || t[t.size() - 2] != 0 || t[t.size() - 1] != 0)
        body.u16(0);
    const std::vector<std::uint8_t>& plain = body.data();

    ByteWriter file;
    const char* signature = compression == Compression::Zlib   ? "CWS"
                            : compression == Compression::Lzma ? "ZWS"
                                                               : "FWS";
    file.u8(static_cast<std::uint8_t>(signature[0]));
    file.u8(static_cast<std::uint8_t>(signature[1]));
    file.u8(static_cast<std::uint8_t>(signature[2]));
    file.u8(static_cast<std::uint8_t>(m_version));
    file.u32(m_lengthOverride ? *m_lengthOverride : static_cast<std::uint32_t>(plain.size() + 8));
    switch (compression) {
    case Compression::None:
        file.bytes(plain);
        break;
    case Compression::Zlib:
        file.bytes(deflate(plain));
        break;
    case Compression::Lzma: {
        const auto packed = lzmaCompress(plain);
        file.u32(static_cast<std::uint32_t>(packed.size() - 5));
        file.bytes(packed);
        break;
    }
    }
    return file.data();
}

bool MovieWriter::writeFile(const std::string& path, Compression compression) const
{
    const auto data = bytes(compression);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace swfwriter
