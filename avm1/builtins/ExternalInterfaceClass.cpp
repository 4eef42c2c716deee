// flash.external.ExternalInterface: calls between the movie and the page around it.
// This player runs movies in no page, so the bridge is never available: addCallback
// and call do nothing. The helpers the bridge writes and reads its messages with (the
// XML form of values, the JavaScript form of calls) work all the same, as scripts use
// them on their own.
#include "ArrayObject.h"
#include "Builtins.h"
#include "NativeHelpers.h"
#include "Packages.h"
#include "PropertyFlags.h"
#include "XmlNode.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "script/xml/XmlMarkup.h"

#include <string>
#include <string_view>

namespace avm1 {

namespace {

// Every member is the reference's SWF 8 addition: older movies that reveal the
// package still do not see them, though hasOwnProperty does.
constexpr std::uint16_t kMember = PropertyFlag::DontEnum | VersionFlag::SinceSwf8;

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

Value returnsFalse(Vm&, const CallArgs&)
{
    return Value(false);
}

Value returnsNull(Vm&, const CallArgs&)
{
    return Value::null();
}

// A value turns into markup through nested calls: cyclic objects stop here.
class Writer {
public:
    explicit Writer(Vm& vm) : m_vm(vm) {}

    bool failed() const { return m_vm.throwing() || m_vm.aborted(); }

    // What a value is on the wire: its type as an element, arrays and objects by
    // their properties.
    void value(Value v)
    {
        if (failed() || tooLong())
            return;
        switch (v.type()) {
        case Value::Type::Undefined:
            m_out += "<undefined/>";
            return;
        case Value::Type::Null:
            m_out += "<null/>";
            return;
        case Value::Type::Boolean:
            m_out += v.asBoolean() ? "<true/>" : "<false/>";
            return;
        case Value::Type::Number:
            m_out += "<number>" + m_vm.numberToString(v.asNumber())->text() + "</number>";
            return;
        case Value::Type::String:
            m_out += "<string>" + escapedOrNull(v.asString()->view()) + "</string>";
            return;
        case Value::Type::Object:
            break;
        }
        Object* object = v.asObject();
        // Functions and clips have no form on the wire.
        if (object->isFunction() || asClip(object)) {
            m_out += "<null/>";
            return;
        }
        if (isArray(object))
            array(v);
        else
            properties(v);
    }

    // <array>: elements 0 to length - 1 as numbered properties.
    void array(Value v) { list(v, "array", 0, true); }

    // <arguments>: elements from 1 (the first is the function's name), unnamed.
    void arguments(Value v) { list(v, "arguments", 1, false); }

    void list(Value v, std::string_view tag, std::uint32_t first, bool numbered)
    {
        Nesting nesting(*this);
        m_out.append("<").append(tag).append(">");
        if (nesting.ok())
            elements(v, first, numbered);
        m_out.append("</").append(tag).append(">");
    }

    // <object>: the enumerable properties in for..in order; names as they are.
    void properties(Value v)
    {
        Nesting nesting(*this);
        m_out += "<object>";
        Object* object = m_vm.toObject(v);
        if (nesting.ok() && object) {
            const std::vector<String*> keys = m_vm.enumerableKeys(object);
            for (auto key = keys.rbegin(); key != keys.rend() && !failed() && !tooLong(); ++key) {
                const Value member = m_vm.getMember(object, *key);
                m_out += "<property id=\"" + (*key)->text() + "\">";
                value(member);
                m_out += "</property>";
            }
        }
        m_out += "</object>";
    }

    std::string take() { return std::move(m_out); }

    static bool isArray(Object* object)
    {
        return object->objectClass() == ObjectClass::Array || asArrayObject(object);
    }

    // Markup's five entities for the text; an empty text becomes "null", as the
    // reference's helper gives no string for it.
    static std::string escapedOrNull(std::string_view text)
    {
        if (text.empty())
            return "null";
        std::string out;
        out.reserve(text.size());
        script::xml::appendEscaped(out, text);
        return out;
    }

private:
    struct Nesting {
        explicit Nesting(Writer& w) : m_writer(w)
        {
            if (++m_writer.m_depth > limits::kMaxSerializedNesting)
                m_writer.m_vm.abortScripts("values nested too deeply to write");
        }
        ~Nesting() { --m_writer.m_depth; }
        bool ok() const { return m_writer.m_depth <= limits::kMaxSerializedNesting; }
        Writer& m_writer;
    };

    bool tooLong() const { return m_out.size() >= limits::kMaxStringBytes; }

    void elements(Value v, std::uint32_t first, bool numbered)
    {
        const double length = m_vm.toNumber(m_vm.getMember(v, m_vm.names().length));
        for (std::uint32_t i = first; static_cast<double>(i) < length && !failed() && !tooLong();
             ++i) {
            if (i - first >= limits::kMaxArrayMethodElements)
                break;
            const Value element = m_vm.getMember(v, indexName(m_vm, i));
            if (numbered)
                m_out += "<property id=\"" + std::to_string(i) + "\">";
            value(element);
            if (numbered)
                m_out += "</property>";
        }
    }

