#include "ImageMovie.h"

#include "ImageDecoders.h"
#include "Limits.h"

#include <algorithm>
#include <limits>

namespace swf {

namespace {

constexpr CharacterId kBitmapId = 1;
constexpr CharacterId kShapeId = 2;

bool isJpeg(std::span<const std::uint8_t> file)
{
    return file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF;
}

Result<Bitmap> decodeImage(std::span<const std::uint8_t> file)
{
    PixelBudget budget(limits::kMaxTotalBitmapPixels);
    if (image::isPng(file))
        return image::decodePng(file, budget, "loaded PNG");
    if (image::isGif(file))
        return image::decodeGif(file, budget, "loaded GIF");
    if (isJpeg(file))
        return image::decodeJpeg({}, file, budget, "loaded JPEG");
    return makeError(ErrorCode::Unsupported, "not an image");
}

// A rectangle of the bitmap's size, filled with it, clipped at its edges.
Shape imageShape(const Bitmap& bitmap)
{
    const auto width = static_cast<std::int32_t>(bitmap.width) * Twips::kPerPixel;
    const auto height = static_cast<std::int32_t>(bitmap.height) * Twips::kPerPixel;
    Shape shape;
    shape.bounds = Rect{Twips{0}, Twips{width}, Twips{0}, Twips{height}};
    shape.edgeBounds = shape.bounds;
    ShapeLayer layer;
    FillStyle fill;
    fill.type = FillType::ClippedBitmap;
    fill.bitmapId = kBitmapId;
    fill.matrix = Matrix::scale(Twips::kPerPixel, Twips::kPerPixel);
    layer.fills.push_back(fill);
    FillPath area;
    area.style = 0;
    area.path.segments = {
        {SegmentKind::Move, 0, 0},          {SegmentKind::Line, width, 0},
        {SegmentKind::Line, width, height}, {SegmentKind::Line, 0, height},
        {SegmentKind::Line, 0, 0},
    };
    layer.fillPaths.push_back(std::move(area));
    shape.layers.push_back(std::move(layer));
    return shape;
}

} // namespace

bool isImageFile(std::span<const std::uint8_t> file)
{
    return image::isPng(file) || image::isGif(file) || isJpeg(file);
}

Result<MoviePtr> movieFromImage(std::span<const std::uint8_t> file, std::uint8_t swfVersion)
{
    Result<Bitmap> bitmap = decodeImage(file);
    if (!bitmap)
        return bitmap.error();
    auto movie = std::make_shared<MovieDefinition>();
    movie->header.version = swfVersion;
    movie->header.declaredLength = static_cast<std::uint32_t>(
        std::min<std::size_t>(file.size(), std::numeric_limits<std::uint32_t>::max()));
    movie->header.frameCount = 1;
    Shape shape = imageShape(*bitmap);
    movie->header.stage = shape.bounds;

    auto image = std::make_shared<Character>();
    image->id = kBitmapId;
    image->data = std::move(*bitmap);
    movie->define(std::move(image));
    auto filled = std::make_shared<Character>();
    filled->id = kShapeId;
    filled->data = std::move(shape);
    movie->define(std::move(filled));

    PlaceObject place;
    place.depth = 1;
    place.characterId = kShapeId;
    movie->timeline.frames.resize(1);
    movie->timeline.frames[0].tags.push_back(std::move(place));
    return MoviePtr(std::move(movie));
}

} // namespace swf
