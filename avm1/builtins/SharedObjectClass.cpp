// SharedObject: data a movie keeps between visits. This player writes no files, so a
// local shared object lives for the run: getLocal gives the same object for the same
// name and path each time it is asked, with its data as the movie left it, and flush
// says it was kept. Remote shared objects have no server to connect to.
#include "AmfBridge.h"
#include "Builtins.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"
#include "runtime/MovieInstance.h"

#include <map>
#include <string>

namespace avm1 {

namespace {

// The shared objects made in this run, by path and name.
class SharedObjects final : public Cell {
public:
    Object* find(const std::string& key) const
    {
        auto it = m_objects.find(key);
        return it == m_objects.end() ? nullptr : it->second;
    }
    bool add(const std::string& key, Object* object)
    {
        if (m_objects.size() >= limits::kMaxSharedObjects)
            return false;
        m_objects[key] = object;
        return true;
    }
    // Forgets the objects whose key starts with `prefix`.
    void forget(std::string_view prefix)
    {
        std::erase_if(m_objects, [&](const auto& entry) {
            return std::string_view(entry.first).substr(0, prefix.size()) == prefix;
        });
    }

    void traceChildren(Tracer& tracer) override
    {
        for (const auto& entry : m_objects)
            tracer.mark(entry.second);
    }
    std::size_t extraBytes() const override { return m_objects.size() * 64; }

private:
    std::map<std::string, Object*, std::less<>> m_objects;
};

SharedObjects& sharedObjects(Vm& vm)
{
    Cell*& slot = vm.builtins().sharedObjects;
    if (!slot) {
        auto* table = vm.heap().make<SharedObjects>();
        slot = table;
        vm.addRoots([table](Tracer& tracer) { tracer.mark(table); });
    }
    return *static_cast<SharedObjects*>(slot);
}

// Characters a shared object's name may not hold.
bool validName(std::string_view name)
{
    return !name.empty() && name.find_first_of("~%&\\;:\"',<>?# ") == std::string_view::npos;
}

Value constructSharedObject(Vm&, const CallArgs&)
{
    return Value();
}

// The object for `key`, made with an empty data object the first time.
Value sharedObjectFor(Vm& vm, const CallArgs& call, const std::string& key)
{
    SharedObjects& table = sharedObjects(vm);
    if (Object* existing = table.find(key))
        return Value(existing);
    // The prototype of the class the method was called on (SharedObject, or a class
    // that copied the method).
    Object* ctor = call.thisObject();
    Object* proto = ctor ? vm.getMember(ctor, vm.names().prototype).objectOrNull() : nullptr;
    Object* object = proto ? vm.makeObject(proto) : vm.makeObject();
    object->defineValue(vm, "data", Value(vm.makeObject()), PropertyFlag::DontDelete);
    if (!table.add(key, object))
        return Value::null();
    return Value(object);
}

// The path of the main movie's address ("/games/pong.swf"), without its scheme, host or
// query; empty when the host gave none.
std::string moviePath(Vm& vm)
{
    ClipObject* root = asClip(vm.interpreter().rootClip());
    runtime::DisplayObject* object = root ? root->displayObject() : nullptr;
    std::string url = object ? object->movieInstance().url() : std::string();
    if (url.empty() && root)
        url = root->registry().settings().movieUrl;
    url = url.substr(0, url.find_first_of("?#"));
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos)
        return url.empty() || url[0] == '/' ? url : "/" + url;
    const std::size_t path = url.find('/', scheme + 3);
    return path == std::string::npos ? "/" : url.substr(path);
}

// Whether `localPath` is the movie's path or a folder of it: a movie keeps its objects
// under its own address only.
bool withinMoviePath(std::string_view movie, std::string_view localPath)
{
    if (movie.empty())
        return true;
    while (!localPath.empty() && localPath.back() == '/')
        localPath.remove_suffix(1);
    if (localPath.empty())
        return true;
    return movie == localPath ||
           (movie.substr(0, localPath.size()) == localPath && movie[localPath.size()] == '/');
}

// getLocal(name[, localPath]): null for a name with a forbidden character or a path
// outside the movie's address. Without a path the object is the movie's alone.
Value getLocal(Vm& vm, const CallArgs& call)
{
    String* name = vm.toString(call.arg(0));
    if (vm.throwing() || !validName(name->view()))
        return Value::null();
    const std::string movie = moviePath(vm);
    std::string path = movie.empty() ? "/" : movie;
    if (!call.arg(1).isNullish()) {
        path = vm.toStdString(call.arg(1));
        if (vm.throwing())
            return Value();
        if (!withinMoviePath(movie, path))
            return Value::null();
        // "/games/" and "/games" are one folder.
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
    }
    return sharedObjectFor(vm, call, "local:" + path + "\n" + name->text());
}

// getRemote(name, uri): the object, which no server will ever fill.
Value getRemote(Vm& vm, const CallArgs& call)
{
    String* name = vm.toString(call.arg(0));
    if (vm.throwing() || !validName(name->view()))
        return Value::null();
    const std::string uri = vm.toStdString(call.arg(1));
    if (vm.throwing())
        return Value();
    return sharedObjectFor(vm, call, "remote:" + uri + "\n" + name->text());
}

// deleteAll(url): the local objects kept under that path are gone.
Value deleteAll(Vm& vm, const CallArgs& call)
{
    const std::string url = vm.toStdString(call.arg(0));
    if (vm.throwing())
        return Value();
    sharedObjects(vm).forget("local:" + url);
    return Value(true);
}

// Nothing of them is on a disk.
Value getDiskUsage(Vm&, const CallArgs&)
{
    return Value(0);
}

Object* dataOf(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    return self ? vm.getMember(self, vm.str("data")).objectOrNull() : nullptr;
}

// The bytes the data takes in the file it would be written to: each property's name
// and value as AMF, and a byte after each.
Value getSize(Vm& vm, const CallArgs& call)
{
    Object* data = dataOf(vm, call);
    if (!data)
        return Value(0);
    double size = 0;
    for (String* key : vm.enumerableKeys(data)) {
        if (!vm.hasOwnProperty(data, key))
            continue;
        const Value member = vm.getMember(data, key);
        if (Object* f = member.objectOrNull(); f && f->isFunction())
            continue;
        const auto bytes = encodeAmf0(vm, member);
        if (!bytes)
            return vm.throwing() ? Value() : Value(0);
        size += 2 + static_cast<double>(key->size() + bytes->size()) + 1;
    }
    return Value(size);
}

// flush: kept (in memory), at once; no onStatus follows.
Value flush(Vm& vm, const CallArgs& call)
{
    return Value(dataOf(vm, call) != nullptr);
}

// clear: the data loses every property.
Value clear(Vm& vm, const CallArgs& call)
{
    Object* data = dataOf(vm, call);
    if (!data)
        return Value();
    std::vector<String*> names;
    data->properties().forEach([&](const Property& p) { names.push_back(p.name); });
    for (String* name : names)
        vm.deleteMember(data, name);
    return Value();
}

Value returnsFalse(Vm&, const CallArgs&)
{
    return Value(false);
}

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

} // namespace

void installSharedObject(Vm& vm)
{
    Object* proto = vm.makeObject();
    NativeFunction* ctor = vm.defineClass("SharedObject", proto, constructSharedObject);
    vm.defineMethods(ctor, {{"getLocal", getLocal}, {"getRemote", getRemote}}, 0);
    vm.defineMethods(ctor, {{"deleteAll", deleteAll}, {"getDiskUsage", getDiskUsage}});
    vm.defineMethods(proto, {
                                {"connect", returnsFalse},
                                {"send", returnsUndefined},
                                {"flush", flush},
                                {"close", returnsUndefined},
                                {"getSize", getSize},
                                {"setFps", returnsFalse},
                                {"clear", clear},
                            });
}

} // namespace avm1
