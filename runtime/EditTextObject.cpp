#include "EditTextObject.h"

namespace runtime {

EditTextObject::EditTextObject(PlayerContext& context, const swf::Character* character,
                               const swf::EditText& definition)
    : DisplayObject(context, ObjectKind::EditText, character), m_definition(definition),
      m_text(std::make_shared<const std::string>(definition.initialText))
{}

void EditTextObject::setText(std::string value)
{
    if (value == *m_text)
        return;
    m_text = std::make_shared<const std::string>(std::move(value));
    markContentChanged();
}

} // namespace runtime
