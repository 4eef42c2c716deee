#include "NaturalOrder.h"

namespace windowing {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// Compares the digit runs starting at a[i] and b[j] by value, moving i and j past them.
int compareNumbers(QStringView a, qsizetype& i, QStringView b, qsizetype& j)
{
    while (i < a.size() && a[i] == QLatin1Char('0') && i + 1 < a.size() && isDigit(a[i + 1]))
        ++i;
    while (j < b.size() && b[j] == QLatin1Char('0') && j + 1 < b.size() && isDigit(b[j + 1]))
        ++j;
    qsizetype endA = i, endB = j;
    while (endA < a.size() && isDigit(a[endA]))
        ++endA;
    while (endB < b.size() && isDigit(b[endB]))
        ++endB;
    // With leading zeros gone, the longer run is the larger number.
    if (endA - i != endB - j)
        return endA - i < endB - j ? -1 : 1;
    for (; i < endA; ++i, ++j) {
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
    }
    j = endB;
    return 0;
}

int compareFolded(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype k = 0; k < n; ++k) {
        const char16_t ca = a[k].toCaseFolded().unicode();
        const char16_t cb = b[k].toCaseFolded().unicode();
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return sign(static_cast<int>(a.size() - b.size()));
}

} // namespace

int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int order = compareNumbers(a, i, b, j))
                return order;
            continue;
        }
        const char16_t ca = a[i].toCaseFolded().unicode();
        const char16_t cb = b[j].toCaseFolded().unicode();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    if (const int order = compareFolded(a, b))
        return order;
    return sign(a.compare(b, Qt::CaseSensitive));
}

} // namespace windowing
