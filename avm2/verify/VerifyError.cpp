#include "VerifyError.h"

namespace avm2 {

std::string VerifyError::message() const
{
    const char* text = "";
    switch (kind) {
#define AVM2_VERIFY_ERROR_TEXT(name, number, message)                                              \
    case VerifyErrorKind::name:                                                                    \
        text = message;                                                                            \
        break;
        AVM2_VERIFY_ERROR_LIST(AVM2_VERIFY_ERROR_TEXT)
#undef AVM2_VERIFY_ERROR_TEXT
    }
    return "Error #" + std::to_string(number()) + ": " + text + ".";
}

} // namespace avm2
