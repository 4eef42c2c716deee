#include "Imports.h"

#include "CharacterReferences.h"
#include "Limits.h"

#include <algorithm>
#include <bitset>
#include <deque>
#include <map>
#include <optional>
#include <set>

namespace swf {

namespace {

constexpr std::size_t kIdCount = 65536;

void note(MovieDefinition& movie, std::string text)
{
    if (movie.notes.size() < limits::kMaxNotes)
        movie.notes.push_back(std::move(text));
}

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

// "http:", "file:", "C:": letters first, then letters, digits, '+', '-' or '.'.
bool hasScheme(std::string_view url)
{
    for (std::size_t i = 0; i < url.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (c == ':')
            return i > 0;
        const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return false;
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

// The id a movie exports under `name`. Export names are matched without regard to
// (ASCII) case, as the authoring tool treats them; an exact match wins over others.
std::optional<CharacterId> exportedId(const MovieDefinition& movie, const std::string& name)
{
    if (auto exact = movie.exports.find(name); exact != movie.exports.end())
        return exact->second;
    for (const auto& [exported, id] : movie.exports) {
        if (sameIgnoringCase(exported, name))
            return id;
    }
    return std::nullopt;
}

// Ids the importer leaves free: neither defined nor promised to an import. They are
// handed out rising from past the highest one used, then from the gaps below it; one
// pass over the id space in all, so that handing out every id costs no more than one.
class FreeIds {
public:
    explicit FreeIds(const MovieDefinition& movie)
    {
        for (std::size_t id = 0; id < movie.idLimit(); ++id) {
            if (movie.character(static_cast<CharacterId>(id)))
                m_taken.set(id);
        }
        for (const AssetImport& import : movie.imports) {
            for (const ImportedAsset& asset : import.assets)
                m_taken.set(asset.id);
        }
        // 0 is no character's id in practice, and 0xFFFF is a bitmap fill's "none".
        m_taken.set(0);
        m_taken.set(kIdCount - 1);
        for (std::size_t id = 1; id + 1 < kIdCount; ++id) {
            if (m_taken.test(id))
                m_next = id + 1;
        }
    }

    std::optional<CharacterId> take()
    {
        while (m_scanned < kIdCount) {
            const std::size_t id = m_next;
            m_next = (m_next + 1) % kIdCount;
            ++m_scanned;
            if (!m_taken.test(id)) {
                m_taken.set(id);
                return static_cast<CharacterId>(id);
            }
        }
        return std::nullopt;
    }

    // An id that stays undefined, for what a copied definition names but the library
    // does not define (or that could not be brought): it draws nothing, as it did there.
    CharacterId nothing()
    {
        if (!m_nothing)
            m_nothing = take().value_or(static_cast<CharacterId>(kIdCount - 1));
        return *m_nothing;
    }

private:
    std::bitset<kIdCount> m_taken;
    std::size_t m_next = 1;
    std::size_t m_scanned = 0;
    std::optional<CharacterId> m_nothing;
};

// An init action taken from a library, waiting for its place on the importer's timeline.
struct PendingInit {
    std::size_t frame = 0;
    std::size_t tagIndex = 0;
    DoInitAction tag;
};

// Each pending init action goes before the tag that followed its import tag, in the
// order the imports came: a class the importer's own init actions build on is there
// before they run.
void placeInitActions(Timeline& timeline, std::vector<PendingInit> pending)
{
    if (pending.empty())
        return;
    if (timeline.frames.empty())
        timeline.frames.emplace_back();
    const std::size_t lastFrame = timeline.frames.size() - 1;
    for (PendingInit& init : pending) {
        // An import after the last frame's tags (with no ShowFrame after it) goes at
        // the end of the last frame.
        if (init.frame > lastFrame) {
            init.frame = lastFrame;
            init.tagIndex = timeline.frames[lastFrame].tags.size();
        }
        init.tagIndex = std::min(init.tagIndex, timeline.frames[init.frame].tags.size());
    }
    std::stable_sort(pending.begin(), pending.end(),
                     [](const PendingInit& a, const PendingInit& b) {
                         return a.frame != b.frame ? a.frame < b.frame : a.tagIndex < b.tagIndex;
                     });
    auto next = pending.begin();
    while (next != pending.end()) {
        std::vector<ControlTag>& tags = timeline.frames[next->frame].tags;
        std::vector<ControlTag> merged;
        merged.reserve(tags.size() + std::size_t(pending.end() - next));
        const std::size_t frame = next->frame;
        for (std::size_t i = 0; i <= tags.size(); ++i) {
            for (; next != pending.end() && next->frame == frame && next->tagIndex == i; ++next)
                merged.push_back(std::move(next->tag));
            if (i < tags.size())
                merged.push_back(std::move(tags[i]));
        }
        tags = std::move(merged);
    }
}

class Resolver {
public:
    explicit Resolver(const ImportFetcher& fetch) : m_fetch(fetch) {}

    MoviePtr resolve(MoviePtr movie, const std::string& url, int depth);

private:
    struct Target {
        MovieDefinition& movie;
        FreeIds& ids;
        std::vector<PendingInit>& inits;
    };
    void importFrom(Target& into, const AssetImport& import, const std::string& base, int depth);
    MoviePtr fetchLibrary(MovieDefinition& into, const std::string& url, const std::string& label,
                          int depth);
    void bringIn(Target& into, const MovieDefinition& library, const AssetImport& import,
                 const std::string& label);
    bool affordable(MovieDefinition& into, const Character& character, const std::string& label);

    const ImportFetcher& m_fetch;
    // The movies whose imports are being resolved, outermost first: a url among them
    // is a cycle.
    std::vector<std::string> m_chain;
    // Each file fetched (or tried) by its url, with the library it gave, if any.
    std::map<std::string, MoviePtr> m_fetched;
    std::size_t m_files = 0;
    std::size_t m_bytes = 0;
    // Bitmaps brought in share one budget of decoded pixels, as one movie's own do.
    std::uint64_t m_pixelsLeft = limits::kMaxTotalBitmapPixels;
};

MoviePtr Resolver::resolve(MoviePtr movie, const std::string& url, int depth)
{
    if (!movie || movie->imports.empty())
        return movie;
    auto resolved = std::make_shared<MovieDefinition>(*movie);
    if (depth >= limits::kMaxImportNesting) {
        note(*resolved, "imports nested deeper than " + std::to_string(limits::kMaxImportNesting) +
                            " movies are left out");
        return resolved;
    }
    FreeIds ids(*resolved);
    std::vector<PendingInit> inits;
    Target into{*resolved, ids, inits};
    m_chain.push_back(url);
    for (const AssetImport& import : movie->imports)
        importFrom(into, import, url, depth);
    m_chain.pop_back();
    placeInitActions(resolved->timeline, std::move(inits));
    return resolved;
}

void Resolver::importFrom(Target& into, const AssetImport& import, const std::string& base,
                          int depth)
{
    if (import.assets.empty())
        return;
    const std::string url = importUrlFrom(base, import.url);
    const std::string label = "import from " + url;
    if (std::find(m_chain.begin(), m_chain.end(), url) != m_chain.end()) {
        note(into.movie, label + ": left out, the movie imports from itself");
        return;
    }
    MoviePtr library = fetchLibrary(into.movie, url, label, depth);
    if (!library)
        return;
    for (const std::string& libraryNote : library->notes)
        note(into.movie, label + ": " + libraryNote);
    bringIn(into, *library, import, label);
}

MoviePtr Resolver::fetchLibrary(MovieDefinition& into, const std::string& url,
                                const std::string& label, int depth)
{
    // Several imports from one file fetch it once, and a file that could not be had is
    // not asked for again.
    if (const auto known = m_fetched.find(url); known != m_fetched.end()) {
        if (!known->second)
            note(into, label + ": left out, as before");
        return known->second;
    }
    MoviePtr& library = m_fetched[url];
    // Every attempt counts, a failed one too: each costs the host a look for the file.
    if (m_files >= limits::kMaxImportFiles) {
        note(into, label + ": left out, more import files than this player reads");
        return nullptr;
    }
    ++m_files;
    const std::size_t bytesLeft = limits::kMaxImportBytes - m_bytes;
    auto bytes = m_fetch(url, bytesLeft);
    if (!bytes) {
        note(into, label + ": " + bytes.error().message());
        return nullptr;
    }
    if (bytes->size() > bytesLeft) {
        note(into, label + ": left out, the import files are larger than this player reads");
        return nullptr;
    }
    m_bytes += bytes->size();
    auto loaded = loadMovie(*bytes);
    if (!loaded) {
        note(into, label + ": " + loaded.error().message());
        return nullptr;
    }
    library = resolve(std::move(*loaded), url, depth + 1);
    return library;
}

bool Resolver::affordable(MovieDefinition& into, const Character& character,
                          const std::string& label)
{
    const auto* bitmap = std::get_if<Bitmap>(&character.data);
    if (!bitmap)
        return true;
    const std::uint64_t pixels = std::uint64_t(bitmap->width) * bitmap->height;
    if (pixels > m_pixelsLeft) {
        note(into, label + ": bitmap " + std::to_string(character.id) +
                       " left out, more pixels than this player decodes");
        return false;
    }
    m_pixelsLeft -= pixels;
    return true;
}

void Resolver::bringIn(Target& into, const MovieDefinition& library, const AssetImport& import,
                       const std::string& label)
{
    // Library id to importer id: each library character is copied once, under the id
    // it got first, however many definitions name it.
    std::map<CharacterId, CharacterId> brought;
    std::deque<std::pair<CharacterId, CharacterId>> toCopy;
    std::set<CharacterId> claimed;
    for (const ImportedAsset& asset : import.assets) {
        const auto source = exportedId(library, asset.name);
        const Character* character = source ? library.character(*source) : nullptr;
        if (!character) {
            note(into.movie, label + ": nothing exported as \"" + asset.name + "\"");
            continue;
        }
        if (into.movie.character(asset.id) || !claimed.insert(asset.id).second) {
            // Leniency: the importer's own definition (or the first import of the id)
            // keeps it.
            note(into.movie, label + ": \"" + asset.name + "\" left out, id " +
                                 std::to_string(asset.id) + " is defined already");
            continue;
        }
        if (!affordable(into.movie, *character, label))
            continue;
        brought.emplace(*source, asset.id);
        toCopy.emplace_back(*source, asset.id);
        into.movie.exports.emplace(asset.name, asset.id);
    }

    bool idsRanOut = false;
    const Renumbering renumber = [&](CharacterId id) -> CharacterId {
        if (auto known = brought.find(id); known != brought.end())
            return known->second;
        const Character* character = library.character(id);
        if (!character || !affordable(into.movie, *character, label))
            return into.ids.nothing();
        const auto target = into.ids.take();
        if (!target) {
            if (!idsRanOut)
                note(into.movie, label + ": left incomplete, no character ids are free");
            idsRanOut = true;
            return into.ids.nothing();
        }
        brought.emplace(id, *target);
        toCopy.emplace_back(id, *target);
        return *target;
    };
    // Each library id enters `brought` once, so the queue ends after at most one copy
    // per library character (and one per imported name).
    while (!toCopy.empty()) {
        const auto [source, target] = toCopy.front();
        toCopy.pop_front();
        const Character& original = *library.character(source);
        auto copy = std::make_shared<Character>();
        copy->id = target;
        copy->data = renumberReferences(original.data, renumber);
        copy->swfVersion = original.swfVersion ? original.swfVersion : library.header.version;
        into.movie.define(std::move(copy));
    }

    for (const Frame& frame : library.timeline.frames) {
        for (const ControlTag& tag : frame.tags) {
            const auto* init = std::get_if<DoInitAction>(&tag);
            if (!init)
                continue;
            const auto sprite = brought.find(init->spriteId);
            if (sprite == brought.end())
                continue;
            into.inits.push_back(
                {import.frame, import.tagIndex, DoInitAction{sprite->second, init->actions}});
        }
    }
}

} // namespace

std::string importUrlFrom(std::string_view base, std::string_view url)
{
    if (url.empty() || isSeparator(url.front()) || hasScheme(url))
        return std::string(url);
    std::string joined;
    const auto folderEnd = base.find_last_of("/\\");
    if (folderEnd != std::string_view::npos)
        joined.assign(base.substr(0, folderEnd + 1));
    joined.append(url);

    std::vector<std::string_view> steps;
    std::string_view rest = joined;
    while (!rest.empty()) {
        const auto end = rest.find_first_of("/\\");
        const std::string_view step = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (step.empty() || step == ".")
            continue;
        if (step == ".." && !steps.empty() && steps.back() != "..")
            steps.pop_back();
        else
            steps.push_back(step);
    }
    std::string folded;
    for (const std::string_view step : steps) {
        if (!folded.empty())
            folded += '/';
        folded.append(step);
    }
    return folded;
}

Result<MoviePtr> resolveImports(MoviePtr movie, const ImportFetcher& fetch,
                                std::string_view movieUrl)
{
    if (!movie)
        return makeError(ErrorCode::BadValue, "no movie");
    if (!fetch)
        return movie;
    Resolver resolver(fetch);
    return resolver.resolve(std::move(movie), importUrlFrom({}, movieUrl), 0);
}

} // namespace swf
