#pragma once

// Calls to the core built-ins written compactly for test tables: a function named by
// its path from _global ("String.prototype.slice"), a receiver and arguments as
// tokens, and the result shown with its type, so that "5" and 5 differ.
#include "avm1/NumberText.h"
#include "avm1/Vm.h"

#include <QString>
#include <QStringList>
#include <QtTest>
#include <cmath>
#include <string>
#include <vector>

namespace corecalls {

class Calls {
public:
    explicit Calls(int version, avm1::ScriptHost* host = nullptr) : m_vm(version, host) {}

    avm1::Vm& vm() { return m_vm; }

    // 'text' a string; u undefined; null, true, false; NaN, Infinity, -Infinity, -0;
    // S'text' N5 Btrue wrapper objects; {} a plain object; f a function (parseInt);
    // _global; [a|b] an array of tokens; @path the value at a path from _global;
    // D5 a Date of that time value; anything else a number.
    avm1::Value parse(const QString& token)
    {
        using avm1::Value;
        if (token.startsWith('\''))
            return Value(m_vm.str(token.mid(1, token.size() - 2).toStdString()));
        if (token == "u")
            return Value();
        if (token == "null")
            return Value::null();
        if (token == "true" || token == "false")
            return Value(token == "true");
        if (token == "NaN")
            return Value(std::nan(""));
        if (token == "Infinity" || token == "-Infinity")
            return Value(token.startsWith('-') ? -HUGE_VAL : HUGE_VAL);
        if (token == "-0")
            return Value(-0.0);
        if (token == "{}")
            return Value(m_vm.makeObject());
        if (token == "f")
            return global("parseInt");
        if (token == "_global")
            return Value(m_vm.global());
        if (token.startsWith('@'))
            return path(token.mid(1));
        if (token.startsWith('D')) {
            const Value time = parse(token.mid(1));
            return m_vm.construct(global("Date"), std::span<const Value>(&time, 1));
        }
        if (token.startsWith('[')) {
            std::vector<Value> items;
            const QString inner = token.mid(1, token.size() - 2);
            if (!inner.isEmpty())
                for (const QString& item : inner.split('|'))
                    items.push_back(parse(item));
            return Value(m_vm.makeArray(items));
        }
        if (token.startsWith('S') || token.startsWith('N') || token.startsWith('B')) {
            const char* name = token.startsWith('S')   ? "String"
                               : token.startsWith('N') ? "Number"
                                                       : "Boolean";
            const Value inner = parse(token.mid(1));
            return m_vm.construct(global(name), std::span<const Value>(&inner, 1));
        }
        return Value(token.toDouble());
    }

    avm1::Value global(std::string_view name)
    {
        return m_vm.getMember(m_vm.global(), m_vm.str(name));
    }

    // The value at a dotted path from _global.
    avm1::Value path(const QString& dotted)
    {
        avm1::Value v(m_vm.global());
        for (const QString& part : dotted.split('.'))
            v = m_vm.getMember(v, m_vm.str(part.toStdString()));
        return v;
    }

    // "new Date" constructs; any other path is called on `self`.
    avm1::Value call(const QString& function, const QString& self, const QStringList& args)
    {
        std::vector<avm1::Value> values;
        for (const QString& a : args)
            values.push_back(parse(a));
        if (function.startsWith("new "))
            return m_vm.construct(path(function.mid(4)), values);
        return m_vm.call(path(function), self.isEmpty() ? avm1::Value() : parse(self), values);
    }

    // A result as the tables write it: 'text', a number (-0 apart), u, null, true,
    // false, or an object as {its string}.
    QString show(avm1::Value v)
    {
        using Type = avm1::Value::Type;
        switch (v.type()) {
        case Type::Undefined:
            return "u";
        case Type::Null:
            return "null";
        case Type::Boolean:
            return v.asBoolean() ? "true" : "false";
        case Type::Number:
            if (v.asNumber() == 0 && std::signbit(v.asNumber()))
                return "-0";
            return QString::fromStdString(avm1::formatNumber(v.asNumber()));
        case Type::String:
            return "'" + QString::fromStdString(v.asString()->text()) + "'";
        case Type::Object:
            return "{" + QString::fromStdString(m_vm.toStdString(v)) + "}";
        }
        return "?";
    }

private:
    avm1::Vm m_vm;
};

// The columns of a table of calls, and one row: a function called on `self` with
// `args`, and the result it must give.
inline void addColumns()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("self");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
}

inline void addRow(const char* name, int version, const char* function, const char* self,
                   const QStringList& args, const char* expected)
{
    QTest::newRow(name) << version << QString(function) << QString::fromUtf8(self) << args
                        << QString::fromUtf8(expected);
}

} // namespace corecalls
