#include "EditTextObject.h"

#include "PlayerContext.h"
#include "TextFonts.h"
#include "TextHtml.h"

#include <algorithm>
#include <cmath>

namespace runtime {

namespace {

// Line ends as fields keep them: every LF and CR is a '\r' of its own, so CR LF
// breaks the line twice, as the reference lays it out.
std::u16string withFieldLineEnds(std::u16string text)
{
    std::replace(text.begin(), text.end(), u'\n', u'\r');
    return text;
}

swf::Rgba rgbaOf(std::uint32_t color)
{
    return swf::Rgba{static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 8),
                     static_cast<std::uint8_t>(color), 255};
}

} // namespace

EditTextObject::EditTextObject(PlayerContext& context, const swf::Character* character,
                               const swf::EditText& definition)
    : DisplayObject(context, ObjectKind::EditText, character),
      m_text(std::make_shared<const std::string>(definition.initialText))
{
    if (character) {
        // Shares the movie's ownership: the character lives as long as the movie.
        m_look = std::shared_ptr<const swf::Character>(context.moviePtr(), character);
    } else {
        auto own = std::make_shared<swf::Character>();
        own->data = definition;
        m_look = own;
    }
    m_html = definition.html;
    m_initialText = definition.initialText;
    // A field the movie gives a border shows it on a background.
    m_extras.background = definition.border;
    if (definition.autoSize)
        m_extras.autoSize = "left";
    if (const auto& rendering = definition.rendering) {
        m_extras.antiAliasType = rendering->advanced ? "advanced" : "normal";
        static constexpr const char* kGridFit[] = {"none", "pixel", "subpixel"};
        if (rendering->gridFit < std::size(kGridFit))
            m_extras.gridFitType = kGridFit[rendering->gridFit];
        m_extras.thickness = rendering->thickness;
        m_extras.sharpness = rendering->sharpness;
    }
    m_newFormat = initialFormat(definition, &context.movie());
    const std::u16string initial = toUtf16(definition.initialText);
    if (m_html)
        m_content = parseHtml(initial, m_newFormat, htmlOptions());
    else
        m_content.assign(withFieldLineEnds(initial), m_newFormat);
}

HtmlOptions EditTextObject::htmlOptions() const
{
    HtmlOptions options;
    options.condenseWhite = m_extras.condenseWhite;
    options.multiline = definition().multiline;
    options.styles = m_styles.get();
    options.beforeSwf8 = movie().header.version < 8;
    return options;
}

std::shared_ptr<EditTextObject> EditTextObject::createForScript(PlayerContext& context,
                                                                const swf::Rect& box)
{
    swf::EditText definition;
    definition.bounds = box;
    definition.readOnly = true;
    definition.height = 240;
    return std::make_shared<EditTextObject>(context, nullptr, definition);
}

Bounds EditTextObject::localBounds() const
{
    return Bounds::fromRect(definition().bounds);
}

swf::EditText& EditTextObject::ownDefinition()
{
    // A fresh copy each time: a draw list built earlier may still hold the last one.
    auto copy = std::make_shared<swf::Character>(*m_look);
    auto& field = std::get<swf::EditText>(copy->data);
    if (!m_ownLook) {
        // From now on the drawn text is the plain text this object keeps.
        field.html = false;
        field.initialText.clear();
    }
    m_ownLook = copy;
    m_look = copy;
    m_layout.reset();
    markContentChanged();
    return field;
}

void EditTextObject::textToDraw()
{
    std::string shown = toUtf8(m_content.text());
    std::replace(shown.begin(), shown.end(), '\r', '\n');
    m_text = std::make_shared<const std::string>(std::move(shown));
}

void EditTextObject::contentChanged()
{
    if (!m_ownLook)
        ownDefinition();
    m_selection = m_selection.clamped(m_content.length());
    textToDraw();
    m_layout.reset();
    markContentChanged();
    fitToText();
}

