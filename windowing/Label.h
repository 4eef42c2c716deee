#pragma once

#include "WindowlessControl.h"

#include <QFont>
#include <QHash>
#include <QString>
#include <cstdint>
#include <memory>

namespace windowing {

// A text label without a window of its own. With AutoSize on it sizes itself to its
// caption: the caption's advance wide and one line high, the line measured as the
// original platform measures it. The background is transparent: only the text is
// drawn, over the form.
class Label : public WindowlessControl {
public:
    Label(Form& form, QString name);

    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    const QString& Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }
    // 0x00BBGGRR, blue in the high byte.
    std::int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(std::int32_t color);
    const QFont& Font() const;
    void setFont(const QFont& font);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);

    // Takes every property of `design` (font, colours, size, alignment, position,
    // caption, tag, pointer), as an element of a control array is made from element 0.
    void copyFrom(const Label& design);

    void paint(QPainter& painter) const override;

private:
    // The font and its measures, shared by the copies of one label.
    struct Metrics {
        QFont font;
        int lineHeight = 0;
        int ascent = 0;
        // Advances of the characters measured so far: a caption's width is their sum,
        // rounded, with no shaping between characters.
        mutable QHash<char16_t, qreal> advances;
        int advance(const QString& text) const;
    };
    static std::shared_ptr<const Metrics> defaultMetrics();
    static std::shared_ptr<const Metrics> measure(const QFont& font);
    void fitToCaption();
    QString displayText() const;

    QString m_caption;
    QString m_tag;
    std::int32_t m_foreColor = 0;
    bool m_autoSize = false;
    std::shared_ptr<const Metrics> m_metrics;
};

// A colour in the 0x00BBGGRR encoding, and back.
QColor colorFromBgr(std::int32_t bgr);
std::int32_t bgrFromColor(const QColor& color);

} // namespace windowing
