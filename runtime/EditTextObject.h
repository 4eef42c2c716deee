#pragma once

#include "DisplayObject.h"
#include "RichText.h"
#include "TextFormat.h"
#include "TextHtml.h"
#include "TextLayout.h"
#include "TextSelection.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace runtime {

// A placed DefineEditText, or a field a script made (createTextField): a text field
// whose text and settings scripts may change, directly or through the variable it is
// bound to.
//
// The field draws from a character of its own once a script changes how it looks
// (text, colours, box, flags): until then it shows its definition as the movie has it.
class EditTextObject : public DisplayObject {
public:
    EditTextObject(PlayerContext& context, const swf::Character* character,
                   const swf::EditText& definition);
    // A field with no definition in the movie, covering `box` (twips, its own space),
    // with the settings createTextField gives.
    static std::shared_ptr<EditTextObject> createForScript(PlayerContext& context,
                                                           const swf::Rect& box);

    // The settings as they are now (the definition's, then what scripts changed).
    const swf::EditText& definition() const { return std::get<swf::EditText>(m_look->data); }
    // What the renderer draws: the field's character as it is now.
    const std::shared_ptr<const swf::Character>& drawCharacter() const { return m_look; }
    // The text as drawn: UTF-8, HTML when definition() says so (until a script changes
    // the field, after which it is plain text with '\n' line ends).
    const std::string& text() const { return *m_text; }
    // The same text, shared so that a draw list can keep it while it is drawn.
    const std::shared_ptr<const std::string>& sharedText() const { return m_text; }
    // The variable the field shows ("" for none).
    const std::string& variableName() const { return definition().variableName; }

    Bounds localBounds() const override;

    // --- What scripts change ------------------------------------------------------------
    const RichText& content() const { return m_content; }
    // The text without markup: UTF-8, paragraphs ending in '\r'.
    std::string plainText() const { return toUtf8(m_content.text()); }
    // Replaces the text, in the format new text gets (read as HTML while the field has a
    // style sheet).
    void setText(std::string_view utf8);
    // The markup of the text (HTML fields), or the plain text (others).
    std::string htmlText() const;
    // HTML fields take markup; others take it as plain text.
    void setHtmlText(std::string_view utf8);
    // The text the definition started with, as it was shown first.
    void restoreInitialText();
    // Replaces units [begin, end) in the format of the unit at `begin`.
    void replaceText(std::size_t begin, std::size_t end, std::string_view utf8);

    // The selection and caret, within the text; kept when the text changes, as far as
    // the new text reaches.
    const TextSelection& selection() const { return m_selection; }
    void setSelection(TextSelection selection);

    const TextFormat& newTextFormat() const { return m_newFormat; }
    void setNewTextFormat(const TextFormat& format);
    // The attributes units [begin, end) share; the new text format when there is no text.
    TextFormat formatOf(std::size_t begin, std::size_t end) const;
    void applyFormat(std::size_t begin, std::size_t end, const TextFormat& format);

    // A style sheet's styles (null for none). While a field has a sheet its htmlText
    // is read as HTML and reads back as it was given.
    void setStyleSheet(std::shared_ptr<const TextStyles> styles);
    bool hasStyleSheet() const { return m_styles != nullptr; }

    // Whether the field reads and writes HTML.
    bool isHtml() const { return m_html; }
    void setHtml(bool value);
    // Settings kept in the character (they change how the field draws).
    void setBorder(bool value);
    void setWordWrap(bool value);
    void setMultiline(bool value);
    void setPassword(bool value);
    void setReadOnly(bool value);
    void setSelectable(bool value);
    void setEmbedFonts(bool value);
    void setAutoSize(bool value);
    void setMaxChars(std::optional<std::uint16_t> value);
    void setVariableName(std::string value);
    // The colour of all the text and of new text (0xRRGGBB).
    std::uint32_t textColor() const { return m_newFormat.color.value_or(0); }
    void setTextColor(std::uint32_t color);
    // The box in its own twips, resized from its top left corner.
    void setBoxWidth(double twips);
    void setBoxHeight(double twips);

    // The text laid out in the box as it is now (kept until the text or the settings
    // change), and what scripts read of it.
    std::shared_ptr<const TextLayout> layout() const;
    // The top line in view (1 up to the layout's maxScroll()), and the pixels the text
    // is moved left.
    int scroll() const;
    void setScroll(int line);
    std::int32_t hscroll() const;
    void setHScroll(std::int32_t pixels);
    // scroll, maxscroll, hscroll and maxhscroll: what onScroller tells a change of.
    std::array<std::int32_t, 4> scrollState() const;
    // The field's matrix without the moves autoSize made: where scripts placed it.
    swf::Matrix placedMatrix() const;
    // With autoSize on, fits the box to the text: its height always, its width (and,
    // centred or right, its position) when words do not wrap.
    void fitToText();

    // Settings only scripts see (nothing draws them yet).
    struct Extras {
        bool background = false;
        std::uint32_t backgroundColor = 0xFFFFFF;
        std::uint32_t borderColor = 0x000000;
        bool condenseWhite = false;
        bool mouseWheelEnabled = true;
        std::optional<std::string> restrict;
        std::optional<std::int32_t> tabIndex;
        // "none", "left", "center" or "right".
        std::string autoSize = "none";
        std::int32_t scroll = 1;
        std::int32_t hscroll = 0;
        std::string antiAliasType = "normal";
        std::string gridFitType = "pixel";
        double sharpness = 0;
        double thickness = 0;
        // How far autoSize moved the field along its own x axis, in twips.
        std::int64_t autoSizeShift = 0;
    };
    Extras& extras() { return m_extras; }
    const Extras& extras() const { return m_extras; }

private:
    swf::EditText& ownDefinition();
    HtmlOptions htmlOptions() const;
    // The text changed: the drawn text follows.
    void contentChanged();
    void textToDraw();

    std::shared_ptr<const swf::Character> m_look;
    // Set once the field has its own copy of the character.
    std::shared_ptr<swf::Character> m_ownLook;
    RichText m_content;
    TextFormat m_newFormat;
    Extras m_extras;
    TextSelection m_selection;
    bool m_html = false;
    std::string m_initialText;
    // Replaced, never changed in place: a draw list built earlier keeps the old text.
    std::shared_ptr<const std::string> m_text;
    mutable std::shared_ptr<const TextLayout> m_layout;
    std::shared_ptr<const TextStyles> m_styles;
    // The text or markup last given while the field had a style sheet.
    std::optional<std::string> m_styledSource;
};

} // namespace runtime
