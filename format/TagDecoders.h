#pragma once

// Internal to the movie reader: the decoders TagTable.cpp lists, one per tag family,
// each of the TagDecoder form. They live in files by family.
#include "ParseContext.h"
#include "TagTable.h"

namespace swf::tags {

// DefinitionTags.cpp: characters, read after their id.
Status defineShape(TagSite& site, ByteReader& in, int version);
Status defineMorphShape(TagSite& site, ByteReader& in, int version);
Status defineBits(TagSite& site, ByteReader& in, int version);
Status defineBitsJpeg(TagSite& site, ByteReader& in, int version);
Status defineBitsLossless(TagSite& site, ByteReader& in, int version);
Status defineFont(TagSite& site, ByteReader& in, int version);
Status defineText(TagSite& site, ByteReader& in, int version);
Status defineEditText(TagSite& site, ByteReader& in, int version);
Status defineButton(TagSite& site, ByteReader& in, int version);
Status defineSprite(TagSite& site, ByteReader& in, int version);
Status defineVideoStream(TagSite& site, ByteReader& in, int version);
// Bytes kept for later parts of the engine, or never drawn (DefineFont4's CFF data).
Status defineOpaque(TagSite& site, ByteReader& in, int version);
// Completions of an earlier character.
Status completeFontInfo(TagSite& site, ByteReader& in, int version);
Status completeButtonCxform(TagSite& site, ByteReader& in, int version);
Status completeButtonSound(TagSite& site, ByteReader& in, int version);
Status completeTextSettings(TagSite& site, ByteReader& in, int version);
Status completeVideoFrame(TagSite& site, ByteReader& in, int version);

// ControlTags.cpp: what the open frame shows or does.
Status placeObject(TagSite& site, ByteReader& in, int version);
Status removeObject(TagSite& site, ByteReader& in, int version);
Status doAction(TagSite& site, ByteReader& in, int version);
Status doInitAction(TagSite& site, ByteReader& in, int version);
Status doAbc(TagSite& site, ByteReader& in, int version);
Status symbolClass(TagSite& site, ByteReader& in, int version);
Status setBackgroundColor(TagSite& site, ByteReader& in, int version);
Status startSound(TagSite& site, ByteReader& in, int version);
Status frameLabel(TagSite& site, ByteReader& in, int version);
Status soundStreamHead(TagSite& site, ByteReader& in, int version);
Status soundStreamBlock(TagSite& site, ByteReader& in, int version);

// MovieTags.cpp: the movie as a whole.
Status jpegTables(TagSite& site, ByteReader& in, int version);
Status exportAssets(TagSite& site, ByteReader& in, int version);
Status importAssets(TagSite& site, ByteReader& in, int version);
Status fileAttributes(TagSite& site, ByteReader& in, int version);
Status scriptLimits(TagSite& site, ByteReader& in, int version);

} // namespace swf::tags
