#pragma once

// flash.utils.ByteArray's native object: the bytes, the read and write position, the
// byte order and the AMF version readObject and writeObject use.
#include "avm2/vm/Object.h"

#include <cstdint>
#include <string>
#include <vector>

namespace avm2 {

class ByteArrayObject final : public Object {
public:
    ByteArrayObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::ByteArray)
    {}

    std::vector<std::uint8_t> bytes;
    std::uint32_t position = 0;
    bool littleEndian = false;
    std::uint32_t objectEncoding = 3;

    std::uint32_t length() const { return static_cast<std::uint32_t>(bytes.size()); }
    std::uint32_t available() const { return position < length() ? length() - position : 0; }
    // Writes at the position, growing the array; false past the length cap.
    bool write(const std::uint8_t* data, std::size_t n);
    // Resizes, zero-filling; false past the cap.
    bool resize(std::uint64_t n);

    bool getIndex(Vm& vm, std::uint32_t index, Value& out) override;
    bool setIndex(Vm& vm, std::uint32_t index, const Value& value) override;
    bool deleteIndex(Vm& vm, std::uint32_t index) override;
    bool hasIndex(std::uint32_t index) const override;
    std::size_t extraBytes() const override { return bytes.capacity(); }
};

// Throws a new instance of a class found by name ("flash.errors::EOFError") with the
// message "Error #N: text" and the error number; returns undefined.
Value throwNamedError(Vm& vm, std::u16string_view qualifiedClass, int number,
                      std::u16string_view text);

// Makes a new, empty ByteArray (for readObject, the AMF bridge and other classes).
ByteArrayObject* newByteArray(Vm& vm);

} // namespace avm2
