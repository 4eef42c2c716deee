#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace windowing {

// Orders names as people read them: case-insensitive, with runs of digits compared
// by their value ("Part 2" before "Part 10"). Names equal that way are ordered by
// their case-folded text (so "a01" and "a1" keep a fixed order), then by their exact
// code units, which makes the order total and the same on every machine and locale.
// Returns a negative number, zero or a positive number.
int naturalCompare(QStringView a, QStringView b);

inline bool naturalLess(QStringView a, QStringView b)
{
    return naturalCompare(a, b) < 0;
}

// A name with its case-folded form worked out once, for sorting many names.
struct NaturalKey {
    explicit NaturalKey(QString name);

    QString folded;
    QString original;
};

bool operator<(const NaturalKey& a, const NaturalKey& b);

// Sorts names in natural order, keeping the first `limit` of them.
void sortNaturally(QStringList& names, qsizetype limit);

} // namespace windowing