void EditTextObject::setText(std::string_view utf8)
{
    // With a style sheet, text is markup too.
    if (m_styles) {
        setHtmlText(utf8);
        return;
    }
    m_content.assign(withFieldLineEnds(toUtf16(utf8)), m_newFormat);
    m_styledSource.reset();
    contentChanged();
}

void EditTextObject::setStyleSheet(std::shared_ptr<const TextStyles> styles)
{
    m_styles = std::move(styles);
}

void EditTextObject::restoreInitialText()
{
    const std::u16string initial = toUtf16(m_initialText);
    if (m_html)
        m_content = parseHtml(initial, m_newFormat, htmlOptions());
    else
        m_content.assign(withFieldLineEnds(initial), m_newFormat);
    contentChanged();
}

std::string EditTextObject::htmlText() const
{
    if (m_styles)
        return m_styledSource ? *m_styledSource : toUtf8(toHtml(m_content));
    if (!m_html)
        return plainText();
    return toUtf8(toHtml(m_content));
}

void EditTextObject::setHtmlText(std::string_view utf8)
{
    if (!m_html && !m_styles) {
        setText(utf8);
        return;
    }
    // Paragraphs the markup does not align are aligned left.
    m_newFormat.align = swf::TextAlign::Left;
    m_content = parseHtml(toUtf16(utf8), m_newFormat, htmlOptions());
    if (m_styles)
        m_styledSource = std::string(utf8);
    else
        m_styledSource.reset();
    contentChanged();
}

void EditTextObject::replaceText(std::size_t begin, std::size_t end, std::string_view utf8)
{
    const TextFormat format = formatOf(begin, begin);
    m_content.replace(begin, end, withFieldLineEnds(toUtf16(utf8)), format);
    contentChanged();
}

void EditTextObject::setSelection(TextSelection selection)
{
    selection = selection.clamped(m_content.length());
    if (selection == m_selection)
        return;
    m_selection = selection;
    // The caret and the selection are drawn with the text.
    markContentChanged();
}

void EditTextObject::setNewTextFormat(const TextFormat& format)
{
    m_newFormat.apply(format);
}

TextFormat EditTextObject::formatOf(std::size_t begin, std::size_t end) const
{
    return m_content.formatOf(begin, end).value_or(m_newFormat);
}

void EditTextObject::applyFormat(std::size_t begin, std::size_t end, const TextFormat& format)
{
    m_content.applyFormat(begin, end, format);
    contentChanged();
}

void EditTextObject::setHtml(bool value)
{
    m_html = value;
}

void EditTextObject::setBorder(bool value)
{
    if (definition().border != value)
        ownDefinition().border = value;
}

void EditTextObject::setWordWrap(bool value)
{
    if (definition().wordWrap != value)
        ownDefinition().wordWrap = value;
    fitToText();
}

void EditTextObject::setMultiline(bool value)
{
    if (definition().multiline != value)
        ownDefinition().multiline = value;
}

void EditTextObject::setPassword(bool value)
{
    if (definition().password != value)
        ownDefinition().password = value;
}

void EditTextObject::setReadOnly(bool value)
{
    if (definition().readOnly != value)
        ownDefinition().readOnly = value;
}

void EditTextObject::setSelectable(bool value)
{
    if (definition().noSelect == value)
        ownDefinition().noSelect = !value;
}

void EditTextObject::setEmbedFonts(bool value)
{
    if (definition().useOutlines != value)
        ownDefinition().useOutlines = value;
    fitToText();
}

void EditTextObject::setAutoSize(bool value)
{
    if (definition().autoSize != value)
        ownDefinition().autoSize = value;
    fitToText();
}

void EditTextObject::setMaxChars(std::optional<std::uint16_t> value)
{
    if (definition().maxLength != value)
        ownDefinition().maxLength = value;
}

void EditTextObject::setVariableName(std::string value)
{
    if (definition().variableName != value)
        ownDefinition().variableName = std::move(value);
}

void EditTextObject::setTextColor(std::uint32_t color)
{
    color &= 0xFFFFFF;
    TextFormat format;
    format.color = color;
    m_newFormat.apply(format);
    m_content.applyFormat(0, m_content.length(), format);
    swf::EditText& field = ownDefinition();
    field.color = rgbaOf(color);
    contentChanged();
}

