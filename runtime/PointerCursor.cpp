#include "PointerCursor.h"

#include "EditTextObject.h"
#include "MoviePlayer.h"
#include "PointerHitTest.h"

namespace runtime {

namespace {

bool takesText(const DisplayObject& object)
{
    if (object.kind() != ObjectKind::EditText)
        return false;
    return !static_cast<const EditTextObject&>(object).definition().noSelect;
}

} // namespace

PointerCursor pointerCursor(const MoviePlayer& movie)
{
    const InputState& input = movie.input();
    if (input.pointerHidden())
        return PointerCursor::Hidden;
    if (const std::shared_ptr<DisplayObject> target = movie.buttons().pointedAt()) {
        const ScriptEngine* engine = target->context().scriptEngine();
        return !engine || engine->usesHandCursor(*target) ? PointerCursor::Hand
                                                          : PointerCursor::Arrow;
    }
    if (!input.pointerKnown())
        return PointerCursor::Arrow;
    const DisplayObject* under =
        topmostAt(movie.root(), input.pointerX(), input.pointerY(), nullptr);
    return under && takesText(*under) ? PointerCursor::IBeam : PointerCursor::Arrow;
}

} // namespace runtime
