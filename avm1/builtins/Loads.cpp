#include "Loads.h"

#include "ArrayObject.h"
#include "avm1/ClipObject.h"
#include "avm1/CodePages.h"
#include "avm1/Limits.h"
#include "avm1/ScriptHost.h"
#include "avm1/StringUnits.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"
#include "runtime/StageEvents.h"
#include "script/url/UrlEscaping.h"

#include <algorithm>

namespace avm1 {

namespace {

constexpr std::uint16_t kProgressFlags = PropertyFlag::DontEnum | PropertyFlag::DontDelete;

std::string fromUtf16(std::span<const std::uint8_t> bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    auto unitAt = [&](std::size_t i) -> std::uint32_t {
        return bigEndian ? (bytes[i] << 8 | bytes[i + 1]) : (bytes[i + 1] << 8 | bytes[i]);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        // A lone surrogate has no UTF-8 form: the replacement character stands in.
        if (unit >= 0xD800 && unit < 0xE000)
            unit = 0xFFFD;
        appendUtf8(out, unit);
    }
    return out;
}

// System.useCodepage as the movie left it.
bool usesCodepage(Vm& vm)
{
    const Value system = vm.getMember(vm.global(), vm.str("System"));
    const bool on = vm.toBoolean(vm.getMember(system, vm.str("useCodepage")));
    if (vm.throwing())
        vm.takeException();
    return on;
}

} // namespace

std::string loadedText(std::span<const std::uint8_t> bytes, bool useCodepage)
{
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return std::string(bytes.begin() + 3, bytes.end());
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return fromUtf16(bytes.subspan(2), false);
    else if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return fromUtf16(bytes.subspan(2), true);
    if (useCodepage)
        return codePageText(bytes);
    return std::string(bytes.begin(), bytes.end());
}

bool LoadQueue::request(Object* target, String* url, bool variables)
{
    // Variables loads add to each other; the other kinds replace the last.
    if (!variables)
        std::erase_if(m_waiting,
                      [target](const Request& r) { return r.target == target && !r.variables; });
    if (m_waiting.size() >= limits::kMaxPendingLoads)
        return false;
    m_waiting.push_back({target, url, variables});
    return true;
}

void LoadQueue::deliver(Vm& vm)
{
    if (m_waiting.empty())
        return;
    m_delivering.swap(m_waiting);
    for (const Request& request : m_delivering) {
        // A load asked for again by an earlier callback starts over in the next batch.
        const bool superseded =
            std::any_of(m_waiting.begin(), m_waiting.end(), [&](const Request& r) {
                return r.target == request.target && !r.variables && !request.variables;
            });
        if (!superseded)
            deliverOne(vm, request);
    }
    m_delivering.clear();
}

void LoadQueue::deliverVariables(Vm& vm, Object* target, Value text)
{
    // A file that is not there sets nothing and tells no one.
    if (!text.isString())
        return;
    script::url::forEachUrlVariable(text.asString()->view(),
                                    [&](const std::string& name, const std::string& value) {
                                        vm.setMember(target, vm.str(name), vm.strValue(value));
                                        return !vm.throwing() && !vm.aborted();
                                    });
    if (vm.throwing())
        vm.takeException();
    ClipObject* clip = asClip(target);
    ClipObject* live = clip ? clip->live() : nullptr;
    if (runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
        object && object->kind() == runtime::ObjectKind::Sprite)
        runtime::queueClipEvent(*object, runtime::ClipEvent::Data);
}

void LoadQueue::deliverOne(Vm& vm, const Request& request)
{
    Value text;
    if (ScriptHost* host = vm.host()) {
        auto bytes = host->fetchFile(request.url->view(), limits::kMaxLoadedFileBytes);
        if (bytes) {
            const double count = static_cast<double>(bytes->size());
            request.target->defineValue(vm, "_bytesLoaded", Value(count), kProgressFlags);
            request.target->defineValue(vm, "_bytesTotal", Value(count), kProgressFlags);
            // An empty file reads as none, as the reference delivers it.
            if (!bytes->empty())
                text = Value(vm.str(loadedText(*bytes, usesCodepage(vm))));
        } else {
            vm.logLazy([&] {
                return "cannot load " + request.url->text() + ": " + bytes.error().message();
            });
        }
    }
    vm.startBudget();
    vm.clearAbort();
    if (request.variables) {
        deliverVariables(vm, request.target, text);
        return;
    }
    vm.callMethod(Value(request.target), vm.str("onData"), std::span<const Value>(&text, 1));
    if (vm.throwing()) {
        // What the player prints for any block that ends with an exception.
        const Value e = vm.takeException();
        vm.trace("Warning: Uncaught exception, " + vm.toStdString(e));
        if (vm.throwing())
            vm.takeException();
    }
}

void LoadQueue::traceChildren(Tracer& tracer)
{
    for (const std::vector<Request>* list : {&m_waiting, &m_delivering}) {
        for (const Request& r : *list) {
            tracer.mark(r.target);
            tracer.mark(r.url);
        }
    }
}

LoadQueue& loadQueue(Vm& vm)
{
    Cell*& slot = vm.builtins().loads;
    if (!slot) {
        auto* queue = vm.heap().make<LoadQueue>();
        slot = queue;
        vm.addRoots([queue](Tracer& tracer) { tracer.mark(queue); });
    }
    return *static_cast<LoadQueue*>(slot);
}

bool startVariablesLoad(Vm& vm, Object* target, String* url)
{
    return target && loadQueue(vm).request(target, url, true);
}

bool startLoad(Vm& vm, Object* target, String* url)
{
    if (!loadQueue(vm).request(target, url))
        return false;
    vm.setMember(target, "loaded", Value(false));
    target->defineValue(vm, "_bytesLoaded", Value(0), kProgressFlags);
    // The total is there from the start, unknown until the file arrives.
    target->defineValue(vm, "_bytesTotal", Value(), kProgressFlags);
    return true;
}

Value loadIntoThis(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self || call.count() == 0)
        return Value(false);
    String* url = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    return Value(startLoad(vm, self, url));
}

