#pragma once

#include "WindowedControl.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace windowing {

// The file-list control: the files of one folder whose names match its pattern.
// Files only, hidden ones (names starting with ".") left out; patterns match without
// regard to case, several may be given separated by ";". Names come in natural order.
// It lists at most 32,767 names, the most its 16-bit count can hold: the first ones
// of that order.
class FileListBox : public WindowedControl {
public:
    static constexpr int kMaxEntries = 32767;

    FileListBox(Form& form, QString name);

    const QString& Path() const { return m_path; }
    void setPath(const QString& path);
    const QString& Pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    void Refresh();

    std::int16_t ListCount() const { return static_cast<std::int16_t>(m_names.size()); }
    // The bare file name at `index`.
    QString List(std::int32_t index) const;

private:
    class View;
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    QStringList m_names;
};

// The names of the files in `folder` that match `pattern`, in natural order, at most
// `limit` of them.
QStringList listMatchingFiles(const QString& folder, const QString& pattern, int limit);

} // namespace windowing
