// TextField.StyleSheet: named styles, each a plain object of CSS properties, kept in
// the sheet's _css object as scripts gave them and in its _styles object as the
// TextFormat that transform() made of them. Text fields with a sheet format their
// HTML from _styles (TextFieldStyles.cpp).
#include "Builtins.h"
#include "Loads.h"
#include "PropertyFlags.h"
#include "TextFormatObject.h"
#include "avm1/Vm.h"
#include "script/css/CssParser.h"

#include <cmath>

namespace avm1 {

namespace {

constexpr std::uint16_t kMethodFlags =
    PropertyFlag::DontEnum | PropertyFlag::DontDelete | PropertyFlag::ReadOnly;

// The sheet's store called `key` ("_css" or "_styles"), made with its twin on first use.
Object* store(Vm& vm, Object* self, const char* key)
{
    Object* found = vm.getMember(self, key).objectOrNull();
    if (found)
        return found;
    for (const char* name : {"_css", "_styles"})
        if (!vm.getMember(self, name).objectOrNull())
            self->defineValue(vm, name, Value(vm.makeObject()), PropertyFlag::DontEnum);
    return vm.getMember(self, key).objectOrNull();
}

// A new object with `source`'s enumerable properties, in their order.
Object* shallowCopy(Vm& vm, Object* source)
{
    Object* copy = vm.makeObject();
    const std::vector<String*> keys = vm.enumerableKeys(source);
    for (auto key = keys.rbegin(); key != keys.rend() && !vm.throwing(); ++key)
        vm.setMember(copy, *key, vm.getMember(source, *key));
    return copy;
}

// Stores `style` (an object, or null) under `name` and its transform beside it.
void storeStyle(Vm& vm, Object* self, String* name, Value style)
{
    Object* css = store(vm, self, "_css");
    Object* styles = store(vm, self, "_styles");
    if (!css || !styles)
        return;
    vm.setMember(css, name, style);
    const Value made =
        vm.callMethod(Value(self), vm.str("transform"), std::span<const Value>(&style, 1));
    if (vm.throwing())
        return;
    vm.setMember(styles, name, made);
}

Value callStyleSheet(Vm&, const CallArgs&)
{
    return Value();
}

Value setStyle(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self || call.count() == 0)
        return Value();
    String* name = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    Object* given = call.arg(1).objectOrNull();
    storeStyle(vm, self, name, given ? Value(shallowCopy(vm, given)) : Value::null());
    return Value();
}

Value getStyle(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    Object* css = self ? vm.getMember(self, "_css").objectOrNull() : nullptr;
    if (!css)
        return Value::null();
    String* name = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    Object* style = vm.getMember(css, name).objectOrNull();
    return style ? Value(shallowCopy(vm, style)) : Value::null();
}

Value getStyleNames(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    Object* css = self ? vm.getMember(self, "_css").objectOrNull() : nullptr;
    std::vector<Value> names;
    if (css) {
        const std::vector<String*> keys = vm.enumerableKeys(css);
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            names.push_back(Value(*key));
    }
    return Value(vm.makeArray(names));
}

Value clear(Vm& vm, const CallArgs& call)
{
    if (Object* self = call.thisObject())
        for (const char* name : {"_css", "_styles"})
            self->defineValue(vm, name, Value(vm.makeObject()), PropertyFlag::DontEnum);
    return Value();
}

// Adds the rules of the text; a malformed text changes nothing and gives false.
Value parseCSS(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value(false);
    const std::string text = vm.toStdString(call.arg(0));
    if (vm.throwing())
        return Value();
    const auto rules = script::css::parse(text);
    if (!rules)
        return Value(false);
    for (const script::css::Rule& rule : *rules) {
        for (const std::string& selector : rule.selectors) {
            Object* style = vm.makeObject();
            for (const auto& [name, value] : rule.properties)
                vm.setMember(style, vm.str(name), vm.strValue(value));
            storeStyle(vm, self, vm.str(selector), Value(style));
            if (vm.throwing())
                return Value();
        }
    }
    return Value(true);
}

// --- transform: CSS properties to a TextFormat ----------------------------------------

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

// The whole number a value starts with ("12px" is 12); nothing without digits.
std::optional<std::int32_t> leadingInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::int64_t value = 0;
    const std::size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 100'000'000)
        value = value * 10 + (text[i++] - '0');
    if (i == digits)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::optional<std::uint32_t> hexColor(std::string_view text)
{
    const std::string value = trimmed(text);
    if (value.size() < 2 || value[0] != '#')
        return std::nullopt;
    std::uint32_t color = 0;
    for (std::size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        color = ((color << 4) | digit) & 0xFFFFFF;
    }
    return color;
}

