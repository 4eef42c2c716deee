#pragma once

#include "BitWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A small writer of SWF movies for tests and demo movies: each test states the movie it
// needs in a few lines. It writes what it is told, without checking it: tests of bad
// input use it to write broken movies too.
namespace swfwriter {

enum class Compression { None, Zlib, Lzma };

struct Color {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

// Coordinates are in movie twips (20 to a pixel).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1;
    std::int32_t tx = 0, ty = 0;

    static Matrix translate(std::int32_t x, std::int32_t y) { return {1, 0, 0, 1, x, y}; }
    static Matrix scale(double sx, double sy, std::int32_t x = 0, std::int32_t y = 0)
    {
        return {sx, 0, 0, sy, x, y};
    }
};

struct ColorTransform {
    std::int16_t rMul = 256, gMul = 256, bMul = 256, aMul = 256;
    std::int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;
};

struct Rect {
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

void writeRect(ByteWriter& out, const Rect& rect);
void writeMatrix(ByteWriter& out, const Matrix& m);
void writeColorTransform(ByteWriter& out, const ColorTransform& cx, bool withAlpha);
void writeRgb(ByteWriter& out, Color c);
void writeRgba(ByteWriter& out, Color c);

// One CLIPACTIONRECORD: event bits as the player reads them (a little-endian word),
// a key code written when the key-press bit (0x20000) is set, and the action bytes.
struct ClipActionRecord {
    std::uint32_t events = 0;
    std::uint8_t keyCode = 0;
    std::vector<std::uint8_t> actions;
};

// How a clip-action list ends: with its zero event word, or, for damaged movies, with
// a 16-bit one where the events are 32 bits, or with nothing.
enum class ClipListEnd { EventWord, ShortEventWord, Missing };

// PlaceObject2 and PlaceObject3 in one description; unset fields are left out.
struct Place {
    std::uint16_t depth = 1;
    std::optional<std::uint16_t> characterId;
    bool move = false;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<std::uint16_t> clipDepth;
    // PlaceObject3 only:
    std::optional<std::uint8_t> blendMode;
    std::vector<std::uint8_t> filterListBytes; // a FILTERLIST as written, count included
    std::optional<std::string> className;
    std::optional<std::uint8_t> cacheAsBitmap; // BitmapCache
    std::optional<std::uint8_t> visible;
    std::optional<Color> backgroundColor; // PlaceFlagOpaqueBackground
    // Clip actions (both versions); event words are 32 bits from SWF 6, 16 before.
    std::vector<ClipActionRecord> clipActions;
    bool wideClipEvents = true;
    ClipListEnd clipListEnd = ClipListEnd::EventWord;
};

// An asset by id and name, as ExportAssets and ImportAssets list them.
struct NamedAsset {
    std::uint16_t id = 0;
    std::string name;
};

// A list of tag records: a movie's body or a sprite's timeline.
class TagList {
public:
    void add(std::uint16_t code, const std::vector<std::uint8_t>& body);
    // A record with the long length form even for a short body.
    void addLong(std::uint16_t code, const std::vector<std::uint8_t>& body);
    void showFrame();
    // PlaceObject: character, depth, matrix and an optional colour transform.
    void place1(std::uint16_t characterId, std::uint16_t depth, const Matrix& matrix,
                const std::optional<ColorTransform>& colorTransform = std::nullopt);
    void place2(const Place& p);
    void place3(const Place& p);
    void remove1(std::uint16_t characterId, std::uint16_t depth);
    void remove2(std::uint16_t depth);
    void frameLabel(const std::string& label);
    void doAction(const std::vector<std::uint8_t>& actions);
    void doInitAction(std::uint16_t spriteId, const std::vector<std::uint8_t>& actions);
    void end();

    int frameCount() const { return m_frames; }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    int m_frames = 0;
};

class MovieWriter : public TagList {
public:
    MovieWriter(int version = 10, int widthPixels = 550, int heightPixels = 400,
                double frameRate = 24);

    void setBackground(Color c);
    // FileAttributes; version 8 and later movies carry one as their first tag.
    void fileAttributes(bool actionScript3 = false, bool useNetwork = false);
    void scriptLimits(std::uint16_t maxRecursionDepth, std::uint16_t scriptTimeoutSeconds);
    void exportAssets(const std::vector<NamedAsset>& assets);
    // ImportAssets (version 1) or ImportAssets2 (version 2).
    void importAssets(const std::string& url, const std::vector<NamedAsset>& assets,
                      int version = 1);
    // DefineSprite with its own timeline (End is appended when missing).
    void defineSprite(std::uint16_t id, const TagList& timeline);

    // The header's frame count: the number of ShowFrame tags unless set.
    void setFrameCount(std::uint16_t count) { m_frameCountOverride = count; }
    // A declared length other than the real one, for tests of damaged headers.
    void setDeclaredLength(std::uint32_t length) { m_lengthOverride = length; }

    std::vector<std::uint8_t> bytes(Compression compression = Compression::None) const;
    bool writeFile(const std::string& path, Compression compression = Compression::None) const;

private:
    int m_version;
    Rect m_stage;
    double m_frameRate;
    std::optional<std::uint16_t> m_frameCountOverride;
    std::optional<std::uint32_t> m_lengthOverride;
};

} // namespace swfwriter
