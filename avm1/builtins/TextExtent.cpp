// TextFormat.getTextExtent(text, width): how large `text` is in this format, laid out
// as a text field lays it out (wrapped to `width` pixels when given), and the field
// that would hold it.
#include "Builtins.h"
#include "TextFormatObject.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"
#include "runtime/PlayerContext.h"
#include "runtime/TextFonts.h"

#include <cmath>

namespace avm1 {

namespace {

// The widest box a measure lays text out in: a million pixels.
constexpr double kMaxExtentPixels = 1'000'000;

const swf::Font* movieFontNamed(const swf::MovieDefinition& movie, const std::string& name)
{
    for (std::size_t id = 0; id < movie.idLimit(); ++id)
        if (const swf::Font* font = movie.get<swf::Font>(static_cast<swf::CharacterId>(id)))
            if (!font->glyphs.empty() && runtime::sameFontName(font->name, name))
                return font;
    return nullptr;
}

Value getTextExtent(Vm& vm, const CallArgs& call)
{
    TextFormatObject* self = asTextFormat(call.thisObject());
    ClipObject* root = asClip(vm.interpreter().rootClip());
    runtime::DisplayObject* stage = root ? root->displayObject() : nullptr;
    if (!self || !stage || call.count() == 0)
        return Value();
    const std::string text = vm.toStdString(call.arg(0));
    if (vm.throwing())
        return Value();
    double wrapWidth = 0;
    if (call.count() >= 2 && !call.arg(1).isNullish()) {
        wrapWidth = vm.toNumber(call.arg(1));
        if (!(wrapWidth > 0))
            wrapWidth = 0;
        wrapWidth = std::min(wrapWidth, kMaxExtentPixels);
    }
    // Measured in the movie's font of the name when it has one, the system's otherwise.
    runtime::PlayerContext& context = stage->context();
    swf::EditText field;
    field.useOutlines =
        movieFontNamed(stage->movie(), self->format.font.value_or(runtime::kDefaultFontName)) !=
        nullptr;
    runtime::TextFormat format = runtime::initialFormat(field, nullptr);
    format.apply(self->format);
    runtime::RichText content;
    content.assign(runtime::toUtf16(text), format);
    runtime::TextBox box;
    box.wordWrap = wrapWidth > 0;
    box.width = static_cast<std::int32_t>(
        (wrapWidth > 0 ? std::floor(wrapWidth) : kMaxExtentPixels) * 20 + 2 * runtime::kTextGutter);
    box.height = 2 * runtime::kTextGutter;
    runtime::FieldFonts fonts(stage->movie(), context.host(), field);
    const runtime::TextLayout layout = runtime::layoutText(content, box, fonts);

    const double width = layout.textWidth / 20.0;
    const double height = layout.textHeight / 20.0;
    const runtime::LaidLine* first = layout.lines.empty() ? nullptr : &layout.lines.front();
    Object* out = vm.makeObject();
    vm.setMember(out, "ascent", Value(first ? first->ascent / 20.0 : 0.0));
    vm.setMember(out, "descent", Value(first ? first->descent / 20.0 : 0.0));
    vm.setMember(out, "width", Value(width));
    vm.setMember(out, "height", Value(height));
    vm.setMember(out, "textFieldWidth", Value(wrapWidth > 0 ? std::floor(wrapWidth) : width + 4));
    vm.setMember(out, "textFieldHeight", Value(height + 4));
    return Value(out);
}

} // namespace

void installTextExtent(Vm& vm, Object* textFormatPrototype)
{
    vm.defineMethod(textFormatPrototype, "getTextExtent", getTextExtent);
}

} // namespace avm1
