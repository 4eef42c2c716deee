#include "EditTextWriter.h"

namespace swfwriter {

std::vector<std::uint8_t> editTextBody(std::uint16_t id, const EditTextFields& f)
{
    ByteWriter out;
    out.u16(id);
    writeRect(out, f.bounds);
    const bool flags[16] = {f.initialText.has_value(),
                            f.wordWrap,
                            f.multiline,
                            f.password,
                            f.readOnly,
                            f.color.has_value(),
                            f.maxLength.has_value(),
                            f.fontId.has_value(),
                            f.fontClass.has_value(),
                            f.autoSize,
                            f.layout.has_value(),
                            f.noSelect,
                            f.border,
                            f.wasStatic,
                            f.html,
                            f.useOutlines};
    for (bool flag : flags)
        out.ub(1, flag);
    if (f.fontId)
        out.u16(*f.fontId);
    if (f.fontClass)
        out.cstring(*f.fontClass);
    if (f.fontId || f.fontClass)
        out.u16(f.height);
    if (f.color)
        writeRgba(out, *f.color);
    if (f.maxLength)
        out.u16(*f.maxLength);
    if (f.layout) {
        out.u8(f.layout->align);
        out.u16(f.layout->leftMargin);
        out.u16(f.layout->rightMargin);
        out.u16(f.layout->indent);
        out.s16(f.layout->leading);
    }
    out.cstring(f.variableName);
    if (f.initialText)
        out.cstring(*f.initialText);
    return out.data();
}

} // namespace swfwriter
