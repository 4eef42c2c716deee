#pragma once

#include <QWidget>

namespace windowing {

class Form;

// The top-level widget behind a form: it paints the form and its windowless controls
// and hands every window event to the form.
class FormWidget : public QWidget {
public:
    explicit FormWidget(Form& form);

    Form& form() const { return m_form; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Form& m_form;
};

} // namespace windowing
