#include "PictureBox.h"

#include "Form.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

namespace windowing {

class PictureBox::View : public ControlWidget {
public:
    View(PictureBox& box, QWidget* parent) : ControlWidget(box, parent), m_box(box)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), m_box.BackColor());
        painter.drawPixmap(0, 0, m_box.Picture());
    }

private:
    PictureBox& m_box;
};

PictureBox::PictureBox(Form& form, QString name)
    : WindowedControl(form, std::move(name)),
      // The control kind's ordinary default: the system's button face.
      m_backColor(QApplication::palette().color(QPalette::Button))
{
    setWidget(new View(*this, form.window()));
}

void PictureBox::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    if (widget())
        widget()->update();
}

void PictureBox::setBackColor(QColor color)
{
    m_backColor = color;
    if (widget())
        widget()->update();
}

} // namespace windowing
