// JSON: parse (with a reviver) and stringify (with a replacer function or property list,
// and indentation), as ECMAScript 5 defines them, with ActionScript 3's additions: a
// class instance gives its public variables and getters, Vector and ByteArray...
// answer toJSON like any object.
#include "Native.h"
#include "avm2/Limits.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace avm2 {

using namespace native;

namespace {

// Parsing ------------------------------------------------------------------------------

class Parser {
public:
    Parser(Vm& vm, std::u16string_view text) : m_vm(vm), m_text(text) {}

    bool parse(Value& out)
    {
        skipSpace();
        if (!value(out, 0))
            return false;
        skipSpace();
        return m_pos == m_text.size();
    }

private:
    void skipSpace()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t' ||
                                         m_text[m_pos] == u'\n' || m_text[m_pos] == u'\r'))
            ++m_pos;
    }

    bool literal(std::u16string_view word)
    {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }

    bool value(Value& out, std::uint32_t depth)
    {
        if (depth > limits::kMaxJsonDepth || m_pos >= m_text.size())
            return false;
        const char16_t c = m_text[m_pos];
        switch (c) {
        case u'{':
            return object(out, depth);
        case u'[':
            return array(out, depth);
        case u'"': {
            std::u16string s;
            if (!string(s))
                return false;
            out = Value(m_vm.newString(std::move(s)));
            return true;
        }
        case u't':
            out = Value(true);
            return literal(u"true");
        case u'f':
            out = Value(false);
            return literal(u"false");
        case u'n':
            out = Value::null();
            return literal(u"null");
        default:
            return number(out);
        }
    }

    bool digits()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= u'0' && m_text[m_pos] <= u'9')
            ++m_pos;
        return m_pos > start;
    }

    bool number(Value& out)
    {
        const std::size_t start = m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'-')
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'0')
            ++m_pos;
        else if (!digits())
            return false;
        if (m_pos < m_text.size() && m_text[m_pos] == u'.') {
            ++m_pos;
            if (!digits())
                return false;
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == u'e' || m_text[m_pos] == u'E')) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == u'+' || m_text[m_pos] == u'-'))
                ++m_pos;
            if (!digits())
                return false;
        }
        std::string ascii;
        for (std::size_t i = start; i < m_pos; ++i)
            ascii.push_back(static_cast<char>(m_text[i]));
        out = Value::number(std::strtod(ascii.c_str(), nullptr));
        return true;
    }

    static int hexDigit(char16_t c)
    {
        if (c >= u'0' && c <= u'9')
            return c - u'0';
        if (c >= u'a' && c <= u'f')
            return c - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c - u'A' + 10;
        return -1;
    }

    bool string(std::u16string& out)
    {
        ++m_pos; // the opening quote
        while (m_pos < m_text.size()) {
            const char16_t c = m_text[m_pos++];
            if (c == u'"')
                return true;
            if (c < 0x20)
                return false;
            if (c != u'\\') {
                out.push_back(c);
                continue;
            }
            if (m_pos >= m_text.size())
                return false;
            const char16_t e = m_text[m_pos++];
            switch (e) {
            case u'"':
            case u'\\':
            case u'/':
                out.push_back(e);
                break;
            case u'b':
                out.push_back(u'\b');
                break;
            case u'f':
                out.push_back(u'\f');
                break;
            case u'n':
                out.push_back(u'\n');
                break;
            case u'r':
                out.push_back(u'\r');
                break;
            case u't':
                out.push_back(u'\t');
                break;
            case u'u': {
                if (m_pos + 4 > m_text.size())
                    return false;
                int code = 0;
                for (int i = 0; i < 4; ++i) {
                    const int d = hexDigit(m_text[m_pos++]);
                    if (d < 0)
                        return false;
                    code = code * 16 + d;
                }
                out.push_back(static_cast<char16_t>(code));
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    bool array(Value& out, std::uint32_t depth)
    {
        ++m_pos;
        ArrayObject* a = m_vm.newArray();
        out = Value(a);
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == u']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipSpace();
            Value element;
            if (!value(element, depth + 1))
                return false;
            a->push(element);
            skipSpace();
            if (m_pos >= m_text.size())
                return false;
            const char16_t c = m_text[m_pos++];
            if (c == u']')
                return true;
            if (c != u',')
                return false;
        }
    }

    bool object(Value& out, std::uint32_t depth)
    {
        ++m_pos;
        Object* o = m_vm.newObject();
        out = Value(o);
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == u'}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipSpace();
            std::u16string key;
            if (m_pos >= m_text.size() || m_text[m_pos] != u'"' || !string(key))
                return false;
            skipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos++] != u':')
                return false;
            skipSpace();
            Value v;
            if (!value(v, depth + 1))
                return false;
            m_vm.setProperty(out, m_vm.publicName(m_vm.intern(key)), v);
            skipSpace();
            if (m_pos >= m_text.size())
                return false;
            const char16_t c = m_text[m_pos++];
            if (c == u'}')
                return true;
            if (c != u',')
                return false;
        }
    }

    Vm& m_vm;
    std::u16string_view m_text;
    std::size_t m_pos = 0;
};

