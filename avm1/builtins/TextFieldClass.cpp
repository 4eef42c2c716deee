// TextField: the script side of text fields. Its prototype holds one getter and
// setter pair per field property, which answer only for real fields (undefined, and
// no effect, on anything else), and the methods on text and formats.
#include "ArrayObject.h"
#include "Builtins.h"
#include "DeferredEvents.h"
#include "MovieClipParts.h"
#include "PropertyFlags.h"
#include "TextFields.h"
#include "TextFormatObject.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/EditTextObject.h"

#include <array>
#include <cmath>
#include <optional>

namespace avm1 {

namespace {

// The properties, in the order for..in lists them on the prototype.
#define AVM1_TEXT_FIELD_LIST(X)                                                                    \
    X(StyleSheet, "styleSheet")                                                                    \
    X(MouseWheelEnabled, "mouseWheelEnabled")                                                      \
    X(CondenseWhite, "condenseWhite")                                                              \
    X(Restrict, "restrict")                                                                        \
    X(TextHeight, "textHeight")                                                                    \
    X(TextWidth, "textWidth")                                                                      \
    X(BottomScroll, "bottomScroll")                                                                \
    X(Length, "length")                                                                            \
    X(Selectable, "selectable")                                                                    \
    X(Multiline, "multiline")                                                                      \
    X(Password, "password")                                                                        \
    X(WordWrap, "wordWrap")                                                                        \
    X(Background, "background")                                                                    \
    X(Border, "border")                                                                            \
    X(Html, "html")                                                                                \
    X(EmbedFonts, "embedFonts")                                                                    \
    X(MaxChars, "maxChars")                                                                        \
    X(MaxHScroll, "maxhscroll")                                                                    \
    X(HScroll, "hscroll")                                                                          \
    X(Variable, "variable")                                                                        \
    X(HtmlText, "htmlText")                                                                        \
    X(Type, "type")                                                                                \
    X(Text, "text")                                                                                \
    X(AutoSize, "autoSize")                                                                        \
    X(TabIndex, "tabIndex")                                                                        \
    X(TextColor, "textColor")                                                                      \
    X(BackgroundColor, "backgroundColor")                                                          \
    X(BorderColor, "borderColor")                                                                  \
    X(MaxScroll, "maxscroll")                                                                      \
    X(Scroll, "scroll")                                                                            \
    X(Filters, "filters")                                                                          \
    X(Sharpness, "sharpness")                                                                      \
    X(Thickness, "thickness")                                                                      \
    X(AntiAliasType, "antiAliasType")                                                              \
    X(GridFitType, "gridFitType")

enum class Prop : std::uint8_t {
#define AVM1_TEXT_FIELD_ENUM(name, text) name,
    AVM1_TEXT_FIELD_LIST(AVM1_TEXT_FIELD_ENUM)
#undef AVM1_TEXT_FIELD_ENUM
        Count
};

constexpr const char* kPropNames[] = {
#define AVM1_TEXT_FIELD_NAME(name, text) text,
    AVM1_TEXT_FIELD_LIST(AVM1_TEXT_FIELD_NAME)
#undef AVM1_TEXT_FIELD_NAME
};

// The SWF 8 properties: before SWF 8 they are plain slots a script may overwrite.
bool sinceSwf8(Prop prop)
{
    return prop >= Prop::Filters;
}

runtime::EditTextObject* fieldOf(Object* object)
{
    ClipObject* clip = asClip(object);
    ClipObject* self = clip ? clip->live() : nullptr;
    runtime::DisplayObject* shown = self ? self->displayObject() : nullptr;
    if (!shown || shown->kind() != runtime::ObjectKind::EditText)
        return nullptr;
    return static_cast<runtime::EditTextObject*>(shown);
}

runtime::EditTextObject* thisField(const CallArgs& call)
{
    return fieldOf(call.thisObject());
}

Prop propOf(const CallArgs& call)
{
    auto* self = static_cast<NativeFunction*>(call.callee);
    return static_cast<Prop>(static_cast<int>(self->data().asNumber()));
}

Value nullOr(Vm& vm, const std::optional<std::string>& text)
{
    return text ? vm.strValue(*text) : Value::null();
}

Value readProp(Vm& vm, runtime::EditTextObject& field, Prop prop)
{
    const swf::EditText& look = field.definition();
    const auto& extras = field.extras();
    switch (prop) {
    case Prop::StyleSheet:
        return Value();
    case Prop::MouseWheelEnabled:
        return Value(extras.mouseWheelEnabled);
    case Prop::CondenseWhite:
        return Value(extras.condenseWhite);
    case Prop::Restrict:
        return nullOr(vm, extras.restrict);
    case Prop::TextHeight:
        return Value(static_cast<double>(field.layout()->textHeight / 20));
    case Prop::TextWidth:
        return Value(static_cast<double>(field.layout()->textWidth / 20));
    case Prop::MaxHScroll:
        return Value(static_cast<double>(field.layout()->maxHScroll()));
    case Prop::BottomScroll:
        return Value(static_cast<double>(field.layout()->bottomScroll(field.scroll())));
    case Prop::MaxScroll:
        return Value(static_cast<double>(field.layout()->maxScroll()));
    case Prop::Length:
        return Value(static_cast<double>(field.content().length()));
    case Prop::Selectable:
        return Value(!look.noSelect);
    case Prop::Multiline:
        return Value(look.multiline);
    case Prop::Password:
        return Value(look.password);
    case Prop::WordWrap:
        return Value(look.wordWrap);
    case Prop::Background:
        return Value(extras.background);
    case Prop::Border:
        return Value(look.border);
    case Prop::Html:
        return Value(field.isHtml());
    case Prop::EmbedFonts:
        return Value(look.useOutlines);
    case Prop::MaxChars:
        return look.maxLength && *look.maxLength ? Value(static_cast<double>(*look.maxLength))
                                                 : Value::null();
    case Prop::HScroll:
        return Value(static_cast<double>(field.hscroll()));
    case Prop::Variable:
        return look.variableName.empty() ? Value::null() : vm.strValue(look.variableName);
    case Prop::HtmlText:
        return vm.strValue(field.htmlText());
    case Prop::Type:
        return vm.strValue(look.readOnly ? "dynamic" : "input");
    case Prop::Text:
        return vm.strValue(field.plainText());
    case Prop::AutoSize:
        return vm.strValue(extras.autoSize);
    case Prop::TabIndex:
        // Kept as a 32-bit index, read back without its sign.
        return extras.tabIndex
                   ? Value(static_cast<double>(static_cast<std::uint32_t>(*extras.tabIndex)))
                   : Value();
    case Prop::TextColor:
        return Value(static_cast<double>(field.textColor()));
    case Prop::BackgroundColor:
        return Value(static_cast<double>(extras.backgroundColor));
    case Prop::BorderColor:
        return Value(static_cast<double>(extras.borderColor));
    case Prop::Scroll:
        return Value(static_cast<double>(field.scroll()));
    case Prop::Filters:
        return Value(vm.makeArray());
    case Prop::Sharpness:
        return Value(extras.sharpness);
    case Prop::Thickness:
        return Value(extras.thickness);
    case Prop::AntiAliasType:
        return vm.strValue(extras.antiAliasType);
    case Prop::GridFitType:
        return vm.strValue(extras.gridFitType);
    case Prop::Count:
        break;
    }
    return Value();
}

std::uint32_t colorOf(Vm& vm, Value value)
{
    return static_cast<std::uint32_t>(vm.toInt32(value)) & 0xFFFFFF;
}

void writeProp(Vm& vm, ClipObject& clip, runtime::EditTextObject& field, Prop prop, Value value)
{
    auto& extras = field.extras();
    switch (prop) {
    case Prop::MouseWheelEnabled:
        extras.mouseWheelEnabled = vm.toBoolean(value);
        return;
    case Prop::CondenseWhite:
        extras.condenseWhite = vm.toBoolean(value);
        return;
    case Prop::Restrict: {
        // An empty list restricts nothing, as none does.
        std::string list = value.isNullish() ? std::string() : vm.toStdString(value);
        if (list.empty())
            extras.restrict.reset();
        else
            extras.restrict = std::move(list);
        return;
    }
    case Prop::Selectable:
        field.setSelectable(vm.toBoolean(value));
        return;
    case Prop::Multiline:
        field.setMultiline(vm.toBoolean(value));
        return;
    case Prop::Password:
        field.setPassword(vm.toBoolean(value));
        return;
    case Prop::WordWrap:
        field.setWordWrap(vm.toBoolean(value));
        return;
    case Prop::Background:
        extras.background = vm.toBoolean(value);
        field.markContentChanged();
        return;
    case Prop::Border:
        field.setBorder(vm.toBoolean(value));
        return;
    case Prop::Html:
        field.setHtml(vm.toBoolean(value));
        return;
    case Prop::EmbedFonts:
        field.setEmbedFonts(vm.toBoolean(value));
        return;
    case Prop::MaxChars: {
        const std::int32_t n = value.isNullish() ? 0 : vm.toInt32(value);
        if (n > 0)
            field.setMaxChars(static_cast<std::uint16_t>(std::min(n, 65535)));
        else
            field.setMaxChars(std::nullopt);
        return;
    }
    case Prop::HScroll:
        field.setHScroll(vm.toInt32(value));
        return;
    case Prop::Variable: {
        field.setVariableName(value.isNullish() ? std::string() : vm.toStdString(value));
        if (vm.throwing())
            return;
        field.restoreInitialText();
        clip.registry().textBindings().bind(vm, clip.registry(), field);
        return;
    }
    case Prop::StyleSheet:
        setStyleSheet(vm, clip, field, value);
        return;
    case Prop::HtmlText: {
        const std::string text = vm.toStdString(value);
        if (vm.throwing())
            return;
        refreshStyles(vm, clip, field);
        field.setHtmlText(text);
        clip.registry().textBindings().textAssigned(vm, clip.registry(), field);
        return;
    }
    case Prop::Type: {
        const std::string type = vm.toStdString(value);
        if (sameKey(type, "input", CaseRule::Insensitive))
            field.setReadOnly(false);
        else if (sameKey(type, "dynamic", CaseRule::Insensitive))
            field.setReadOnly(true);
        return;
    }
    case Prop::Text: {
        const std::string text = vm.toStdString(value);
        if (vm.throwing())
            return;
        refreshStyles(vm, clip, field);
        field.setText(text);
        clip.registry().textBindings().textAssigned(vm, clip.registry(), field);
        return;
    }
    case Prop::AutoSize: {
        std::string mode = "none";
        if (value.isBoolean()) {
            mode = value.asBoolean() ? "left" : "none";
        } else {
            const std::string name = vm.toStdString(value);
            for (const char* known : {"left", "center", "right"})
                if (sameKey(name, known, CaseRule::Insensitive))
                    mode = known;
        }
        extras.autoSize = mode;
        field.setAutoSize(mode != "none");
        return;
    }
    case Prop::TabIndex:
        if (value.isNullish())
            extras.tabIndex.reset();
        else
            extras.tabIndex = vm.toInt32(value);
        return;
    case Prop::TextColor:
        field.setTextColor(colorOf(vm, value));
        return;
    case Prop::BackgroundColor:
        extras.backgroundColor = colorOf(vm, value);
        field.markContentChanged();
        return;
    case Prop::BorderColor:
        extras.borderColor = colorOf(vm, value);
        field.markContentChanged();
        return;
    case Prop::Scroll: {
        // Lines count from 1: the line index wraps as a 32-bit number would.
        const auto index =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(vm.toInt32(value)) - 1u);
        field.setScroll(index < 0 ? 1 : (index >= 0x7FFFFFFF ? index : index + 1));
        return;
    }
    case Prop::Sharpness:
        extras.sharpness = vm.toNumber(value);
        return;
    case Prop::Thickness:
        extras.thickness = vm.toNumber(value);
        return;
    case Prop::AntiAliasType: {
        const std::string name = vm.toStdString(value);
        if (name == "normal" || name == "advanced")
            extras.antiAliasType = name;
        return;
    }
    case Prop::GridFitType: {
        const std::string name = vm.toStdString(value);
        if (name == "none" || name == "pixel" || name == "subpixel")
            extras.gridFitType = name;
        return;
    }
    default:
        return; // read-only
    }
}

// Watches a change a script makes to a field: when any of scroll, maxscroll, hscroll
// and maxhscroll moved, the field tells its listeners (itself first) onScroller(field)
// once the step's scripts have run. Nothing is measured while no one listens.
class ScrollWatch {
public:
    ScrollWatch(Vm& vm, Object* clip, runtime::EditTextObject* field)
        : m_vm(vm), m_clip(clip), m_field(field)
    {
        if (field && clip && listened())
            m_before = measure();
    }
    ~ScrollWatch()
    {
        // A handler the change ran (a watch on the field's variable) may have removed it.
        if (m_before && fieldOf(m_clip) == m_field && measure() != *m_before)
            deferBroadcast(m_vm, m_clip, "onScroller", {Value(m_clip)});
    }
    ScrollWatch(const ScrollWatch&) = delete;
    ScrollWatch& operator=(const ScrollWatch&) = delete;

private:
    using State = std::array<std::int32_t, 4>;

