#pragma once

#include "Form.h"
#include "Runtime.h"

#include <memory>

namespace windowing {

// A form's process-wide default instance: empty until first use, made (raising
// Initialize) by create(), and gone before the application object when the runtime
// ends.
template <typename T> class DefaultInstance {
public:
    bool exists() const { return m_form != nullptr; }
    T* get() const { return m_form.get(); }
    T* operator->() const { return m_form.get(); }
    T& create()
    {
        m_form = Form::create<T>();
        Runtime::atShutdown([this] { m_form.reset(); });
        return *m_form;
    }
    void reset() { m_form.reset(); }

private:
    std::unique_ptr<T> m_form;
};

} // namespace windowing
