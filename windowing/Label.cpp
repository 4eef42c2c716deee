#include "Label.h"

#include "Fonts.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace windowing {

QColor colorFromBgr(std::int32_t bgr)
{
    return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

std::int32_t bgrFromColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

Label::Label(Form& form, QString name)
    : WindowlessControl(form, std::move(name)), m_metrics(defaultMetrics())
{}

std::shared_ptr<const Label::Metrics> Label::defaultMetrics()
{
    // Measured once: elements of a control array take their first element's font
    // right after they are made, so most labels never use this one.
    static const std::shared_ptr<const Metrics> metrics = measure(QFont());
    return metrics;
}

int Label::Metrics::advance(const QString& text) const
{
    const QFontMetricsF fontMetrics(font);
    qreal width = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSurrogate()) {
            // Characters outside the basic plane are rare: measured each time.
            const qsizetype length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            width += fontMetrics.horizontalAdvance(text.mid(i, length));
            i += length - 1;
            continue;
        }
        auto known = advances.constFind(c.unicode());
        if (known == advances.constEnd())
            known = advances.insert(c.unicode(), fontMetrics.horizontalAdvance(c));
        width += *known;
    }
    return static_cast<int>(std::lround(width));
}

std::shared_ptr<const Label::Metrics> Label::measure(const QFont& font)
{
    auto metrics = std::make_shared<Metrics>();
    metrics->font = font;
    metrics->lineHeight = windowsLineHeight(font);
    metrics->ascent = QFontMetrics(font).ascent();
    return metrics;
}

const QFont& Label::Font() const
{
    return m_metrics->font;
}

void Label::setFont(const QFont& font)
{
    m_metrics = measure(font);
    fitToCaption();
    repaint();
}

void Label::setCaption(const QString& caption)
{
    m_caption = caption;
    fitToCaption();
    repaint();
}

void Label::setForeColor(std::int32_t color)
{
    if (color == m_foreColor)
        return;
    m_foreColor = color;
    repaint();
}

void Label::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    fitToCaption();
}

void Label::copyFrom(const Label& design)
{
    m_metrics = design.m_metrics;
    m_caption = design.m_caption;
    m_tag = design.m_tag;
    m_foreColor = design.m_foreColor;
    m_autoSize = design.m_autoSize;
    setMouseIcon(design.MouseIcon());
    setTabIndex(design.TabIndex());
    Move(design.Left(), design.Top(), design.Width(), design.Height());
}

QString Label::displayText() const
{
    // One line, no wrapping: line breaks and other control characters show as spaces.
    QString text = m_caption;
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

void Label::fitToCaption()
{
    if (!m_autoSize)
        return;
    setStoredSize(fromPixels(m_metrics->advance(displayText())), fromPixels(m_metrics->lineHeight));
}

void Label::paint(QPainter& painter) const
{
    const QRect area = pixelRect();
    painter.save();
    painter.setClipRect(area);
    painter.setFont(m_metrics->font);
    painter.setPen(colorFromBgr(m_foreColor));
    painter.drawText(QPoint(area.left(), area.top() + m_metrics->ascent), displayText());
    painter.restore();
}

} // namespace windowing