    // Looked up without __resolve, as the player finds handlers: a write must not run
    // scripts of its own.
    bool listened() const
    {
        Value found;
        if (m_vm.lookup(m_clip, m_vm.str("onScroller"), found) && !found.isUndefined())
            return true;
        Value listeners;
        if (!m_vm.lookup(m_clip, m_vm.str("_listeners"), listeners))
            return false;
        auto* list = dynamic_cast<ArrayObject*>(listeners.objectOrNull());
        return list && list->length() > 1;
    }
    State measure() const { return m_field->scrollState(); }

    Vm& m_vm;
    Object* m_clip;
    runtime::EditTextObject* m_field;
    std::optional<State> m_before;
};

Value getProp(Vm& vm, const CallArgs& call)
{
    runtime::EditTextObject* field = thisField(call);
    if (!field)
        return Value();
    if (propOf(call) == Prop::StyleSheet)
        return styleSheetOf(*asClip(call.thisObject())->live());
    return readProp(vm, *field, propOf(call));
}

Value setProp(Vm& vm, const CallArgs& call)
{
    ClipObject* clip = asClip(call.thisObject());
    ClipObject* self = clip ? clip->live() : nullptr;
    if (runtime::EditTextObject* field = thisField(call)) {
        const ScrollWatch watch(vm, self, field);
        writeProp(vm, *self, *field, propOf(call), call.arg(0));
    }
    return Value();
}

// An index argument: whole units, from 0.
std::size_t indexArg(Vm& vm, Value value, std::size_t fallback)
{
    if (value.isUndefined())
        return fallback;
    const double n = vm.toInteger(value);
    if (!(n > 0))
        return 0;
    return n > 1e9 ? std::size_t(1e9) : static_cast<std::size_t>(n);
}

// getTextFormat(), (index) or (begin, end).
Value getTextFormat(Vm& vm, const CallArgs& call)
{
    runtime::EditTextObject* field = thisField(call);
    if (!field)
        return Value();
    const std::size_t length = field->content().length();
    std::size_t begin = 0;
    std::size_t end = length;
    if (call.count() >= 1 && !call.arg(0).isUndefined()) {
        begin = indexArg(vm, call.arg(0), 0);
        end = call.count() >= 2 ? indexArg(vm, call.arg(1), length) : begin + 1;
    }
    // A span holding no text has no attributes at all.
    if (std::min(end, length) <= begin)
        return Value(makeTextFormat(vm, runtime::TextFormat{}));
    return Value(makeTextFormat(vm, field->formatOf(begin, end)));
}

// setTextFormat(format), (index, format) or (begin, end, format).
Value setTextFormat(Vm& vm, const CallArgs& call)
{
    runtime::EditTextObject* field = thisField(call);
    if (!field || call.count() == 0)
        return Value();
    TextFormatObject* format = asTextFormat(call.arg(call.count() - 1).objectOrNull());
    if (!format)
        return Value();
    const std::size_t length = field->content().length();
    std::size_t begin = 0;
    std::size_t end = length;
    if (call.count() == 2) {
        begin = indexArg(vm, call.arg(0), 0);
        end = begin + 1;
    } else if (call.count() >= 3) {
        begin = indexArg(vm, call.arg(0), 0);
        end = indexArg(vm, call.arg(1), length);
    }
    const ScrollWatch watch(vm, call.thisObject(), field);
    field->applyFormat(begin, end, format->format);
    return Value();
}

Value getNewTextFormat(Vm& vm, const CallArgs& call)
{
    runtime::EditTextObject* field = thisField(call);
    return field ? Value(makeTextFormat(vm, field->newTextFormat())) : Value();
}

Value setNewTextFormat(Vm&, const CallArgs& call)
{
    runtime::EditTextObject* field = thisField(call);
    TextFormatObject* format = asTextFormat(call.arg(0).objectOrNull());
    if (field && format)
        field->setNewTextFormat(format->format);
    return Value();
}

// The text takes the selection's place (the caret's, when it is empty), and the caret
// goes after it.
Value replaceSel(Vm& vm, const CallArgs& call)
{
    runtime::EditTextObject* field = thisField(call);
    if (!field || call.count() == 0)
        return Value();
    const std::string text = vm.toStdString(call.arg(0));
    if (vm.throwing())
        return Value();
    const ScrollWatch watch(vm, call.thisObject(), field);
    const runtime::TextSelection selected = field->selection();
    const std::size_t before = field->content().length() - (selected.end() - selected.begin());
    field->replaceText(selected.begin(), selected.end(), text);
    const std::size_t inserted = field->content().length() - before;
    field->setSelection(runtime::TextSelection::at(selected.begin() + inserted));
    return Value();
}

Value replaceText(Vm& vm, const CallArgs& call)
{
    runtime::EditTextObject* field = thisField(call);
    if (!field || call.count() < 3)
        return Value();
    const std::size_t length = field->content().length();
    const std::size_t begin = indexArg(vm, call.arg(0), 0);
    const std::size_t end = indexArg(vm, call.arg(1), length);
    const std::string text = vm.toStdString(call.arg(2));
    if (vm.throwing() || begin > end || begin > length)
        return Value();
    const ScrollWatch watch(vm, call.thisObject(), field);
    field->replaceText(begin, end, text);
    return Value();
}

Value removeTextField(Vm&, const CallArgs& call)
{
    if (runtime::EditTextObject* field = thisField(call))
        field->removeByScript();
    return Value();
}

Value getDepth(Vm&, const CallArgs& call)
{
    runtime::EditTextObject* field = thisField(call);
    return field ? Value(static_cast<double>(field->scriptDepth())) : Value();
}

Value getFontList(Vm& vm, const CallArgs&)
{
    return Value(vm.makeArray());
}

Value constructTextField(Vm&, const CallArgs& call)
{
    return call.thisValue;
}

} // namespace

