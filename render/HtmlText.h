#pragma once

#include <QString>

namespace render {

// The text of an HTML text field as plain lines: tags are dropped, <br> and the end of
// a <p> or <li> break the line, and character references (&amp;, &#233;...) are
// decoded. Styling inside the markup is not kept.
QString plainTextFromHtml(const QString& html);

} // namespace render
