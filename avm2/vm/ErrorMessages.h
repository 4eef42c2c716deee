#pragma once

#include <string_view>

namespace avm2 {

// The reference's text for a run-time error number, with %1.. where arguments go;
// empty for a number it has no text for here.
std::u16string_view errorText(int number);

} // namespace avm2
