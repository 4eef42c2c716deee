#pragma once

#include "WindowedControl.h"

#include <QColor>
#include <QPixmap>

namespace windowing {

// A picture box without a border: its picture drawn unscaled at its top-left corner,
// its back colour wherever the picture does not cover it.
class PictureBox : public WindowedControl {
public:
    PictureBox(Form& form, QString name);

    const QPixmap& Picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(QColor color);

private:
    class View;
    QPixmap m_picture;
    QColor m_backColor;
};

} // namespace windowing
