// Date: a time value (milliseconds since 1970-01-01 UTC, NaN for an invalid date) read
// and changed in local time or UTC. The clock and the zone come from the VM's host;
// without them, the system clock and the process's zone, as the other machine's Date.
#include "Native.h"
#include "script/date/DateMath.h"
#include "script/date/DateParse.h"
#include "script/date/DateText.h"

#include <cmath>
#include <limits>

namespace avm2 {

using namespace native;
using namespace script::date;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class DateObject final : public Object {
public:
    DateObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::Date)
    {}
    double time = kNaN;
};

enum class Zone { Local, Utc };
using Field = script::date::DateField;

double now(Vm& vm)
{
    return vm.host().currentTime ? vm.host().currentTime() : systemTimeMilliseconds();
}

ZoneOffset zoneOf(Vm& vm)
{
    if (vm.host().localOffsetMinutes)
        return vm.host().localOffsetMinutes;
    return systemOffsetMinutes;
}

double inZone(Vm& vm, double t, Zone zone)
{
    return zone == Zone::Local ? localTime(zoneOf(vm), t) : t;
}

double fromZone(Vm& vm, double t, Zone zone)
{
    return zone == Zone::Local ? utcTime(zoneOf(vm), t) : t;
}

// Years 0 to 99 given to the constructor and Date.UTC mean 1900 to 1999.
double fullYear(double year)
{
    if (std::isnan(year))
        return year;
    const double whole = std::trunc(year);
    return whole >= 0 && whole <= 99 ? 1900 + whole : year;
}

// The methods taken off Date.prototype onto another object read it as an invalid
// date: getters answer NaN, the text methods "Invalid Date", and setters change nothing.
DateObject* thisDate(const Value& self)
{
    if (self.isObject() && self.asObject()->kind() == ObjectKind::Date)
        return static_cast<DateObject*>(self.asObject());
    return nullptr;
}

double timeOf(const Value& self)
{
    const DateObject* date = thisDate(self);
    return date ? date->time : kNaN;
}

template <Field F, Zone Z> Value getField(Vm& vm, const Value& self, Args)
{
    const double t = timeOf(self);
    if (std::isnan(t))
        return Value(kNaN);
    return Value::number(script::date::dateField(inZone(vm, t, Z), F));
}

Value getTime(Vm&, const Value& self, Args)
{
    return Value::number(timeOf(self));
}

Value getTimezoneOffset(Vm& vm, const Value& self, Args)
{
    const double t = timeOf(self);
    if (std::isnan(t))
        return Value(kNaN);
    return Value::number((t - localTime(zoneOf(vm), t)) / kMsPerMinute);
}

Value store(DateObject* date, double t)
{
    date->time = timeClip(t);
    return Value::number(date->time);
}

// A setter's arguments converted in order: the first always (NaN when missing), the
// optional ones only when given, else the date's own fields.
bool setterArguments(Vm& vm, Args args, double t, const Field* fields, int count, double* out)
{
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<std::size_t>(i);
        if (i == 0 || index < args.size()) {
            out[i] = vm.toNumber(arg(args, index));
            if (vm.throwing())
                return false;
        } else {
            out[i] = script::date::dateField(t, fields[i]);
        }
    }
    return true;
}