void textFieldPlaced(Vm& vm, ClipObject& field)
{
    runtime::EditTextObject* object = fieldOf(&field);
    if (!object)
        return;
    const Value self[] = {Value(&field)};
    field.defineValue(vm.str("_listeners"), Value(vm.makeArray(self)), PropertyFlag::DontEnum,
                      vm.caseRule());
    if (!object->variableName().empty())
        field.registry().textBindings().bind(vm, field.registry(), *object);
}

void installTextField(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.builtins().textFieldProto = proto;
    NativeFunction* ctor = vm.defineClass("TextField", proto, constructTextField);
    // The class is there in SWF 5, its prototype only from SWF 6.
    if (Property* p = ctor->properties().find(vm.names().prototype, CaseRule::Sensitive))
        p->flags |= VersionFlag::SinceSwf6;
    vm.defineMethod(ctor, "getFontList", getFontList);
    // Added last first: for..in lists the newest first.
    for (std::size_t i = static_cast<std::size_t>(Prop::Count); i-- > 0;) {
        const auto prop = static_cast<Prop>(i);
        String* key = vm.str(kPropNames[i]);
        Property& p = proto->properties().append(key);
        if (sinceSwf8(prop) && vm.swfVersion() < 8)
            continue;
        NativeFunction* getter = vm.makeNative(getProp);
        NativeFunction* setter = vm.makeNative(setProp);
        getter->setData(Value(static_cast<double>(i)));
        setter->setData(Value(static_cast<double>(i)));
        p.getter = getter;
        p.setter = setter;
    }
    const std::uint16_t methodFlags = PropertyFlag::DontEnum | VersionFlag::SinceSwf6;
    vm.defineMethods(proto,
                     {{"replaceSel", replaceSel},
                      {"getTextFormat", getTextFormat},
                      {"setTextFormat", setTextFormat},
                      {"removeTextField", removeTextField},
                      {"getNewTextFormat", getNewTextFormat},
                      {"setNewTextFormat", setNewTextFormat},
                      {"getDepth", getDepth}},
                     methodFlags);
    vm.defineMethod(proto, "replaceText", replaceText,
                    PropertyFlag::DontEnum | VersionFlag::SinceSwf7);
    // Fields broadcast to their listeners as AsBroadcaster objects do.
    if (Object* broadcaster = vm.getMember(vm.global(), "AsBroadcaster").objectOrNull()) {
        for (const char* name : {"addListener", "removeListener", "broadcastMessage"}) {
            proto->defineValue(vm, name, vm.getMember(broadcaster, name), methodFlags);
        }
    }
}

} // namespace avm1
