#pragma once

#include <string>
#include <string_view>

namespace swf {

// Every way a movie can fail to load, with the text a user sees. The text completes
// "Cannot play this movie: ..." and names the field at fault where there is one.
#define SWF_ERROR_LIST(X)                                                                          \
    X(None, "no error")                                                                            \
    X(CannotOpen, "the file cannot be opened")                                                     \
    X(CannotRead, "the file cannot be read")                                                       \
    X(NotAMovie, "the file is not an SWF movie")                                                   \
    X(Truncated, "the movie ends early")                                                           \
    X(DecompressionFailed, "the movie's compressed data is damaged")                               \
    X(TooLarge, "the movie is larger than this player accepts")                                    \
    X(BadValue, "the movie holds a value out of range")                                            \
    X(BadReference, "the movie refers to something it does not define")                            \
    X(TooDeep, "the movie nests deeper than this player accepts")                                  \
    X(Unsupported, "the movie uses a feature this player does not have")

enum class ErrorCode {
#define SWF_ERROR_ENUM(name, text) name,
    SWF_ERROR_LIST(SWF_ERROR_ENUM)
#undef SWF_ERROR_ENUM
};

std::string_view errorText(ErrorCode code);

struct Error {
    ErrorCode code = ErrorCode::None;
    // Where it happened, for example "DefineShape3 (id 12): fill style count".
    std::string detail;

    // One line for a user: the general text, then the detail.
    std::string message() const;
};

} // namespace swf
