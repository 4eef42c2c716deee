// TextSnapshot: the static text of a clip (its DefineText children, in depth order) as
// it was when the snapshot was made, as characters scripts can count, read and search.
// Only a snapshot made for one movie clip has text; the methods of any other answer
// undefined. Each method takes exactly
// the arguments the reference's does and answers undefined to any other number of
// them. Scripts select characters with setSelected; the selection belongs to the
// snapshot (nothing here draws it, and the user selects no static text).
#include "Builtins.h"
#include "MovieClipParts.h"
#include "avm1/ClipObject.h"
#include "avm1/Limits.h"
#include "avm1/StringUnits.h"
#include "avm1/Vm.h"
#include "runtime/ContainerObject.h"
#include "runtime/PlayerContext.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace avm1 {

namespace {

// The text when the snapshot was made, one piece for each static text.
class SnapshotState final : public Cell {
public:
    std::vector<std::u16string> pieces;
    std::u16string text;
    // One flag per character of text.
    std::vector<bool> selected;
    std::uint32_t selectColor = 0xFFFF00;
};

// The static texts placed in `object`, in depth order, each as its characters.
std::vector<std::u16string> staticTexts(const runtime::DisplayObject& object)
{
    std::vector<std::u16string> pieces;
    std::size_t total = 0;
    if (object.kind() != runtime::ObjectKind::Sprite)
        return pieces;
    const auto& movie = object.context().movie();
    const auto& container = static_cast<const runtime::ContainerObject&>(object);
    for (const auto& [depth, child] : container.children()) {
        if (child->kind() != runtime::ObjectKind::StaticText || !child->character())
            continue;
        const auto* textData = std::get_if<swf::StaticText>(&child->character()->data);
        if (!textData)
            continue;
        std::u16string piece;
        for (const swf::TextRun& run : textData->runs) {
            const swf::Character* fontCharacter = movie.character(run.fontId);
            const auto* font =
                fontCharacter ? std::get_if<swf::Font>(&fontCharacter->data) : nullptr;
            for (const swf::TextGlyph& glyph : run.glyphs) {
                if (font && glyph.index < font->glyphs.size())
                    piece += static_cast<char16_t>(font->glyphs[glyph.index].code);
            }
        }
        if (total + piece.size() > limits::kMaxSnapshotCharacters)
            break;
        total += piece.size();
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

SnapshotState* stateOf(const CallArgs& call)
{
    Object* self = call.thisObject();
    return self ? dynamic_cast<SnapshotState*>(self->nativeState()) : nullptr;
}

Value construct(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    ClipObject* clip = asClip(call.arg(0).objectOrNull());
    ClipObject* live = clip ? clip->live() : nullptr;
    if (!self || call.count() != 1 || !live || live->objectClass() != ObjectClass::MovieClip ||
        !live->displayObject())
        return Value();
    auto* state = vm.heap().make<SnapshotState>();
    state->pieces = staticTexts(*live->displayObject());
    for (const std::u16string& piece : state->pieces)
        state->text += piece;
    state->selected.assign(state->text.size(), false);
    self->setNativeState(state);
    return Value();
}

// An index argument, clamped to the characters there are.
std::size_t indexArgument(Vm& vm, Value value, std::size_t size)
{
    const double n = vm.toInteger(value);
    if (!(n > 0))
        return 0;
    return n >= static_cast<double>(size) ? size : static_cast<std::size_t>(n);
}

Value getCount(Vm&, const CallArgs& call)
{
    SnapshotState* state = stateOf(call);
    if (!state || call.count() != 0)
        return Value();
    return Value(static_cast<double>(state->text.size()));
}

// getText(start, end, includeLineEndings): from start up to end, at least the
// character at start; with line endings, a new line between two static texts.
Value getText(Vm& vm, const CallArgs& call)
{
    SnapshotState* state = stateOf(call);
    if (!state || call.count() < 2 || call.count() > 3)
        return Value();
    const std::u16string& text = state->text;
    if (text.empty())
        return vm.strValue("");
    const std::size_t start =
        std::min(indexArgument(vm, call.arg(0), text.size()), text.size() - 1);
    const std::size_t end = std::max(indexArgument(vm, call.arg(1), text.size()), start + 1);
    const bool lineEndings = vm.toBoolean(call.arg(2));
    std::u16string out;
    std::size_t pieceStart = 0;
    for (const std::u16string& piece : state->pieces) {
        const std::size_t pieceEnd = pieceStart + piece.size();
        const std::size_t from = std::max(start, pieceStart);
        const std::size_t to = std::min(end, pieceEnd);
        if (from < to) {
            if (lineEndings && !out.empty())
                out += u'\n';
            out.append(text, from, to - from);
        }
        pieceStart = pieceEnd;
    }
    return vm.strValue(fromUtf16(out));
}

std::u16string foldedText(std::u16string text)
{
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

// The first place from `start` where `wanted` occurs in `text`, in time linear in both
// (Knuth, Morris and Pratt): a script may search long text for long strings.
std::size_t indexOf(const std::u16string& text, const std::u16string& wanted, std::size_t start)
{
    if (wanted.empty() || wanted.size() > text.size())
        return std::u16string::npos;
    std::vector<std::size_t> border(wanted.size(), 0);
    for (std::size_t i = 1, k = 0; i < wanted.size(); ++i) {
        while (k > 0 && wanted[i] != wanted[k])
            k = border[k - 1];
        if (wanted[i] == wanted[k])
            ++k;
        border[i] = k;
    }
    for (std::size_t i = start, k = 0; i < text.size(); ++i) {
        while (k > 0 && text[i] != wanted[k])
            k = border[k - 1];
        if (text[i] == wanted[k])
            ++k;
        if (k == wanted.size())
            return i + 1 - k;
    }
    return std::u16string::npos;
}

// findText(start, text, caseSensitive): the index of the first match from start, or -1
// (also for a start before the text).
Value findText(Vm& vm, const CallArgs& call)
{
    SnapshotState* state = stateOf(call);
    if (!state || call.count() != 3)
        return Value();
    const std::u16string& text = state->text;
    const double from = vm.toInteger(call.arg(0));
    const std::u16string wanted = toUtf16(vm.toString(call.arg(1))->view());
    const bool exact = vm.toBoolean(call.arg(2));
    if (vm.throwing() || from < 0 || wanted.empty() || wanted.size() > text.size())
        return Value(-1);
    const auto start =
        static_cast<std::size_t>(std::min<double>(from, static_cast<double>(text.size())));
    const std::size_t found =
        exact ? indexOf(text, wanted, start) : indexOf(foldedText(text), foldedText(wanted), start);
    return Value(found == std::u16string::npos ? -1.0 : static_cast<double>(found));
}

// Characters [start, end) as the selection methods take them: indexes clamped to the
// text, and at least the character at start.
std::pair<std::size_t, std::size_t> selectionRange(Vm& vm, const CallArgs& call, std::size_t size)
{
    const std::size_t start = indexArgument(vm, call.arg(0), size);
    const std::size_t end = std::max(indexArgument(vm, call.arg(1), size), start + 1);
    return {start, std::min(end, size)};
}

// setSelected(start, end, select): selects or deselects the characters.
Value setSelected(Vm& vm, const CallArgs& call)
{
    SnapshotState* state = stateOf(call);
    if (!state || call.count() != 3)
        return Value();
    const auto [start, end] = selectionRange(vm, call, state->text.size());
    const bool select = vm.toBoolean(call.arg(2));
    for (std::size_t i = start; i < end; ++i)
        state->selected[i] = select;
    return Value();
}

// getSelected(start, end): whether any of the characters is selected.
Value getSelected(Vm& vm, const CallArgs& call)
{
    SnapshotState* state = stateOf(call);
    if (!state || call.count() != 2)
        return Value();
    const auto [start, end] = selectionRange(vm, call, state->text.size());
    for (std::size_t i = start; i < end; ++i)
        if (state->selected[i])
            return Value(true);
    return Value(false);
}

// getSelectedText(includeLineEndings): the selected characters in order; with line
// endings, a new line between the selected parts of two static texts.
Value getSelectedText(Vm& vm, const CallArgs& call)
{
    SnapshotState* state = stateOf(call);
    if (!state || call.count() > 1)
        return Value();
    const bool lineEndings = vm.toBoolean(call.arg(0));
    std::u16string out;
    std::size_t at = 0;
    for (const std::u16string& piece : state->pieces) {
        bool pieceStarted = false;
        for (std::size_t k = 0; k < piece.size(); ++k, ++at) {
            if (!state->selected[at])
                continue;
            if (lineEndings && !pieceStarted && !out.empty())
                out += u'\n';
            pieceStarted = true;
            out += piece[k];
        }
    }
    return vm.strValue(fromUtf16(out));
}

// setSelectColor(color): the colour selected characters would be drawn in.
Value setSelectColor(Vm& vm, const CallArgs& call)
{
    SnapshotState* state = stateOf(call);
    if (!state || call.count() != 1)
        return Value();
    state->selectColor = static_cast<std::uint32_t>(vm.toInt32(call.arg(0))) & 0xFFFFFF;
    return Value();
}

// No character is near any point: static text is not laid out for hit tests here.
Value hitTestTextNearPos(Vm&, const CallArgs& call)
{
    if (!stateOf(call) || call.count() < 2 || call.count() > 3)
        return Value();
    return Value(-1);
}

Value doesNothing(Vm&, const CallArgs&)
{
    return Value();
}

// MovieClip.getTextSnapshot(): new TextSnapshot(this), with the class scripts see now.
Value getTextSnapshot(Vm& vm, const CallArgs& call)
{
    ClipObject* clip = thisClip(call);
    if (!clip)
        return Value();
    const Value arg(clip);
    return vm.construct(vm.getMember(vm.global(), vm.str("TextSnapshot")),
                        std::span<const Value>(&arg, 1));
}

} // namespace

void installTextSnapshot(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("TextSnapshot", proto, construct);
    // The reference lists these methods in for..in.
    vm.defineMethods(proto,
                     {{"getCount", getCount},
                      {"setSelected", setSelected},
                      {"getSelected", getSelected},
                      {"getText", getText},
                      {"getSelectedText", getSelectedText},
                      {"hitTestTextNearPos", hitTestTextNearPos},
                      {"findText", findText},
                      {"setSelectColor", setSelectColor},
                      {"getTextRunInfo", doesNothing}},
                     0);
    if (Object* clipProto = vm.builtins().movieClipProto)
        vm.defineMethod(clipProto, "getTextSnapshot", getTextSnapshot);
}

} // namespace avm1
