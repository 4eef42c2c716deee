#include "NaturalOrder.h"

#include <algorithm>
#include <vector>

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

QString fold(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype k = 0; k < text.size(); ++k)
        folded[k] = text[k].toCaseFolded();
    return folded;
}

// Natural order of two case-folded names: digit runs by value, the rest by code unit.
int compareNatural(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int order = compareNumbers(a, i, b, j))
                return order;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return 0;
}

// The whole order from the folded and the original names.
int compareKeys(QStringView foldedA, QStringView a, QStringView foldedB, QStringView b)
{
    if (const int order = compareNatural(foldedA, foldedB))
        return order;
    if (const int order = foldedA.compare(foldedB, Qt::CaseSensitive))
        return sign(order);
    return sign(a.compare(b, Qt::CaseSensitive));
}

} // namespace

int naturalCompare(QStringView a, QStringView b)
{
    return compareKeys(fold(a), a, fold(b), b);
}

NaturalKey::NaturalKey(QString name) : folded(fold(name)), original(std::move(name)) {}

bool operator<(const NaturalKey& a, const NaturalKey& b)
{
    return compareKeys(a.folded, a.original, b.folded, b.original) < 0;
}

void sortNaturally(QStringList& names, qsizetype limit)
{
    std::vector<NaturalKey> keys;
    keys.reserve(static_cast<std::size_t>(names.size()));
    for (QString& name : names)
        keys.emplace_back(std::move(name));
    const auto kept = std::min<qsizetype>(limit, static_cast<qsizetype>(keys.size()));
    std::partial_sort(keys.begin(), keys.begin() + kept, keys.end());
    names.clear();
    names.reserve(kept);
    for (qsizetype k = 0; k < kept; ++k)
        names.append(std::move(keys[static_cast<std::size_t>(k)].original));
}

} // namespace windowing