// The enumerable names of an object, for the reviver and the stringifier: its dynamic
// properties in order, after its class's public variables and getters.
std::vector<Value> ownKeys(Vm& vm, Object* o, bool withDeclared)
{
    std::vector<Value> keys;
    if (withDeclared && o->traits() && o->kind() != ObjectKind::Array) {
        const Traits* t = o->traits();
        for (std::uint32_t i = 0; i < t->slots.size(); ++i) {
            String* name = t->slots[i].name;
            const Binding* b = name ? t->findQualified(name, vm.publicNs()) : nullptr;
            if (b && (b->kind == Binding::Kind::Slot || b->kind == Binding::Kind::Const) &&
                b->index == i)
                keys.emplace_back(name);
        }
        std::vector<String*> getters;
        for (const auto& [name, entries] : t->names)
            for (const auto& e : entries)
                if (e.ns == vm.publicNs() && e.binding.kind == Binding::Kind::Accessor &&
                    e.binding.getter != Binding::kNone)
                    getters.push_back(const_cast<String*>(name));
        std::sort(getters.begin(), getters.end(),
                  [](String* a, String* b) { return a->view() < b->view(); });
        for (String* g : getters)
            keys.emplace_back(g);
    }
    for (std::uint32_t p = o->nextEnumerable(0); p; p = o->nextEnumerable(p)) {
        Value name = o->enumerableName(vm, p);
        if (vm.throwing())
            break;
        keys.push_back(name);
    }
    return keys;
}

Name keyName(Vm& vm, const Value& key)
{
    Name n = vm.publicName(vm.internValue(vm.toString(key)));
    n.key = key.objectOrNull();
    return n;
}

Value revive(Vm& vm, const Value& reviver, const Value& holder, const Value& key,
             std::uint32_t depth)
{
    if (depth > limits::kMaxJsonDepth)
        return vm.throwError(ErrorType::Error, 1023);
    Value v = vm.getProperty(holder, keyName(vm, key));
    if (vm.throwing())
        return Value();
    if (v.isObject()) {
        Object* o = v.asObject();
        for (const Value& k : ownKeys(vm, o, false)) {
            Value r = revive(vm, reviver, v, k, depth + 1);
            if (vm.throwing())
                return Value();
            if (r.isUndefined())
                vm.deleteProperty(v, keyName(vm, k));
            else
                vm.setProperty(v, keyName(vm, k), r);
            if (vm.throwing())
                return Value();
        }
    }
    Value args[2] = {Value(vm.toString(key)), v};
    return vm.call(reviver, holder, args);
}

