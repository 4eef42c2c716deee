// Date: a time value in a PrimitiveObject, read and changed in local time or UTC. The
// clock and the zone come from the host (ScriptHost); without one, the system clock in
// UTC.
#include "Builtins.h"
#include "NativeHelpers.h"
#include "PropertyFlags.h"
#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"
#include "script/date/DateMath.h"
#include "script/date/DateText.h"

#include <chrono>
#include <cmath>
#include <limits>

namespace avm1 {

namespace {

using namespace script::date;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum class Zone { Local, Utc };
using Field = script::date::DateField;

double now(Vm& vm)
{
    if (vm.host())
        return vm.host()->currentTimeMilliseconds();
    using namespace std::chrono;
    return static_cast<double>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

// The host's zone; UTC without a host.
ZoneOffset zoneOf(Vm& vm)
{
    const ScriptHost* host = vm.host();
    if (!host)
        return {};
    return [host](double utc) { return host->localOffsetMinutes(utc); };
}

double localTime(Vm& vm, double utc)
{
    return script::date::localTime(zoneOf(vm), utc);
}

double utcTime(Vm& vm, double local)
{
    return script::date::utcTime(zoneOf(vm), local);
}

double inZone(Vm& vm, double t, Zone zone)
{
    return zone == Zone::Local ? localTime(vm, t) : t;
}

double fromZone(Vm& vm, double t, Zone zone)
{
    return zone == Zone::Local ? utcTime(vm, t) : t;
}

PrimitiveObject* thisDate(const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self || self->objectClass() != ObjectClass::Date)
        return nullptr;
    return static_cast<PrimitiveObject*>(self);
}

double timeOf(PrimitiveObject* date)
{
    const Value v = date->primitive();
    return v.isNumber() ? v.asNumber() : kNaN;
}

// Years 0 to 99 given to the constructor, Date.UTC and setYear mean 1900 to 1999.
double fullYear(double year)
{
    if (std::isnan(year))
        return year;
    const double whole = std::trunc(year);
    return whole >= 0 && whole <= 99 ? 1900 + whole : year;
}

template <Field F, Zone Z> Value getField(Vm& vm, const CallArgs& call)
{
    PrimitiveObject* date = thisDate(call);
    if (!date)
        return Value();
    const double t = timeOf(date);
    if (std::isnan(t))
        return Value(kNaN);
    return Value(script::date::dateField(inZone(vm, t, Z), F));
}

Value getTime(Vm& /*vm*/, const CallArgs& call)
{
    PrimitiveObject* date = thisDate(call);
    return date ? Value(timeOf(date)) : Value();
}

Value getTimezoneOffset(Vm& vm, const CallArgs& call)
{
    PrimitiveObject* date = thisDate(call);
    if (!date)
        return Value();
    const double t = timeOf(date);
    if (std::isnan(t))
        return Value(kNaN);
    return Value((t - localTime(vm, t)) / kMsPerMinute);
}

// The arguments a setter was given, converted in order; absent ones are the date's
// own field values.
struct SetterArguments {
    double values[4] = {kNaN, kNaN, kNaN, kNaN};
    bool ok = true;
};

SetterArguments setterArguments(Vm& vm, const CallArgs& call, double t, const Field* fields,
                                int count)
{
    SetterArguments a;
    for (int i = 0; i < count; ++i) {
        if (i == 0 || static_cast<std::size_t>(i) < call.count()) {
            a.values[i] = vm.toNumber(call.arg(static_cast<std::size_t>(i)));
            if (vm.throwing()) {
                a.ok = false;
                return a;
            }
        } else {
            a.values[i] = script::date::dateField(t, fields[i]);
        }
    }
    return a;
}

Value storeTime(PrimitiveObject* date, double t)
{
    const double clipped = timeClip(t);
    date->setPrimitive(Value(clipped));
    return Value(clipped);
}

template <Field F, Zone Z> Value setField(Vm& vm, const CallArgs& call)
{
    PrimitiveObject* date = thisDate(call);
    if (!date)
        return Value();
    double t = inZone(vm, timeOf(date), Z);
    // Only the year can be set on an invalid date: it starts from 1970-01-01 then.
    if (std::isnan(t) && F == Field::FullYear)
        t = 0;
    double result = kNaN;
    switch (F) {
    case Field::FullYear: {
        static constexpr Field order[] = {Field::FullYear, Field::Month, Field::Date};
        const SetterArguments a = setterArguments(vm, call, t, order, 3);
        if (!a.ok)
            return Value();
        result = makeDate(makeDay(a.values[0], a.values[1], a.values[2]), timeWithinDay(t));
        break;
    }
    case Field::Month: {
        static constexpr Field order[] = {Field::Month, Field::Date};
        const SetterArguments a = setterArguments(vm, call, t, order, 2);
        if (!a.ok)
            return Value();
        result = makeDate(makeDay(yearFromTime(t), a.values[0], a.values[1]), timeWithinDay(t));
        break;
    }
    case Field::Date: {
        static constexpr Field order[] = {Field::Date};
        const SetterArguments a = setterArguments(vm, call, t, order, 1);
        if (!a.ok)
            return Value();
        result =
            makeDate(makeDay(yearFromTime(t), monthFromTime(t), a.values[0]), timeWithinDay(t));
        break;
    }
    case Field::Hours:
    case Field::Minutes:
    case Field::Seconds:
    case Field::Milliseconds: {
        static constexpr Field order[] = {Field::Hours, Field::Minutes, Field::Seconds,
                                          Field::Milliseconds};
        const int first = F == Field::Hours     ? 0
                          : F == Field::Minutes ? 1
                          : F == Field::Seconds ? 2
                                                : 3;
        const SetterArguments a = setterArguments(vm, call, t, order + first, 4 - first);
        if (!a.ok)
            return Value();
        double parts[4] = {hourFromTime(t), minFromTime(t), secFromTime(t), msFromTime(t)};
        for (int i = first; i < 4; ++i)
            parts[i] = a.values[i - first];
        result = makeDate(day(t), makeTime(parts[0], parts[1], parts[2], parts[3]));
        break;
    }
    default:
        break;
    }
    return storeTime(date, fromZone(vm, result, Z));
}

Value setTime(Vm& vm, const CallArgs& call)
{
    PrimitiveObject* date = thisDate(call);
    if (!date)
        return Value();
    const double t = vm.toNumber(call.arg(0));
    if (vm.throwing())
        return Value();
    return storeTime(date, t);
}

// setYear(year): two-digit years are of the 1900s; an invalid date starts from 1970.
Value setYear(Vm& vm, const CallArgs& call)
{
    PrimitiveObject* date = thisDate(call);
    if (!date)
        return Value();
    const double year = vm.toNumber(call.arg(0));
    if (vm.throwing())
        return Value();
    double t = localTime(vm, timeOf(date));
    if (std::isnan(t))
        t = 0;
    if (std::isnan(year))
        return storeTime(date, kNaN);
    const double local =
        makeDate(makeDay(fullYear(year), monthFromTime(t), dateFromTime(t)), timeWithinDay(t));
    return storeTime(date, utcTime(vm, local));
}

String* dateText(Vm& vm, double t)
{
    return vm.str(script::date::dateText(zoneOf(vm), t));
}

Value toString(Vm& vm, const CallArgs& call)
{
    PrimitiveObject* date = thisDate(call);
    return date ? Value(dateText(vm, timeOf(date))) : Value();
}

// The time of a year, month and optional day, hours, minutes, seconds and milliseconds
// in the arguments, as the constructor and Date.UTC read them.
double timeFromArguments(Vm& vm, const CallArgs& call, bool& ok)
{
    double parts[7] = {kNaN, kNaN, 1, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 7; ++i) {
        if (i < 2 || i < call.count()) {
            parts[i] = vm.toNumber(call.arg(i));
            if (vm.throwing()) {
                ok = false;
                return kNaN;
            }
        }
    }
    ok = true;
    return makeDate(makeDay(fullYear(parts[0]), parts[1], parts[2]),
                    makeTime(parts[3], parts[4], parts[5], parts[6]));
}

Value constructDate(Vm& vm, const CallArgs& call)
{
    double t = kNaN;
    if (call.count() == 0) {
        t = now(vm);
    } else if (call.count() == 1) {
        t = vm.toNumber(call.arg(0));
    } else {
        bool ok = false;
        const double local = timeFromArguments(vm, call, ok);
        t = utcTime(vm, local);
    }
    if (vm.throwing())
        return Value();
    auto* date =
        vm.heap().make<PrimitiveObject>(instancePrototype(vm, call, vm.builtins().dateProto),
                                        ObjectClass::Date, Value(timeClip(t)));
    markConstructed(vm, date, call.callee);
    return Value(date);
}

// Date() called is the present time as text, whatever the arguments.
Value callDate(Vm& vm, const CallArgs& call)
{
    if (call.isConstruct)
        return Value();
    return Value(dateText(vm, timeClip(now(vm))));
}

Value utc(Vm& vm, const CallArgs& call)
{
    bool ok = false;
    const double t = timeFromArguments(vm, call, ok);
    return ok ? Value(timeClip(t)) : Value();
}

struct Method {
    const char* name;
    NativeFn fn;
};

// In the order of the reference's native table (ASnative 103): the local getters and
// setters from 0, the UTC ones from 128.
constexpr Method kLocalMethods[] = {
    {"getFullYear", getField<Field::FullYear, Zone::Local>},
    {"getYear", getField<Field::Year, Zone::Local>},
    {"getMonth", getField<Field::Month, Zone::Local>},
    {"getDate", getField<Field::Date, Zone::Local>},
    {"getDay", getField<Field::Day, Zone::Local>},
    {"getHours", getField<Field::Hours, Zone::Local>},
    {"getMinutes", getField<Field::Minutes, Zone::Local>},
    {"getSeconds", getField<Field::Seconds, Zone::Local>},
    {"getMilliseconds", getField<Field::Milliseconds, Zone::Local>},
    {"setFullYear", setField<Field::FullYear, Zone::Local>},
    {"setMonth", setField<Field::Month, Zone::Local>},
    {"setDate", setField<Field::Date, Zone::Local>},
    {"setHours", setField<Field::Hours, Zone::Local>},
    {"setMinutes", setField<Field::Minutes, Zone::Local>},
    {"setSeconds", setField<Field::Seconds, Zone::Local>},
    {"setMilliseconds", setField<Field::Milliseconds, Zone::Local>},
    {"getTime", getTime},
    {"setTime", setTime},
    {"getTimezoneOffset", getTimezoneOffset},
    {"toString", toString},
    {"setYear", setYear},
};

constexpr Method kUtcMethods[] = {
    {"getUTCFullYear", getField<Field::FullYear, Zone::Utc>},
    {"getUTCYear", getField<Field::Year, Zone::Utc>},
    {"getUTCMonth", getField<Field::Month, Zone::Utc>},
    {"getUTCDate", getField<Field::Date, Zone::Utc>},
    {"getUTCDay", getField<Field::Day, Zone::Utc>},
    {"getUTCHours", getField<Field::Hours, Zone::Utc>},
    {"getUTCMinutes", getField<Field::Minutes, Zone::Utc>},
    {"getUTCSeconds", getField<Field::Seconds, Zone::Utc>},
    {"getUTCMilliseconds", getField<Field::Milliseconds, Zone::Utc>},
    {"setUTCFullYear", setField<Field::FullYear, Zone::Utc>},
    {"setUTCMonth", setField<Field::Month, Zone::Utc>},
    {"setUTCDate", setField<Field::Date, Zone::Utc>},
    {"setUTCHours", setField<Field::Hours, Zone::Utc>},
    {"setUTCMinutes", setField<Field::Minutes, Zone::Utc>},
    {"setUTCSeconds", setField<Field::Seconds, Zone::Utc>},
    {"setUTCMilliseconds", setField<Field::Milliseconds, Zone::Utc>},
};

} // namespace

void installDate(Vm& vm)
{
    Builtins& b = vm.builtins();
    Object* proto = vm.makeObject();
    NativeFunction* ctor = vm.defineClass("Date", proto, callDate, constructDate);
    b.dateProto = proto;
    // Hidden and permanent, as the other core classes' methods.
    const std::uint16_t builtIn = PropertyFlag::DontEnum | PropertyFlag::DontDelete;
    for (const Method& m : kLocalMethods)
        vm.defineMethod(proto, m.name, m.fn, builtIn);
    for (const Method& m : kUtcMethods)
        vm.defineMethod(proto, m.name, m.fn, builtIn);
    vm.defineMethod(proto, "valueOf", getTime, builtIn);
    vm.defineMethod(ctor, "UTC", utc,
                    PropertyFlag::DontEnum | PropertyFlag::DontDelete | PropertyFlag::ReadOnly);
    makeReadOnly(ctor, {"prototype", "constructor", "__proto__"});
}

} // namespace avm1