// Nothing is sent anywhere: the answer is the file at the url, loaded into the target.
Value sendAndLoadInto(Vm& vm, const CallArgs& call)
{
    Object* target = call.arg(1).objectOrNull();
    if (!call.thisObject() || !target)
        return Value(false);
    String* url = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    return Value(startLoad(vm, target, url));
}

// The player shows what it sends in a browser window; there is none to send to, and
// nothing is sent. As the reference documents it: false without a url, true with one.
Value sendNowhere(Vm&, const CallArgs& call)
{
    return Value(call.thisObject() && call.count() > 0);
}

Value ignoreLoad(Vm&, const CallArgs&)
{
    return Value();
}

Value bytesLoaded(Vm& vm, const CallArgs& call)
{
    return vm.getMember(call.thisValue, vm.str("_bytesLoaded"));
}

Value bytesTotal(Vm& vm, const CallArgs& call)
{
    return vm.getMember(call.thisValue, vm.str("_bytesTotal"));
}

// Headers for requests the movie sends; kept, as nothing is sent. Takes a name and a
// value, or an array of names and values in turn.
Value addRequestHeader(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    String* key = vm.str("_customHeaders");
    ArrayObject* headers = asArrayObject(vm.getMember(self, key));
    if (!headers) {
        headers = asArrayObject(vm.makeArray());
        self->defineValue(key, Value(static_cast<Object*>(headers)), PropertyFlag::DontEnum,
                          vm.caseRule());
    }
    std::vector<Value> pairs;
    if (ArrayObject* list = asArrayObject(call.arg(0))) {
        const std::int32_t count = std::min(list->length(), 2 * limits::kMaxRequestHeaders);
        for (std::int32_t i = 0; i + 1 < count; i += 2) {
            pairs.push_back(list->get(vm, static_cast<std::uint32_t>(i)));
            pairs.push_back(list->get(vm, static_cast<std::uint32_t>(i + 1)));
        }
    } else {
        pairs = {call.arg(0), call.arg(1)};
    }
    for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
        if (!pairs[i].isString() || !pairs[i + 1].isString())
            continue;
        if (headers->length() >= 2 * limits::kMaxRequestHeaders)
            break;
        headers->push(vm, pairs[i]);
        headers->push(vm, pairs[i + 1]);
    }
    return Value();
}

Value deliverToReader(Vm& vm, const CallArgs& call, const char* readMethod)
{
    const Value self = call.thisValue;
    const Value source = call.arg(0);
    if (source.isUndefined()) {
        const Value failed(false);
        vm.callMethod(self, vm.str("onLoad"), std::span<const Value>(&failed, 1));
        return Value();
    }
    vm.callMethod(self, vm.str(readMethod), std::span<const Value>(&source, 1));
    if (vm.throwing())
        return Value();
    vm.setMember(self, vm.str("loaded"), Value(true));
    const Value succeeded(true);
    vm.callMethod(self, vm.str("onLoad"), std::span<const Value>(&succeeded, 1));
    return Value();
}

} // namespace avm1