template <Field F, Zone Z> Value setField(Vm& vm, const Value& self, Args args)
{
    DateObject* date = thisDate(self);
    if (!date)
        return Value(kNaN);
    double t = inZone(vm, date->time, Z);
    // Only the year can be set on an invalid date: it starts from 1970-01-01 then.
    if (std::isnan(t) && F == Field::FullYear)
        t = 0;
    double v[4] = {kNaN, kNaN, kNaN, kNaN};
    double result = kNaN;
    if constexpr (F == Field::FullYear) {
        static constexpr Field order[] = {Field::FullYear, Field::Month, Field::Date};
        if (!setterArguments(vm, args, t, order, 3, v))
            return Value();
        result = makeDate(makeDay(v[0], v[1], v[2]), timeWithinDay(t));
    } else if constexpr (F == Field::Month) {
        static constexpr Field order[] = {Field::Month, Field::Date};
        if (!setterArguments(vm, args, t, order, 2, v))
            return Value();
        result = makeDate(makeDay(yearFromTime(t), v[0], v[1]), timeWithinDay(t));
    } else if constexpr (F == Field::Date) {
        static constexpr Field order[] = {Field::Date};
        if (!setterArguments(vm, args, t, order, 1, v))
            return Value();
        result = makeDate(makeDay(yearFromTime(t), monthFromTime(t), v[0]), timeWithinDay(t));
    } else {
        static constexpr Field order[] = {Field::Hours, Field::Minutes, Field::Seconds,
                                          Field::Milliseconds};
        constexpr int first = F == Field::Hours     ? 0
                              : F == Field::Minutes ? 1
                              : F == Field::Seconds ? 2
                                                    : 3;
        if (!setterArguments(vm, args, t, order + first, 4 - first, v))
            return Value();
        double parts[4] = {hourFromTime(t), minFromTime(t), secFromTime(t), msFromTime(t)};
        for (int i = first; i < 4; ++i)
            parts[i] = v[i - first];
        result = makeDate(day(t), makeTime(parts[0], parts[1], parts[2], parts[3]));
    }
    return store(date, fromZone(vm, result, Z));
}

Value setTime(Vm& vm, const Value& self, Args args)
{
    DateObject* date = thisDate(self);
    if (!date)
        return Value(kNaN);
    const double t = vm.toNumber(arg(args, 0));
    if (vm.throwing())
        return Value();
    return store(date, t);
}

template <DateForm Form> Value text(Vm& vm, const Value& self, Args)
{
    return Value(vm.newString(formatDate(zoneOf(vm), timeOf(self), Form)));
}

// The time of a year, month and optional day, hours, minutes, seconds and milliseconds,
// as the constructor and Date.UTC read them: local time for the one, UTC for the other.
bool timeFromFields(Vm& vm, Args args, double& out)
{
    double parts[7] = {kNaN, kNaN, 1, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 7; ++i)
        if (i < 2 || i < args.size()) {
            parts[i] = vm.toNumber(arg(args, i));
            if (vm.throwing())
                return false;
        }
    out = makeDate(makeDay(fullYear(parts[0]), parts[1], parts[2]),
                   makeTime(parts[3], parts[4], parts[5], parts[6]));
    return true;
}

double parseValue(Vm& vm, const Value& v)
{
    String* s = vm.toString(v);
    if (vm.throwing())
        return kNaN;
    return parseDate(s->view(), zoneOf(vm));
}

Object* allocateDate(Vm& vm, ClassObject& cls)
{
    return vm.make<DateObject>(cls.instanceTraits.get(), cls.instancePrototype);
}

Value constructDate(Vm& vm, const Value& self, Args args)
{
    auto* date = static_cast<DateObject*>(self.objectOrNull());
    if (!date || date->kind() != ObjectKind::Date)
        return Value();
    if (args.empty()) {
        date->time = timeClip(now(vm));
    } else if (args.size() == 1) {
        const Value& v = args[0];
        if (v.isString()) {
            date->time = parseValue(vm, v);
        } else if (v.isObject() && v.asObject()->kind() == ObjectKind::Date) {
            date->time = static_cast<DateObject*>(v.asObject())->time;
        } else {
            const double t = vm.toNumber(v);
            if (vm.throwing())
                return Value();
            date->time = timeClip(t);
        }
    } else {
        double local = kNaN;
        if (!timeFromFields(vm, args, local))
            return Value();
        date->time = timeClip(utcTime(zoneOf(vm), local));
    }
    return Value();
}

