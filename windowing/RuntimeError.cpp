#include "RuntimeError.h"

namespace windowing {

QString errorText(ErrorNumber number)
{
    switch (number) {
#define WINDOWING_ERROR_CASE(name, value, text)                                                    \
    case ErrorNumber::name:                                                                        \
        return QStringLiteral(text);
        WINDOWING_ERROR_LIST(WINDOWING_ERROR_CASE)
#undef WINDOWING_ERROR_CASE
    }
    return QStringLiteral("Unknown error");
}

RuntimeError::RuntimeError(ErrorNumber number, QString detail)
    : m_number(number), m_detail(std::move(detail)), m_what(description().toStdString())
{}

QString RuntimeError::description() const
{
    if (m_detail.isEmpty())
        return errorText(m_number);
    return errorText(m_number) + QStringLiteral(": ") + m_detail;
}

void raiseError(ErrorNumber number, QString detail)
{
    throw RuntimeError(number, std::move(detail));
}

} // namespace windowing
