#pragma once

#include "DisplayObject.h"

#include <memory>
#include <string>

namespace runtime {

// A placed DefineEditText: a text field whose text scripts may change, directly or
// through the variable it is bound to.
class EditTextObject : public DisplayObject {
public:
    EditTextObject(PlayerContext& context, const swf::Character* character,
                   const swf::EditText& definition);

    const swf::EditText& definition() const { return m_definition; }
    // The text as shown: UTF-8, HTML when the definition says so.
    const std::string& text() const { return *m_text; }
    // The same text, shared so that a draw list can keep it while it is drawn.
    const std::shared_ptr<const std::string>& sharedText() const { return m_text; }
    void setText(std::string value);
    // The variable the field shows ("" for none), as the definition names it.
    const std::string& variableName() const { return m_definition.variableName; }

private:
    const swf::EditText& m_definition;
    // Replaced, never changed in place: a draw list built earlier keeps the old text.
    std::shared_ptr<const std::string> m_text;
};

} // namespace runtime