namespace {

// A side of the field's box from a script's number: within half the 32-bit range, so
// that the box's width and height stay in range too.
std::int32_t boxSide(double twips)
{
    return static_cast<std::int32_t>(
        std::clamp(twips, double(INT32_MIN / 2), double(INT32_MAX / 2)));
}

} // namespace

void EditTextObject::setBoxWidth(double twips)
{
    swf::Rect box = definition().bounds;
    box.xMax = swf::Twips{boxSide(box.xMin.value + std::max(0.0, twips))};
    ownDefinition().bounds = box;
    // autoSize fits the new box to the text again, from the edge it keeps.
    fitToText();
}

void EditTextObject::setBoxHeight(double twips)
{
    swf::Rect box = definition().bounds;
    box.yMax = swf::Twips{boxSide(box.yMin.value + std::max(0.0, twips))};
    ownDefinition().bounds = box;
    fitToText();
}

std::shared_ptr<const TextLayout> EditTextObject::layout() const
{
    if (!m_layout) {
        const swf::EditText& field = definition();
        FieldFonts fonts(movie(), context().host(), field);
        TextBox box;
        box.width = field.bounds.width().value;
        box.height = field.bounds.height().value;
        box.wordWrap = field.wordWrap;
        box.password = field.password;
        m_layout = std::make_shared<const TextLayout>(layoutText(m_content, box, fonts));
    }
    return m_layout;
}

int EditTextObject::scroll() const
{
    return std::clamp(m_extras.scroll, 1, layout()->maxScroll());
}

void EditTextObject::setScroll(int line)
{
    const int value = std::clamp(line, 1, layout()->maxScroll());
    if (value != scroll())
        markContentChanged();
    m_extras.scroll = value;
}

std::int32_t EditTextObject::hscroll() const
{
    return std::clamp(m_extras.hscroll, 0, layout()->maxHScroll());
}

void EditTextObject::setHScroll(std::int32_t pixels)
{
    const std::int32_t value = std::clamp(pixels, 0, layout()->maxHScroll());
    if (value != hscroll())
        markContentChanged();
    m_extras.hscroll = value;
}

void EditTextObject::fitToText()
{
    const std::string& mode = m_extras.autoSize;
    if (mode != "left" && mode != "center" && mode != "right")
        return;
    const std::shared_ptr<const TextLayout> laid = layout();
    swf::Rect box = definition().bounds;
    const std::int32_t width = box.width().value;
    const std::int32_t height = laid->textHeight + 2 * kTextGutter;
    std::int32_t newWidth = width;
    if (!definition().wordWrap)
        newWidth = laid->textWidth + 2 * kTextGutter;
    if (newWidth == width && height == box.height().value)
        return;
    std::int32_t shift = 0;
    if (mode == "right")
        shift = width - newWidth;
    else if (mode == "center")
        shift = (width - newWidth) / 2;
    box.xMax = swf::Twips{box.xMin.value + newWidth};
    box.yMax = swf::Twips{box.yMin.value + height};
    ownDefinition().bounds = box;
    if (shift != 0) {
        // The box keeps its place in the field's own space: the field moves.
        swf::Matrix moved = matrix();
        moved.tx += moved.a * shift;
        moved.ty += moved.b * shift;
        setMatrix(moved);
        m_extras.autoSizeShift += shift;
    }
}

std::array<std::int32_t, 4> EditTextObject::scrollState() const
{
    const std::shared_ptr<const TextLayout> laid = layout();
    return {scroll(), laid->maxScroll(), hscroll(), laid->maxHScroll()};
}

swf::Matrix EditTextObject::placedMatrix() const
{
    swf::Matrix placed = matrix();
    const auto shift = static_cast<double>(m_extras.autoSizeShift);
    placed.tx -= placed.a * shift;
    placed.ty -= placed.b * shift;
    return placed;
}

} // namespace runtime