// Date(...) called, not constructed: the current time as text, whatever the arguments.
Value callDate(Vm& vm, const Value&, Args)
{
    return Value(vm.newString(formatDate(zoneOf(vm), timeClip(now(vm)), DateForm::Full)));
}

Value dateParse(Vm& vm, const Value&, Args args)
{
    return Value::number(parseValue(vm, arg(args, 0)));
}

Value dateUtc(Vm& vm, const Value&, Args args)
{
    double t = kNaN;
    if (!timeFromFields(vm, args, t))
        return Value();
    return Value::number(timeClip(t));
}

void defineField(Vm& vm, ClassObject* cls, std::string_view name, std::string_view property,
                 NativeMethod get, NativeMethod getUtc, NativeMethod set, NativeMethod setUtc,
                 int setterLength)
{
    const std::string n(name);
    const std::string p(property);
    vm.defineMethod(cls, "get" + n, get, 0);
    vm.defineMethod(cls, "getUTC" + n, getUtc, 0);
    if (set) {
        vm.defineMethod(cls, "set" + n, set, setterLength);
        vm.defineMethod(cls, "setUTC" + n, setUtc, setterLength);
    }
    vm.defineGetter(cls, p, get, set);
    vm.defineGetter(cls, p + "UTC", getUtc, setUtc);
}

template <Field F>
void defineField(Vm& vm, ClassObject* cls, std::string_view name, std::string_view property,
                 int setterLength)
{
    defineField(vm, cls, name, property, getField<F, Zone::Local>, getField<F, Zone::Utc>,
                setField<F, Zone::Local>, setField<F, Zone::Utc>, setterLength);
}

} // namespace

void defineDateClass(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    NativeClassHooks hooks;
    hooks.allocate = allocateDate;
    hooks.construct = constructDate;
    hooks.call = callDate;
    ClassObject* cls = vm.defineClass("", "Date", b.object, true, hooks, true);
    b.date = cls;

    defineField<Field::FullYear>(vm, cls, "FullYear", "fullYear", 3);
    defineField<Field::Month>(vm, cls, "Month", "month", 2);
    defineField<Field::Date>(vm, cls, "Date", "date", 1);
    defineField<Field::Hours>(vm, cls, "Hours", "hours", 4);
    defineField<Field::Minutes>(vm, cls, "Minutes", "minutes", 3);
    defineField<Field::Seconds>(vm, cls, "Seconds", "seconds", 2);
    defineField<Field::Milliseconds>(vm, cls, "Milliseconds", "milliseconds", 1);
    defineField(vm, cls, "Day", "day", getField<Field::Day, Zone::Local>,
                getField<Field::Day, Zone::Utc>, nullptr, nullptr, 0);

    vm.defineMethod(cls, "getTime", getTime, 0);
    vm.defineMethod(cls, "setTime", setTime, 1);
    vm.defineMethod(cls, "valueOf", getTime, 0);
    vm.defineMethod(cls, "getTimezoneOffset", getTimezoneOffset, 0);
    vm.defineGetter(cls, "time", getTime, setTime);
    vm.defineGetter(cls, "timezoneOffset", getTimezoneOffset);

    vm.defineMethod(cls, "toString", text<DateForm::Full>, 0);
    vm.defineMethod(cls, "toDateString", text<DateForm::DateOnly>, 0);
    vm.defineMethod(cls, "toTimeString", text<DateForm::TimeOnly>, 0);
    vm.defineMethod(cls, "toLocaleString", text<DateForm::Locale>, 0);
    vm.defineMethod(cls, "toLocaleDateString", text<DateForm::DateOnly>, 0);
    vm.defineMethod(cls, "toLocaleTimeString", text<DateForm::LocaleTime>, 0);
    vm.defineMethod(cls, "toUTCString", text<DateForm::Utc>, 0);

    vm.defineStaticMethod(cls, "parse", dateParse, 1);
    vm.defineStaticMethod(cls, "UTC", dateUtc, 7);
    vm.defineConstant(cls, "length", Value(7));
}

} // namespace avm2
