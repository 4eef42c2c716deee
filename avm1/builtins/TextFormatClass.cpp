// TextFormat: a constructor taking the common attributes in order, and one getter and
// setter pair per attribute on its prototype. Setters convert as the reference does:
// whole numbers round half to even from SWF 8 (what does not fit an int is its lowest
// value) and are truncated before, margins are never negative, colours are 32-bit,
// null and undefined unset.
#include "Builtins.h"
#include "NativeHelpers.h"
#include "TextFormatObject.h"
#include "avm1/Vm.h"
#include "runtime/RichText.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace avm1 {

namespace {

#define AVM1_TEXT_FORMAT_LIST(X)                                                                   \
    X(Font, "font")                                                                                \
    X(Size, "size")                                                                                \
    X(Color, "color")                                                                              \
    X(Url, "url")                                                                                  \
    X(Target, "target")                                                                            \
    X(Bold, "bold")                                                                                \
    X(Italic, "italic")                                                                            \
    X(Underline, "underline")                                                                      \
    X(Align, "align")                                                                              \
    X(LeftMargin, "leftMargin")                                                                    \
    X(RightMargin, "rightMargin")                                                                  \
    X(Indent, "indent")                                                                            \
    X(Leading, "leading")                                                                          \
    X(BlockIndent, "blockIndent")                                                                  \
    X(TabStops, "tabStops")                                                                        \
    X(Bullet, "bullet")                                                                            \
    X(Kerning, "kerning")                                                                          \
    X(LetterSpacing, "letterSpacing")                                                              \
    X(Display, "display")

enum class Attr : std::uint8_t {
#define AVM1_TEXT_FORMAT_ENUM(name, text) name,
    AVM1_TEXT_FORMAT_LIST(AVM1_TEXT_FORMAT_ENUM)
#undef AVM1_TEXT_FORMAT_ENUM
};

constexpr const char* kAttrNames[] = {
#define AVM1_TEXT_FORMAT_NAME(name, text) text,
    AVM1_TEXT_FORMAT_LIST(AVM1_TEXT_FORMAT_NAME)
#undef AVM1_TEXT_FORMAT_NAME
};

// Round half to even, as the reference's conversion does; NaN, infinities and what
// does not fit give the lowest int.
std::int32_t roundedInt(double n)
{
    if (!std::isfinite(n))
        return std::numeric_limits<std::int32_t>::min();
    const double r = std::nearbyint(n);
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

constexpr std::size_t kMaxFontName = 64;

std::int32_t margin(double n)
{
    return n >= 0 ? roundedInt(n) : 0;
}

const char* alignName(swf::TextAlign align)
{
    switch (align) {
    case swf::TextAlign::Right:
        return "right";
    case swf::TextAlign::Center:
        return "center";
    case swf::TextAlign::Justify:
        return "justify";
    default:
        return "left";
    }
}

std::optional<swf::TextAlign> alignNamed(std::string_view name)
{
    for (swf::TextAlign a : {swf::TextAlign::Left, swf::TextAlign::Center, swf::TextAlign::Right,
                             swf::TextAlign::Justify})
        if (sameKey(name, alignName(a), CaseRule::Insensitive))
            return a;
    return std::nullopt;
}

Attr attrOf(const CallArgs& call)
{
    auto* self = static_cast<NativeFunction*>(call.callee);
    return static_cast<Attr>(static_cast<int>(self->data().asNumber()));
}

template <typename T> Value numberOrNull(const std::optional<T>& value)
{
    return value ? Value(static_cast<double>(*value)) : Value::null();
}

Value boolOrNull(const std::optional<bool>& value)
{
    return value ? Value(*value) : Value::null();
}

Value stringOrNull(Vm& vm, const std::optional<std::string>& value)
{
    return value ? vm.strValue(*value) : Value::null();
}

Value readAttr(Vm& vm, const TextFormatObject& object, Attr attr)
{
    const runtime::TextFormat& f = object.format;
    switch (attr) {
    case Attr::Font:
        return stringOrNull(vm, f.font);
    case Attr::Size:
        return numberOrNull(f.size);
    case Attr::Color:
        return numberOrNull(f.color);
    case Attr::Url:
        return stringOrNull(vm, f.url);
    case Attr::Target:
        return stringOrNull(vm, f.target);
    case Attr::Bold:
        return boolOrNull(f.bold);
    case Attr::Italic:
        return boolOrNull(f.italic);
    case Attr::Underline:
        return boolOrNull(f.underline);
    case Attr::Align:
        return f.align ? vm.strValue(alignName(*f.align)) : Value::null();
    case Attr::LeftMargin:
        return numberOrNull(f.leftMargin);
    case Attr::RightMargin:
        return numberOrNull(f.rightMargin);
    case Attr::Indent:
        return numberOrNull(f.indent);
    case Attr::Leading:
        return numberOrNull(f.leading);
    case Attr::BlockIndent:
        return numberOrNull(f.blockIndent);
    case Attr::TabStops: {
        if (!f.tabStops)
            return Value::null();
        std::vector<Value> stops;
        for (std::int32_t stop : *f.tabStops)
            stops.push_back(Value(static_cast<double>(stop)));
        return Value(vm.makeArray(stops));
    }
    case Attr::Bullet:
        return boolOrNull(f.bullet);
    case Attr::Kerning:
        return boolOrNull(f.kerning);
    case Attr::LetterSpacing:
        return numberOrNull(f.letterSpacing);
    case Attr::Display:
        return vm.strValue(object.display);
    }
    return Value();
}

// `clampMargins` is the setters' rule; the constructor keeps negative margins.
void writeAttr(Vm& vm, TextFormatObject& object, Attr attr, Value value, bool clampMargins)
{
    runtime::TextFormat& f = object.format;
    const bool unset = value.isNullish();
    auto text = [&](std::optional<std::string>& into) {
        if (unset) {
            into.reset();
            return;
        }
        std::string converted = vm.toStdString(value);
        if (!vm.throwing())
            into = std::move(converted);
    };
    // Margins are never negative, nor before SWF 8 are indents and leading.
    auto whole = [&](std::optional<std::int32_t>& into, bool isMargin) {
        if (unset) {
            into.reset();
            return;
        }
        double n = vm.toNumber(value);
        if (vm.throwing())
            return;
        // Before SWF 8 whole numbers are truncated rather than rounded.
        if (vm.swfVersion() < 8)
            n = static_cast<double>(vm.toInt32(Value(n)));
        into = isMargin && clampMargins ? margin(n) : roundedInt(n);
    };
    const bool spacingMargin = vm.swfVersion() < 8;
    auto flag = [&](std::optional<bool>& into) {
        if (unset)
            into.reset();
        else
            into = vm.toBoolean(value);
    };
    switch (attr) {
    case Attr::Font:
        text(f.font);
        // Font names are at most 64 characters long.
        if (f.font)
            f.font = runtime::toUtf8(runtime::toUtf16(*f.font).substr(0, kMaxFontName));
        return;
    case Attr::Size:
        return whole(f.size, false);
    case Attr::Color:
        if (unset)
            f.color.reset();
        else if (const double n = vm.toNumber(value); !vm.throwing())
            f.color = std::isfinite(n) ? vm.toUint32(Value(n)) : 0u;
        return;
    case Attr::Url:
        return text(f.url);
    case Attr::Target:
        return text(f.target);
    case Attr::Bold:
        return flag(f.bold);
    case Attr::Italic:
        return flag(f.italic);
    case Attr::Underline:
        return flag(f.underline);
    case Attr::Align: {
        if (unset) {
            // Before SWF 8 an alignment is never unset once given.
            if (vm.swfVersion() >= 8)
                f.align.reset();
            return;
        }
        const std::string name = vm.toStdString(value);
        if (auto align = alignNamed(name))
            f.align = *align;
        return;
    }
    case Attr::LeftMargin:
        return whole(f.leftMargin, true);
    case Attr::RightMargin:
        return whole(f.rightMargin, true);
    case Attr::Indent:
        return whole(f.indent, spacingMargin);
    case Attr::Leading:
        return whole(f.leading, spacingMargin);
    case Attr::BlockIndent:
        return whole(f.blockIndent, spacingMargin);
    case Attr::TabStops: {
        Object* list = value.objectOrNull();
        if (!list) {
            f.tabStops.reset();
            return;
        }
        std::vector<std::int32_t> stops;
        for (const Value& element : elementsOf(vm, list, limits::kMaxTabStops)) {
            const double n = vm.toNumber(element);
            if (vm.throwing())
                return;
            stops.push_back(roundedInt(n));
        }
        f.tabStops = std::move(stops);
        return;
    }
    case Attr::Bullet:
        return flag(f.bullet);
    case Attr::Kerning:
        return flag(f.kerning);
    case Attr::LetterSpacing:
        if (unset)
            f.letterSpacing.reset();
        else if (const double n = vm.toNumber(value); !vm.throwing())
            f.letterSpacing = n;
        return;
    case Attr::Display: {
        // Anything but the exact names is "block".
        const std::string name = unset ? "block" : vm.toStdString(value);
        object.display = name == "inline" || name == "none" ? name : "block";
        return;
    }
    }
}

Value getAttr(Vm& vm, const CallArgs& call)
{
    TextFormatObject* self = asTextFormat(call.thisObject());
    return self ? readAttr(vm, *self, attrOf(call)) : Value();
}

Value setAttr(Vm& vm, const CallArgs& call)
{
    if (TextFormatObject* self = asTextFormat(call.thisObject()))
        writeAttr(vm, *self, attrOf(call), call.arg(0), true);
    return Value();
}

Object* textFormatPrototype(Vm& vm)
{
    const Value ctor = vm.getMember(vm.global(), "TextFormat");
    Object* fn = ctor.objectOrNull();
    Object* proto = fn ? vm.getMember(fn, vm.names().prototype).objectOrNull() : nullptr;
    return proto ? proto : vm.builtins().objectProto;
}

// new TextFormat(font, size, color, bold, italic, underline, url, target, align,
// leftMargin, rightMargin, indent, leading): undefined arguments leave theirs null.
Value constructTextFormat(Vm& vm, const CallArgs& call)
{
    auto* object =
        vm.heap().make<TextFormatObject>(instancePrototype(vm, call, textFormatPrototype(vm)));
    markConstructed(vm, object, call.callee);
    static constexpr Attr kOrder[] = {
        Attr::Font,        Attr::Size,   Attr::Color,  Attr::Bold,  Attr::Italic,
        Attr::Underline,   Attr::Url,    Attr::Target, Attr::Align, Attr::LeftMargin,
        Attr::RightMargin, Attr::Indent, Attr::Leading};
    for (std::size_t i = 0; i < std::size(kOrder) && i < call.count(); ++i) {
        if (call.arg(i).isUndefined())
            continue;
        writeAttr(vm, *object, kOrder[i], call.arg(i), false);
        if (vm.throwing())
            break;
    }
    return Value(object);
}

Value callTextFormat(Vm& vm, const CallArgs& call)
{
    return constructTextFormat(vm, call);
}

} // namespace

TextFormatObject* asTextFormat(Object* object)
{
    return dynamic_cast<TextFormatObject*>(object);
}

Object* makeTextFormat(Vm& vm, const runtime::TextFormat& format)
{
    auto* object = vm.heap().make<TextFormatObject>(textFormatPrototype(vm));
    object->format = format;
    return object;
}

void installTextFormat(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("TextFormat", proto, callTextFormat, constructTextFormat);
    for (std::size_t i = 0; i < std::size(kAttrNames); ++i) {
        String* key = vm.str(kAttrNames[i]);
        Property& p = proto->properties().append(key);
        NativeFunction* getter = vm.makeNative(getAttr);
        NativeFunction* setter = vm.makeNative(setAttr);
        getter->setData(Value(static_cast<double>(i)));
        setter->setData(Value(static_cast<double>(i)));
        p.getter = getter;
        p.setter = setter;
        p.flags = PropertyFlag::DontDelete;
    }
    installTextExtent(vm, proto);
}

} // namespace avm1
