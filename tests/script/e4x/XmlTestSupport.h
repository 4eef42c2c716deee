#pragma once

// What the E4X tests share: parsing with settings in one call, and text as QString so
// that QCOMPARE prints it.
#include "script/e4x/XmlParser.h"
#include "script/e4x/XmlPrinter.h"

#include <QString>

namespace e4xtest {

inline QString q(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

inline std::u16string u(const QString& text)
{
    return text.toStdU16String();
}

// The node, or null when the parse fails.
inline script::e4x::XmlNode* parse(script::Heap& heap, const QString& text,
                                   const script::e4x::XmlSettings& settings = {},
                                   const QString& defaultUri = {})
{
    auto parsed = script::e4x::parseXml(heap, u(text), settings, u(defaultUri));
    return parsed ? parsed.value() : nullptr;
}

inline QString print(const script::e4x::XmlNode* node,
                     const script::e4x::XmlSettings& settings = {})
{
    if (!node)
        return QStringLiteral("<parse failed>");
    auto printed = script::e4x::toXmlString(*node, settings);
    return printed ? q(printed.value()) : QStringLiteral("<print failed>");
}

} // namespace e4xtest
