// Strings: StringAdd, StringEquals, StringLess, StringGreater, StringLength,
// StringExtract, ToString, CharToAscii, AsciiToChar and their multibyte forms.
#include "Handlers.h"
#include "Stack.h"
#include "avm1/StringUnits.h"

namespace avm1::handlers {

namespace {

// Bytes in SWF 5, UTF-16 units from SWF 6, for the plain and the multibyte forms
// alike: the reference's mbord reads the first byte of UTF-8 text in SWF 5 too.
CharUnits plainUnits(const Activation& frame)
{
    return charUnitsFor(frame.swfVersion);
}

// StringExtract's index counts from 1; out-of-range pieces give what overlaps.
void extract(Interpreter& in, CharUnits units)
{
    Vm& vm = in.vm();
    const std::int32_t count = vm.toInt32(pop(in));
    const std::int32_t index = vm.toInt32(pop(in));
    String* text = vm.toString(pop(in));
    push(in, Value(vm.str(extractUnits(text, index, count, units))));
}

void charToAscii(Interpreter& in, CharUnits units)
{
    Vm& vm = in.vm();
    push(in, Value(static_cast<double>(firstCharCode(vm.toString(pop(in)), units))));
}

void asciiToChar(Interpreter& in, CharUnits units)
{
    Vm& vm = in.vm();
    push(in, Value(vm.str(charFromCode(vm.toUint32(pop(in)), units))));
}

// The SWF 4 string operations convert their second operand, the top of the stack,
// before the first, as the reference does (a toString with effects shows it).
int compareText(Vm& vm, Value a, Value b)
{
    const std::string_view y = vm.toString(b)->view();
    const std::string_view x = vm.toString(a)->view();
    return x.compare(y);
}

} // namespace

void doStringAdd(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    const Value b = pop(in);
    const Value a = pop(in);
    String* second = vm.toString(b);
    std::string text = vm.toString(a)->text();
    text += second->view();
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

void doMBStringLength(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    push(in, Value(static_cast<double>(unitLength(vm.toString(pop(in)), plainUnits(frame)))));
}

void doStringExtract(Interpreter& in, Activation& frame, const Instruction&)
{
    extract(in, plainUnits(frame));
}

void doMBStringExtract(Interpreter& in, Activation& frame, const Instruction&)
{
    extract(in, plainUnits(frame));
}

void doToString(Interpreter& in, Activation&, const Instruction&)
{
    push(in, Value(in.vm().toString(pop(in))));
}

void doCharToAscii(Interpreter& in, Activation& frame, const Instruction&)
{
    charToAscii(in, plainUnits(frame));
}

void doMBCharToAscii(Interpreter& in, Activation& frame, const Instruction&)
{
    charToAscii(in, plainUnits(frame));
}

void doAsciiToChar(Interpreter& in, Activation& frame, const Instruction&)
{
    asciiToChar(in, plainUnits(frame));
}

void doMBAsciiToChar(Interpreter& in, Activation& frame, const Instruction&)
{
    asciiToChar(in, plainUnits(frame));
}

} // namespace avm1::handlers
