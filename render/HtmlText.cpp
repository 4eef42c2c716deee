#include "HtmlText.h"

namespace render {

namespace {

QString decodeEntity(const QString& name)
{
    if (name == QLatin1String("amp"))
        return QStringLiteral("&");
    if (name == QLatin1String("lt"))
        return QStringLiteral("<");
    if (name == QLatin1String("gt"))
        return QStringLiteral(">");
    if (name == QLatin1String("quot"))
        return QStringLiteral("\"");
    if (name == QLatin1String("apos"))
        return QStringLiteral("'");
    if (name == QLatin1String("nbsp"))
        return QString(QChar(0xA0));
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code =
            name.size() > 1 && (name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X'))
                ? name.mid(2).toUInt(&ok, 16)
                : name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
            const char32_t c = code;
            return QString::fromUcs4(&c, 1);
        }
    }
    return {};
}

bool breaksLine(const QString& tag)
{
    QString name = tag.trimmed().toLower();
    const bool closing = name.startsWith(QLatin1Char('/'));
    if (closing)
        name.remove(0, 1);
    name = name.section(QLatin1Char(' '), 0, 0);
    if (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    if (name == QLatin1String("br") || name == QLatin1String("sbr"))
        return true;
    return closing && (name == QLatin1String("p") || name == QLatin1String("li"));
}

} // namespace

QString plainTextFromHtml(const QString& html)
{
    QString out;
    out.reserve(html.size());
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html[i];
        if (c == QLatin1Char('<')) {
            const qsizetype close = html.indexOf(QLatin1Char('>'), i + 1);
            if (close < 0)
                break; // an unfinished tag at the end shows nothing
            if (breaksLine(html.mid(i + 1, close - i - 1)))
                out += QLatin1Char('\n');
            i = close;
        } else if (c == QLatin1Char('&')) {
            const qsizetype end = html.indexOf(QLatin1Char(';'), i + 1);
            const QString decoded =
                (end > i && end - i <= 10) ? decodeEntity(html.mid(i + 1, end - i - 1)) : QString();
            if (decoded.isEmpty()) {
                out += c; // not a reference: the ampersand is text
            } else {
                out += decoded;
                i = end;
            }
        } else if (c != QLatin1Char('\r')) {
            out += c;
        }
    }
    // A closing </p> at the very end is not an empty line.
    while (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

} // namespace render
