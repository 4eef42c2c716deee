// Strings: StringAdd, StringEquals, StringLess, StringGreater, StringLength,
// StringExtract, ToString, CharToAscii, AsciiToChar and their multibyte forms.
#include "Handlers.h"
#include "Stack.h"

#include <cmath>

namespace avm1::handlers {

namespace {

// Code points of UTF-8 text; a malformed byte stands for itself.
std::vector<char32_t> codePoints(std::string_view text)
{
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (i + static_cast<std::size_t>(extra) >= text.size() + (extra ? 0 : 1))
            extra = 0;
        char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// StringExtract's index counts from 1; out-of-range pieces give what overlaps.
void extract(Interpreter& in)
{
    Vm& vm = in.vm();
    const double count = vm.toInteger(pop(in));
    const double index = vm.toInteger(pop(in));
    String* text = vm.toString(pop(in));
    const std::vector<char32_t> cps = codePoints(text->view());
    const double size = static_cast<double>(cps.size());
    double start = std::max(index - 1, 0.0);
    double length = count < 0 ? size : count;
    if (start >= size || length <= 0) {
        push(in, Value(vm.names().empty));
        return;
    }
    const double end = std::min(size, start + length);
    std::string out;
    for (auto i = static_cast<std::size_t>(start); i < static_cast<std::size_t>(end); ++i)
        appendUtf8(out, cps[i]);
    push(in, Value(vm.str(std::move(out))));
}

int compareText(Vm& vm, Value a, Value b)
{
    const std::string_view x = vm.toString(a)->view();
    const std::string_view y = vm.toString(b)->view();
    return x.compare(y);
}

} // namespace

void doStringAdd(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    std::string text = vm.toString(a)->text();
    text += vm.toString(b)->view();
    push(in, Value(vm.str(std::move(text))));
}

void doStringEquals(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    const bool equal = compareText(vm, a, b) == 0;
    push(in, frame.swfVersion < 5 ? Value(equal ? 1 : 0) : Value(equal));
}

void doStringLess(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    const bool less = compareText(vm, a, b) < 0;
    push(in, frame.swfVersion < 5 ? Value(less ? 1 : 0) : Value(less));
}

void doStringGreater(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    push(in, Value(compareText(vm, a, b) > 0));
}

void doStringLength(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    push(in, Value(vm.stringLength(vm.toString(pop(in)))));
}

void doMBStringLength(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    push(in, Value(static_cast<double>(codePoints(vm.toString(pop(in))->view()).size())));
}

void doStringExtract(Interpreter& in, Activation&, const Instruction&)
{
    extract(in);
}

void doMBStringExtract(Interpreter& in, Activation&, const Instruction&)
{
    extract(in);
}

void doToString(Interpreter& in, Activation&, const Instruction&)
{
    push(in, Value(in.vm().toString(pop(in))));
}

void doCharToAscii(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const std::vector<char32_t> cps = codePoints(vm.toString(pop(in))->view());
    push(in, cps.empty() ? Value(0) : Value(static_cast<double>(cps[0])));
}

void doMBCharToAscii(Interpreter& in, Activation& frame, const Instruction& ins)
{
    doCharToAscii(in, frame, ins);
}

void doAsciiToChar(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const double code = vm.toInteger(pop(in));
    std::string out;
    const auto cp = static_cast<char32_t>(static_cast<std::uint32_t>(std::fmod(code, 65536.0)));
    if (cp != 0)
        appendUtf8(out, cp);
    push(in, Value(vm.str(std::move(out))));
}

void doMBAsciiToChar(Interpreter& in, Activation& frame, const Instruction& ins)
{
    doAsciiToChar(in, frame, ins);
}

} // namespace avm1::handlers
