#pragma once

#include "HitAreas.h"
#include "format/Movie.h"

#include <bitset>
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

namespace runtime {

// One movie playing in the player: the main one, or one a script loaded into a level or
// a clip. Every display object made from its definitions holds it, so that the
// characters, tags and byte code they point into live as long as any of them does, and
// what belongs to one playing of the movie (which init blocks have run, where it came
// from) is kept apart from every other, the same file loaded twice included.
class MovieInstance {
public:
    // What was loaded: a movie, an image shown as one, or nothing (a load that found no
    // file it could show, which leaves its clip in a state of its own).
    enum class Content : std::uint8_t { Movie, Image, Missing };

    // `url` is the address scripts read back (_url); `bytesTotal` what getBytesTotal
    // reports for it.
    MovieInstance(swf::MoviePtr definition, std::string url, std::size_t bytesTotal,
                  Content content = Content::Movie);

    const swf::MovieDefinition& definition() const { return *m_definition; }
    const swf::MoviePtr& definitionPtr() const { return m_definition; }
    int swfVersion() const { return m_definition->header.version; }
    Content content() const { return m_content; }

    const std::string& url() const { return m_url; }
    void setUrl(std::string url) { m_url = std::move(url); }
    std::size_t bytesTotal() const { return m_bytesTotal; }
    // What getBytesTotal reports for a movie read from a file: a compressed movie's
    // stored length, an uncompressed one's declared length, as the reference gives them.
    static std::size_t reportedLength(const swf::MovieHeader& header);

    // True the first time for each sprite id: a movie's DoInitAction blocks run once.
    bool claimInitAction(swf::CharacterId spriteId);
    // The name the movie exports character `id` under (the first, in name order), or null.
    const std::string* exportName(swf::CharacterId id) const;
    // What the movie's definitions can be hit by, worked out as tests first need it.
    HitAreas& hitAreas() const;

private:
    swf::MoviePtr m_definition;
    std::string m_url;
    std::size_t m_bytesTotal;
    Content m_content;
    std::bitset<65536> m_initActionsClaimed;
    std::unordered_map<swf::CharacterId, std::string> m_exportNames;
    mutable std::unique_ptr<HitAreas> m_hitAreas;
};

using MovieInstancePtr = std::shared_ptr<MovieInstance>;

} // namespace runtime