// The first family of a list, with the generic CSS families as the player names them.
std::string fontFamily(std::string_view text)
{
    std::string first = trimmed(text.substr(0, text.find(',')));
    if (first.size() >= 2 && (first.front() == '"' || first.front() == '\''))
        first = first.substr(1, first.size() - 2);
    if (first == "sans-serif")
        return "_sans";
    if (first == "serif")
        return "_serif";
    if (first == "mono" || first == "monospace")
        return "_typewriter";
    return first;
}

Value transform(Vm& vm, const CallArgs& call)
{
    Object* style = call.arg(0).objectOrNull();
    if (!style)
        return Value::null();
    runtime::TextFormat format;
    std::string display = "block";
    auto text = [&](const char* name) -> std::optional<std::string> {
        const Value value = vm.getMember(style, name);
        if (value.isUndefined() || vm.throwing())
            return std::nullopt;
        return vm.toStdString(value);
    };
    if (auto v = text("color"))
        if (auto color = hexColor(*v))
            format.color = *color;
    if (auto v = text("display")) {
        const std::string name = trimmed(*v);
        display = name == "inline" || name == "none" ? name : "block";
    }
    if (auto v = text("fontFamily"))
        format.font = fontFamily(*v);
    if (auto v = text("fontSize"))
        if (auto n = leadingInteger(*v))
            format.size = std::max(0, *n);
    if (auto v = text("fontStyle")) {
        const std::string name = trimmed(*v);
        if (name == "italic" || name == "normal")
            format.italic = name == "italic";
    }
    if (auto v = text("fontWeight")) {
        const std::string name = trimmed(*v);
        if (name == "bold" || name == "normal")
            format.bold = name == "bold";
    }
    if (auto v = text("kerning")) {
        const std::string name = trimmed(*v);
        if (name == "true" || name == "false")
            format.kerning = name == "true";
        else if (auto n = leadingInteger(name))
            format.kerning = *n != 0;
    }
    if (auto v = text("leading"))
        if (auto n = leadingInteger(*v))
            format.leading = *n;
    if (auto v = text("letterSpacing"))
        if (auto n = leadingInteger(*v))
            format.letterSpacing = *n;
    if (auto v = text("marginLeft"))
        if (auto n = leadingInteger(*v))
            format.leftMargin = std::max(0, *n);
    if (auto v = text("marginRight"))
        if (auto n = leadingInteger(*v))
            format.rightMargin = std::max(0, *n);
    if (auto v = text("textAlign")) {
        const std::string name = trimmed(*v);
        if (name == "left")
            format.align = swf::TextAlign::Left;
        else if (name == "right")
            format.align = swf::TextAlign::Right;
        else if (name == "center")
            format.align = swf::TextAlign::Center;
        else if (name == "justify")
            format.align = swf::TextAlign::Justify;
    }
    if (auto v = text("textDecoration")) {
        const std::string name = trimmed(*v);
        if (name == "underline" || name == "none")
            format.underline = name == "underline";
    }
    if (auto v = text("textIndent"))
        if (auto n = leadingInteger(*v))
            format.indent = *n;
    if (vm.throwing())
        return Value();
    Object* made = makeTextFormat(vm, format);
    if (TextFormatObject* object = asTextFormat(made))
        object->display = display;
    return Value(made);
}

// What a load delivers: the text is parsed, then onLoad tells whether it held rules.
Value onData(Vm& vm, const CallArgs& call)
{
    const Value self = call.thisValue;
    const Value source = call.arg(0);
    Value succeeded(false);
    if (!source.isUndefined()) {
        succeeded = vm.callMethod(self, vm.str("parseCSS"), std::span<const Value>(&source, 1));
        if (vm.throwing())
            return Value();
        vm.setMember(self, vm.str("loaded"), Value(true));
    }
    succeeded = Value(vm.toBoolean(succeeded));
    vm.callMethod(self, vm.str("onLoad"), std::span<const Value>(&succeeded, 1));
    return Value();
}

} // namespace

void installStyleSheet(Vm& vm)
{
    Object* textField = vm.getMember(vm.global(), "TextField").objectOrNull();
    if (!textField)
        return;
    Object* proto = vm.makeObject();
    NativeFunction* ctor = vm.makeNative(callStyleSheet);
    ctor->defineValue(vm, "prototype", Value(proto),
                      PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    proto->defineValue(vm, "constructor", Value(ctor), PropertyFlag::DontEnum);
    // It came with the SWF 7 player: older movies do not see it.
    textField->defineValue(vm, "StyleSheet", Value(ctor),
                           PropertyFlag::DontEnum | VersionFlag::SinceSwf7);
    vm.defineMethods(proto,
                     {{"getStyle", getStyle},
                      {"clear", clear},
                      {"getStyleNames", getStyleNames},
                      {"load", loadIntoThis},
                      {"parseCSS", parseCSS},
                      {"parse", parseCSS},
                      {"setStyle", setStyle},
                      {"transform", transform}},
                     kMethodFlags);
    vm.defineMethods(proto, {{"onLoad", ignoreLoad}, {"onData", onData}});
}

} // namespace avm1
