#pragma once

#include "Control.h"
#include "RuntimeError.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace windowing {

class Form;

// A control array: elements reached by a 16-bit index. Element 0 comes from the
// design; element i is made at run time as a copy of element 0 that starts hidden.
// The array's event handlers receive the index of the element that raised the event.
template <typename T> class ControlArray {
public:
    ControlArray(Form& form, QString name) : m_form(form), m_name(std::move(name)) { create(0); }

    // The number of elements.
    std::int16_t Count() const
    {
        if (m_count > std::numeric_limits<std::int16_t>::max())
            raiseError(ErrorNumber::Overflow, m_name + QStringLiteral(".Count"));
        return static_cast<std::int16_t>(m_count);
    }
    bool exists(std::int32_t index) const
    {
        return index >= 0 && index < static_cast<std::int32_t>(m_elements.size()) &&
               m_elements[static_cast<std::size_t>(index)];
    }

    T& operator[](std::int32_t index) const
    {
        if (!exists(index))
            raiseError(ErrorNumber::ElementMissing,
                       QStringLiteral("%1(%2)").arg(m_name).arg(index));
        return *m_elements[static_cast<std::size_t>(index)];
    }

    // Makes element `index` as a copy of element 0, hidden.
    void Load(std::int16_t index)
    {
        if (index < 0)
            raiseError(ErrorNumber::IndexOutOfRange,
                       QStringLiteral("%1(%2)").arg(m_name).arg(index));
        if (exists(index))
            raiseError(ErrorNumber::ElementExists, QStringLiteral("%1(%2)").arg(m_name).arg(index));
        T& element = create(index);
        element.setVisible(false);
        element.copyFrom((*this)[0]);
    }

    void Unload(std::int16_t index)
    {
        if (index == 0)
            raiseError(ErrorNumber::DesignElement, QStringLiteral("%1(0)").arg(m_name));
        if (!exists(index))
            raiseError(ErrorNumber::ElementMissing,
                       QStringLiteral("%1(%2)").arg(m_name).arg(index));
        m_elements[static_cast<std::size_t>(index)].reset();
        --m_count;
        while (!m_elements.empty() && !m_elements.back())
            m_elements.pop_back();
    }

    std::function<void(std::int16_t)> Click;
    std::function<void(std::int16_t, const MouseEventArgs&)> MouseDown;
    std::function<void(std::int16_t, const MouseEventArgs&)> MouseMove;
    std::function<void(std::int16_t, const MouseEventArgs&)> MouseUp;

private:
    T& create(std::int16_t index)
    {
        auto element = std::make_unique<T>(m_form, m_name);
        element->Click = [this, index] {
            if (Click)
                Click(index);
        };
        element->MouseDown = [this, index](const MouseEventArgs& args) {
            if (MouseDown)
                MouseDown(index, args);
        };
        element->MouseMove = [this, index](const MouseEventArgs& args) {
            if (MouseMove)
                MouseMove(index, args);
        };
        element->MouseUp = [this, index](const MouseEventArgs& args) {
            if (MouseUp)
                MouseUp(index, args);
        };
        const auto slot = static_cast<std::size_t>(index);
        if (m_elements.size() <= slot)
            m_elements.resize(slot + 1);
        m_elements[slot] = std::move(element);
        ++m_count;
        return *m_elements[slot];
    }

    Form& m_form;
    QString m_name;
    std::vector<std::unique_ptr<T>> m_elements;
    std::int32_t m_count = 0;
};

} // namespace windowing
