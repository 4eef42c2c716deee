#pragma once

#include "RuntimeError.h"

#include <exception>
#include <functional>
#include <new>

namespace windowing {

// Writes the top level's one line for an error that no handler took, naming the
// event that raised it. The program then goes on with the next event.
void reportUnhandledError(const char* event, ErrorNumber number, const QString& description);

// Runs one event handler as the top level for its errors: no exception leaves it, so
// none crosses Qt's event dispatch.
template <typename Handler> void runEventHandler(const char* event, Handler&& handler) noexcept
{
    try {
        std::invoke(std::forward<Handler>(handler));
    } catch (const RuntimeError& error) {
        reportUnhandledError(event, error.number(), error.description());
    } catch (const std::bad_alloc&) {
        reportUnhandledError(event, ErrorNumber::OutOfMemory, errorText(ErrorNumber::OutOfMemory));
    } catch (const std::exception& error) {
        reportUnhandledError(event, ErrorNumber::InternalError,
                             errorText(ErrorNumber::InternalError) + QStringLiteral(": ") +
                                 QString::fromUtf8(error.what()));
    }
}

} // namespace windowing
