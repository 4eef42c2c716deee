#include "Error.h"

namespace swf {

std::string_view errorText(ErrorCode code)
{
    switch (code) {
#define SWF_ERROR_CASE(name, text)                                                                 \
    case ErrorCode::name:                                                                          \
        return text;
        SWF_ERROR_LIST(SWF_ERROR_CASE)
#undef SWF_ERROR_CASE
    }
    return "unknown error";
}

std::string Error::message() const
{
    std::string text(errorText(code));
    if (!detail.empty()) {
        text += " (";
        text += detail;
        text += ')';
    }
    return text;
}

} // namespace swf