Value parse(Vm& vm, const Value&, Args args)
{
    const Value reviver = arg(args, 1);
    if (!reviver.isNullish() && !vm.isCallable(reviver))
        return vm.throwError(ErrorType::TypeError, 1034,
                             {vm.describeForError(reviver), u"Function"});
    const Value textValue = arg(args, 0);
    if (textValue.isNullish())
        return vm.throwError(ErrorType::SyntaxError, 1132);
    const std::u16string text = vm.toText(textValue);
    if (vm.throwing())
        return Value();
    Parser parser(vm, text);
    Value result;
    if (!parser.parse(result))
        return vm.throwError(ErrorType::SyntaxError, 1132);
    if (reviver.isNullish())
        return result;
    Object* root = vm.newObject();
    root->dynamic().set(vm.names.empty, result);
    return revive(vm, reviver, Value(root), Value(vm.names.empty), 0);
}

// Stringifying -------------------------------------------------------------------------

class Stringifier {
public:
    explicit Stringifier(Vm& vm) : m_vm(vm) {}

    Value replacer;
    std::vector<Value> propertyList;
    bool hasPropertyList = false;
    std::u16string gap;

    // false when the value is not serialized (undefined, functions).
    bool str(const Value& key, const Value& holder, Value value, std::u16string& out)
    {
        if (value.isObject()) {
            Value toJson = m_vm.getProperty(value, m_vm.publicName("toJSON"));
            if (m_vm.throwing())
                return false;
            if (m_vm.isCallable(toJson)) {
                Value a[1] = {Value(m_vm.toString(key))};
                value = m_vm.call(toJson, value, a);
                if (m_vm.throwing())
                    return false;
            }
        }
        if (m_vm.isCallable(replacer)) {
            Value a[2] = {Value(m_vm.toString(key)), value};
            value = m_vm.call(replacer, holder, a);
            if (m_vm.throwing())
                return false;
        }
        switch (value.type()) {
        case Value::Type::Null:
            out += u"null";
            return true;
        case Value::Type::Boolean:
            out += value.asBoolean() ? u"true" : u"false";
            return true;
        case Value::Type::Int:
        case Value::Type::Number:
            if (!std::isfinite(value.asNumber()))
                out += u"null";
            else
                out += m_vm.toText(value);
            return true;
        case Value::Type::String:
            quote(value.asString()->view(), out);
            return true;
        case Value::Type::Object:
            break;
        default:
            return false;
        }
        Object* o = value.asObject();
        if (o->kind() == ObjectKind::Function || o->kind() == ObjectKind::Class)
            return false;
        if (m_stack.size() >= limits::kMaxJsonDepth) {
            m_vm.throwError(ErrorType::Error, 1023);
            return false;
        }
        if (!m_onStack.insert(o).second) {
            m_vm.throwError(ErrorType::TypeError, 1129);
            return false;
        }
        m_stack.push_back(o);
        const bool listLike = o->kind() == ObjectKind::Array || o->kind() == ObjectKind::Vector;
        if (listLike)
            array(value, out);
        else
            object(value, out);
        m_stack.pop_back();
        m_onStack.erase(o);
        return !m_vm.throwing();
    }

private:
    void quote(std::u16string_view s, std::u16string& out)
    {
        out.push_back(u'"');
        for (char16_t c : s) {
            switch (c) {
            case u'"':
                out += u"\\\"";
                break;
            case u'\\':
                out += u"\\\\";
                break;
            case u'\b':
                out += u"\\b";
                break;
            case u'\f':
                out += u"\\f";
                break;
            case u'\n':
                out += u"\\n";
                break;
            case u'\r':
                out += u"\\r";
                break;
            case u'\t':
                out += u"\\t";
                break;
            default:
                if (c < 0x20) {
                    static const char16_t hex[] = u"0123456789abcdef";
                    out += u"\\u00";
                    out.push_back(hex[c >> 4]);
                    out.push_back(hex[c & 15]);
                } else {
                    out.push_back(c);
                }
            }
        }
        out.push_back(u'"');
    }

    std::u16string indent() const
    {
        std::u16string s;
        for (std::size_t i = 0; i < m_stack.size(); ++i)
            s += gap;
        return s;
    }

