#include "FileListBox.h"

#include "FolderReader.h"
#include "Form.h"
#include "NaturalOrder.h"
#include "RuntimeError.h"

#include <QDir>
#include <QPainter>

namespace windowing {

QStringList listMatchingFiles(const QString& folder, const QString& pattern, int limit)
{
    QStringList names = readFolder(folder, pattern);
    sortNaturally(names, limit);
    return names;
}

class FileListBox::View : public ControlWidget {
public:
    View(FileListBox& list, QWidget* parent) : ControlWidget(list, parent), m_list(list) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
        painter.setPen(palette().color(QPalette::Text));
        const int line = fontMetrics().height();
        for (int i = 0; i < m_list.ListCount() && i * line < height(); ++i)
            painter.drawText(2, (i + 1) * line - fontMetrics().descent(), m_list.List(i));
    }

private:
    FileListBox& m_list;
};

FileListBox::FileListBox(Form& form, QString name) : WindowedControl(form, std::move(name))
{
    setWidget(new View(*this, form.window()));
}

void FileListBox::setPath(const QString& path)
{
    if (!QDir(path).exists())
        raiseError(ErrorNumber::PathNotFound, path);
    m_path = path;
    Refresh();
}

void FileListBox::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    Refresh();
}

void FileListBox::Refresh()
{
    m_names = m_path.isEmpty() ? QStringList() : listMatchingFiles(m_path, m_pattern, kMaxEntries);
    if (widget())
        widget()->update();
}

QString FileListBox::List(std::int32_t index) const
{
    if (index < 0 || index >= m_names.size())
        raiseError(ErrorNumber::InvalidArgument,
                   QStringLiteral("%1.List(%2)").arg(Name()).arg(index));
    return m_names[index];
}

} // namespace windowing
