// String's methods that take a regular expression: match, search, replace and split
// with a RegExp, over the engine's walks (script/regexp/).
#include "StringRegExp.h"

#include "RegExpSupport.h"
#include "avm2/Limits.h"
#include "script/regexp/MatchAll.h"
#include "script/regexp/Replacement.h"
#include "script/regexp/Split.h"

namespace avm2 {

using namespace native;
namespace rx = script::regexp;

namespace {

bool receiverText(Vm& vm, const Value& self, String*& out)
{
    out = self.isString() ? self.asString() : vm.toString(self);
    return !vm.throwing();
}

Value substring(Vm& vm, std::u16string_view subject, const rx::Span& span)
{
    return Value(vm.newString(std::u16string(subject.substr(span.begin, span.length()))));
}

// The matches replace walks: every one when global, else the first from offset 0.
bool replaceTargets(Vm& vm, RegExpObject& re, std::u16string_view subject,
                    std::vector<rx::Match>& out)
{
    if (!re.compiled)
        return true;
    if (re.flags.global) {
        rx::MatchList list = rx::matchAll(*re.compiled, subject);
        re.lastIndex = 0;
        if (list.status == rx::MatchStatus::LimitExceeded) {
            vm.throwError(ErrorType::Error, 1023);
            return false;
        }
        out = std::move(list.matches);
        return true;
    }
    rx::ExecResult r;
    if (!execRegExp(vm, re, subject, 0, r))
        return false;
    if (r.matched())
        out.push_back(std::move(r.match));
    return true;
}

// The replacement function's result for one match: it is called with the match, each
// group (undefined when not set), the match's index and the whole subject.
bool appendCallResult(Vm& vm, std::u16string& out, const Value& fn, String* input,
                      const rx::Match& match)
{
    const std::u16string_view subject = input->view();
    std::vector<Value> args;
    args.reserve(match.groups.size() + 2);
    for (const auto& group : match.groups)
        args.push_back(group ? substring(vm, subject, *group) : Value());
    args.push_back(Value::number(static_cast<double>(match.whole().begin)));
    args.push_back(Value(input));
    Value r = vm.call(fn, Value::null(), args);
    if (vm.throwing())
        return false;
    out += vm.toText(r);
    return !vm.throwing();
}

constexpr std::size_t kLimit = limits::kMaxBuiltStringUnits;

} // namespace

Value replaceByRegExp(Vm& vm, const std::u16string& subjectText, const Value& regexp,
                      const Value& replacement)
{
    RegExpObject* re = asRegExp(regexp);
    String* input = vm.newString(subjectText);
    const std::u16string_view subject = input->view();
    std::vector<rx::Match> matches;
    if (!replaceTargets(vm, *re, subject, matches))
        return Value();
    const bool callable = vm.isCallable(replacement);
    std::u16string pattern;
    if (!callable) {
        pattern = vm.toText(replacement);
        if (vm.throwing())
            return Value();
    }
    std::u16string out;
    std::size_t copied = 0;
    for (const rx::Match& match : matches) {
        const rx::Span& whole = match.whole();
        out.append(subject.substr(copied, whole.begin - copied));
        if (callable) {
            if (!appendCallResult(vm, out, replacement, input, match))
                return Value();
        } else if (!rx::appendExpansion(out, pattern, subject, match, kLimit)) {
            return vm.throwError(ErrorType::Error, 1000);
        }
        if (out.size() > kLimit)
            return vm.throwError(ErrorType::Error, 1000);
        copied = whole.end;
    }
    out.append(subject.substr(copied));
    if (out.size() > kLimit)
        return vm.throwError(ErrorType::Error, 1000);
    return Value(vm.newString(std::move(out)));
}

Value splitByRegExp(Vm& vm, const std::u16string& subject, const Value& regexp, std::uint32_t limit)
{
    RegExpObject* re = asRegExp(regexp);
    ArrayObject* out = vm.newArray();
    if (!re->compiled) {
        out->push(Value(vm.newString(subject)));
        return Value(out);
    }
    rx::SplitResult r = rx::splitByRegExp(*re->compiled, subject, limit);
    if (r.status == rx::MatchStatus::LimitExceeded)
        return vm.throwError(ErrorType::Error, 1023);
    for (const auto& piece : r.pieces)
        out->push(piece ? substring(vm, subject, *piece) : Value());
    return Value(out);
}

Value matchByRegExp(Vm& vm, const Value& self, std::span<const Value> args)
{
    String* input = nullptr;
    if (!receiverText(vm, self, input))
        return Value();
    Value regexp = toRegExp(vm, arg(args, 0));
    if (vm.throwing())
        return Value();
    RegExpObject* re = asRegExp(regexp);
    if (!re->flags.global)
        return execWithLastIndex(vm, *re, input);
    re->lastIndex = 0;
    if (!re->compiled)
        return Value::null();
    rx::MatchList list = rx::matchAll(*re->compiled, input->view());
    if (list.status == rx::MatchStatus::LimitExceeded)
        return vm.throwError(ErrorType::Error, 1023);
    if (list.matches.empty())
        return Value::null();
    ArrayObject* out = vm.newArray();
    for (const rx::Match& match : list.matches)
        out->push(substring(vm, input->view(), match.whole()));
    return Value(out);
}

Value searchByRegExp(Vm& vm, const Value& self, std::span<const Value> args)
{
    String* input = nullptr;
    if (!receiverText(vm, self, input))
        return Value();
    Value regexp = toRegExp(vm, arg(args, 0));
    if (vm.throwing())
        return Value();
    rx::ExecResult r;
    if (!execRegExp(vm, *asRegExp(regexp), input->view(), 0, r))
        return Value();
    return r.matched() ? Value::number(static_cast<double>(r.match.whole().begin)) : Value(-1);
}

} // namespace avm2