    void object(const Value& value, std::u16string& out)
    {
        Object* o = value.asObject();
        std::vector<Value> keys = hasPropertyList ? propertyList : ownKeys(m_vm, o, true);
        if (m_vm.throwing())
            return;
        std::vector<std::u16string> parts;
        for (const Value& k : keys) {
            Value v = m_vm.getProperty(value, keyName(m_vm, k));
            if (m_vm.throwing())
                return;
            std::u16string part;
            quote(m_vm.toText(k), part);
            part += gap.empty() ? u":" : u": ";
            if (str(k, value, v, part))
                parts.push_back(std::move(part));
            if (m_vm.throwing())
                return;
        }
        join(u'{', u'}', parts, out);
    }

    void array(const Value& value, std::u16string& out)
    {
        Value lengthValue = m_vm.getProperty(value, m_vm.publicName(m_vm.names.length));
        if (m_vm.throwing())
            return;
        const std::uint32_t length = m_vm.toUint32(lengthValue);
        std::vector<std::u16string> parts;
        for (std::uint32_t i = 0; i < length; ++i) {
            const Value key = Value::fromUint(i);
            Value v = m_vm.getProperty(value, keyName(m_vm, key));
            if (m_vm.throwing())
                return;
            std::u16string part;
            if (!str(key, value, v, part)) {
                if (m_vm.throwing())
                    return;
                part = u"null";
            }
            parts.push_back(std::move(part));
        }
        join(u'[', u']', parts, out);
    }

    void join(char16_t open, char16_t close, const std::vector<std::u16string>& parts,
              std::u16string& out)
    {
        out.push_back(open);
        if (!parts.empty()) {
            const std::u16string inner = gap.empty() ? u"" : u"\n" + indent();
            for (std::size_t i = 0; i < parts.size(); ++i) {
                if (i)
                    out.push_back(u',');
                out += inner;
                out += parts[i];
            }
            if (!gap.empty()) {
                out.push_back(u'\n');
                std::u16string outer;
                for (std::size_t i = 1; i < m_stack.size(); ++i)
                    outer += gap;
                out += outer;
            }
        }
        out.push_back(close);
    }

    Vm& m_vm;
    std::vector<Object*> m_stack;
    std::unordered_set<Object*> m_onStack;
};

Value stringify(Vm& vm, const Value&, Args args)
{
    Stringifier s(vm);
    const Value replacer = arg(args, 1);
    if (vm.isCallable(replacer)) {
        s.replacer = replacer;
    } else if (replacer.isObject() && replacer.asObject()->kind() == ObjectKind::Array) {
        auto* list = static_cast<ArrayObject*>(replacer.asObject());
        s.hasPropertyList = true;
        std::unordered_set<String*> seen;
        for (std::uint32_t i = 0; i < list->length(); ++i) {
            const Value item = list->get(i);
            if (!item.isString() && !item.isNumber())
                continue;
            String* name = vm.internValue(vm.toString(item));
            if (seen.insert(name).second)
                s.propertyList.emplace_back(name);
        }
    } else if (!replacer.isNullish()) {
        return vm.throwError(ErrorType::TypeError, 1131);
    }
    const Value space = arg(args, 2);
    if (space.isNumber()) {
        const double n = std::min(10.0, std::trunc(space.asNumber()));
        for (int i = 0; i < n; ++i)
            s.gap.push_back(u' ');
    } else if (space.isString()) {
        s.gap = space.asString()->text().substr(0, 10);
    }
    Object* wrapper = vm.newObject();
    wrapper->dynamic().set(vm.names.empty, arg(args, 0));
    std::u16string out;
    if (!s.str(Value(vm.names.empty), Value(wrapper), arg(args, 0), out))
        return Value::null(); // nothing to write: the String result is null
    return Value(vm.newString(std::move(out)));
}

} // namespace

void defineJsonClass(Vm& vm)
{
    ClassObject* c = vm.defineClass("", "JSON", vm.builtins().object, false, {}, true);
    vm.defineStaticMethod(c, "parse", parse, 2);
    vm.defineStaticMethod(c, "stringify", stringify, 3);
}

} // namespace avm2