    Vm& m_vm;
    std::string m_out;
    int m_depth = 0;
};

template <void (Writer::*Write)(Value)> Value writeWith(Vm& vm, const CallArgs& call)
{
    Writer writer(vm);
    (writer.*Write)(call.arg(0));
    if (writer.failed())
        return Value();
    return Value(vm.str(writer.take()));
}

Value escapeXml(Vm& vm, const CallArgs& call)
{
    String* text = vm.toString(call.arg(0));
    if (vm.throwing() || text->empty())
        return Value::null();
    return Value(vm.str(Writer::escapedOrNull(text->view())));
}

// The five entities back to their characters, each once, exactly as written.
std::string unescapedXml(std::string_view in)
{
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        bool replaced = false;
        if (in[i] == '&') {
            for (const auto& [entity, c] : kEntities) {
                if (in.substr(i, entity.size()) == entity) {
                    out += c;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += in[i++];
    }
    return out;
}

Value unescapeXml(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return Value::null();
    String* text = vm.toString(call.arg(0));
    if (vm.throwing() || text->empty())
        return Value::null();
    return Value(vm.str(unescapedXml(text->view())));
}

// The JavaScript literal of a value, as calls to the page are written.
class JsWriter {
public:
    explicit JsWriter(Vm& vm) : m_vm(vm) {}

    bool failed() const { return m_vm.throwing() || m_vm.aborted(); }
    std::string take() { return std::move(m_out); }

    void value(Value v)
    {
        if (failed() || m_out.size() >= limits::kMaxStringBytes)
            return;
        switch (v.type()) {
        case Value::Type::Undefined:
            m_out += "undefined";
            return;
        case Value::Type::Null:
            m_out += "null";
            return;
        case Value::Type::Boolean:
            m_out += v.asBoolean() ? "true" : "false";
            return;
        case Value::Type::Number:
            m_out += m_vm.numberToString(v.asNumber())->text();
            return;
        case Value::Type::String:
            m_out += '"' + quoted(v.asString()->view()) + '"';
            return;
        case Value::Type::Object:
            break;
        }
        if (v.asObject()->isFunction() || asClip(v.asObject())) {
            m_out += "null";
            return;
        }
        if (Writer::isArray(v.asObject()))
            array(v);
        else
            object(v);
    }

    // [a,b,...]: the elements 0 to length - 1.
    void array(Value v)
    {
        if (!enter())
            return;
        m_out += '[';
        const double length = m_vm.toNumber(m_vm.getMember(v, m_vm.names().length));
        for (std::uint32_t i = 0;
             static_cast<double>(i) < length && !failed() && i < limits::kMaxArrayMethodElements;
             ++i) {
            if (i)
                m_out += ',';
            value(m_vm.getMember(v, indexName(m_vm, i)));
        }
        m_out += ']';
        --m_depth;
    }

    // ({"name":value,...}): the enumerable properties in for..in order.
    void object(Value v)
    {
        if (!enter())
            return;
        m_out += "({";
        if (Object* o = m_vm.toObject(v)) {
            const std::vector<String*> keys = m_vm.enumerableKeys(o);
            bool first = true;
            for (auto key = keys.rbegin(); key != keys.rend() && !failed(); ++key) {
                if (!first)
                    m_out += ',';
                first = false;
                m_out += '"' + quoted((*key)->view()) + "\":";
                value(m_vm.getMember(o, *key));
            }
        }
        m_out += "})";
        --m_depth;
    }

    static std::string quoted(std::string_view text)
    {
        std::string out;
        for (char c : text) {
            switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
            }
        }
        return out;
    }

private:
    bool enter()
    {
        if (++m_depth <= limits::kMaxSerializedNesting)
            return true;
        --m_depth;
        m_vm.abortScripts("values nested too deeply to write");
        return false;
    }

    Vm& m_vm;
    std::string m_out;
    int m_depth = 0;
};

// A string as a JavaScript string literal's body.
Value jsQuoteString(Vm& vm, const CallArgs& call)
{
    String* text = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    return Value(vm.str(JsWriter::quoted(text->view())));
}

template <void (JsWriter::*Write)(Value)> Value writeJsWith(Vm& vm, const CallArgs& call)
{
    JsWriter writer(vm);
    (writer.*Write)(call.arg(0));
    if (writer.failed())
        return Value();
    return Value(vm.str(writer.take()));
}

// The XML form read back into values: an element per value, as Writer writes them.
// The reader asks for the members an XML node has (nodeName, firstChild, childNodes,
// attributes), so any object that has them reads as one does.
class XmlReader {
public:
    explicit XmlReader(Vm& vm) : m_vm(vm) {}

    Value value(Value node)
    {
        Object* object = node.objectOrNull();
        if (!object || !enter())
            return Value();
        const Value nameValue = member(object, "nodeName");
        Value out;
        if (nameValue.isString() && !failed()) {
            const std::string_view name = nameValue.asString()->view();
            if (name == "true") {
                out = Value(true);
            } else if (name == "false") {
                out = Value(false);
            } else if (name == "null") {
                out = Value::null();
            } else if (name == "number") {
                out = Value(m_vm.stringToNumber(firstChildText(object)));
            } else if (name == "string") {
                out = Value(firstChildText(object));
            } else if (name == "array" || name == "object") {
                out = properties(object, name == "array");
            } else if (name == "arguments") {
                out = arguments(node);
            }
        }
        --m_depth;
        return out;
    }

    // The values of an <arguments> element's children.
    Value arguments(Value node)
    {
        std::vector<Value> values;
        for (const Value& child : children(node.objectOrNull())) {
            if (values.size() >= limits::kMaxArrayMethodElements || failed())
                break;
            values.push_back(value(child));
        }
        return Value(m_vm.makeArray(values));
    }

private:
    bool failed() const { return m_vm.throwing() || m_vm.aborted(); }

    Value member(Object* object, std::string_view name)
    {
        return m_vm.getMember(object, m_vm.str(name));
    }

    std::vector<Value> children(Object* node)
    {
        if (!node)
            return {};
        Object* list = member(node, "childNodes").objectOrNull();
        if (!list || failed())
            return {};
        return elementsOf(m_vm, list, limits::kMaxArrayMethodElements);
    }

    // <property id="name">value</property> children, set on a new array or object.
    Value properties(Object* node, bool array)
    {
        Object* made = array ? m_vm.makeArray() : m_vm.makeObject();
        for (const Value& child : children(node)) {
            Object* property = child.objectOrNull();
            if (failed())
                break;
            if (!property || m_vm.toStdString(member(property, "nodeName")) != "property")
                continue;
            const Value id = m_vm.getMember(member(property, "attributes"), m_vm.str("id"));
            const Value content = value(member(property, "firstChild"));
            if (failed())
                break;
            m_vm.setMember(made, m_vm.toString(id), content);
        }
        return Value(made);
    }

    // The first child as its markup, with the entities it escapes read back: a text
    // node's own text. Nothing there is the empty string.
    String* firstChildText(Object* node)
    {
        const Value child = member(node, "firstChild");
        if (child.isNullish() || failed())
            return m_vm.names().empty;
        String* markup = m_vm.toString(child);
        if (failed())
            return m_vm.names().empty;
        return m_vm.str(unescapedXml(markup->view()));
    }

    bool enter()
    {
        if (++m_depth <= limits::kMaxSerializedNesting)
            return true;
        --m_depth;
        return false;
    }

    Vm& m_vm;
    int m_depth = 0;
};

Value readValue(Vm& vm, const CallArgs& call)
{
    return XmlReader(vm).value(call.arg(0));
}

// _argumentsToAS(node): the values of an <arguments> element's children.
Value readArguments(Vm& vm, const CallArgs& call)
{
    return XmlReader(vm).arguments(call.arg(0));
}

} // namespace

void installExternalInterface(Vm& vm)
{
    Object* package = packageObject(vm, "flash.external");
    Object* proto = vm.makeObject();
    NativeFunction* ctor =
        definePackageClass(vm, package, "ExternalInterface", proto, returnsUndefined);
    ctor->defineValue(vm, "available", Value(false), kMember);
    vm.defineMethods(ctor,
                     {
                         {"addCallback", returnsFalse},
                         {"call", returnsNull},
                         {"_callIn", returnsUndefined},
                         {"_callOut", returnsUndefined},
                         {"_evalJS", returnsUndefined},
                         {"_initJS", returnsUndefined},
                         {"_objectID", returnsNull},
                         {"_toXML", writeWith<&Writer::value>},
                         {"_arrayToXML", writeWith<&Writer::array>},
                         {"_argumentsToXML", writeWith<&Writer::arguments>},
                         {"_objectToXML", writeWith<&Writer::properties>},
                         {"_escapeXML", escapeXml},
                         {"_unescapeXML", unescapeXml},
                         {"_jsQuoteString", jsQuoteString},
                         {"_toJS", writeJsWith<&JsWriter::value>},
                         {"_arrayToJS", writeJsWith<&JsWriter::array>},
                         {"_objectToJS", writeJsWith<&JsWriter::object>},
                         {"_toAS", readValue},
                         {"_arrayToAS", readValue},
                         {"_argumentsToAS", readArguments},
                         {"_objectToAS", readValue},
                     },
                     kMember);
}

} // namespace avm1
