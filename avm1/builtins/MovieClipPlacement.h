#pragma once

// Clips that scripts make and remove: attachMovie, createEmptyMovieClip,
// duplicateMovieClip and removeMovieClip, shared by the MovieClip methods and the
// CloneSprite/RemoveSprite actions. Depths are as scripts see them (getDepth's); the
// runtime refuses those out of its range.

#include <string>
#include <string_view>

namespace avm1 {

class ClipObject;
class Object;
class Vm;

// The clip made from the symbol exported as `symbol` (export names ignore case), at
// `depth` of `parent`; the init object's properties are copied onto it, then its
// registered class, if any, constructs it. Null when nothing was made.
ClipObject* attachMovie(Vm& vm, ClipObject& parent, std::string_view symbol, std::string name,
                        long long depth, Object* initObject);
ClipObject* createEmptyMovieClip(Vm& vm, ClipObject& parent, std::string name, long long depth);
// A copy of `clip` beside it, with the same init object and class steps as attachMovie.
ClipObject* duplicateMovieClip(Vm& vm, ClipObject& clip, std::string name, long long depth,
                               Object* initObject);
// Runs a registered class's constructor on a clip, once: the clip then holds the
// class as its own __constructor__ and constructor.
void constructClip(Vm& vm, ClipObject& clip, Object* constructor);
// Removes the clip if it stands where scripts may remove from.
bool removeMovieClip(ClipObject& clip);

} // namespace avm1
