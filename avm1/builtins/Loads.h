#pragma once

// The files scripts load into objects (XML.load, XML.sendAndLoad, LoadVars.load). A
// load never completes inside the script that asks for it: the request waits here and
// the engine delivers it after the step's scripts have run, through the object's
// onData with the file's text (undefined when there is none or it is empty), as the
// reference's loads arrive between frames.

#include "avm1/Function.h"
#include "avm1/Heap.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace avm1 {

class Object;
class String;
class Vm;

class LoadQueue final : public Cell {
public:
    struct Request {
        Object* target = nullptr;
        String* url = nullptr;
        // loadVariables: the file's pairs become the target's variables, and a clip
        // then hears its data event, instead of onData.
        bool variables = false;
    };

    // Queues a load into `target`, replacing one still waiting for it, as a new load
    // cancels the last. False when the cap on waiting loads is reached.
    bool request(Object* target, String* url, bool variables = false);
    std::size_t size() const { return m_waiting.size(); }

    // Fetches what was asked for before this call and calls each target's onData;
    // loads those callbacks ask for wait for the next delivery.
    void deliver(Vm& vm);

    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override
    {
        return (m_waiting.capacity() + m_delivering.capacity()) * sizeof(Request);
    }

private:
    void deliverOne(Vm& vm, const Request& request);
    void deliverVariables(Vm& vm, Object* target, Value text);

    std::vector<Request> m_waiting;
    // The batch being delivered, kept alive while its callbacks run.
    std::vector<Request> m_delivering;
};

// The VM's queue, made on first use and kept alive with the VM.
LoadQueue& loadQueue(Vm& vm);

// A loaded file's bytes as the text scripts get: a byte order mark is dropped, and
// UTF-16 text (which one announces) becomes UTF-8. Other text is taken as UTF-8, or with
// `useCodepage` (System.useCodepage) read as CodePages.h says.
std::string loadedText(std::span<const std::uint8_t> bytes, bool useCodepage = false);

// What the load methods of XML and LoadVars share: marks `target` as loading (loaded
// false, nothing of it received) and queues the request. False when it cannot be
// queued.
bool startLoad(Vm& vm, Object* target, String* url);

// loadVariables: the url-encoded pairs of the file at `url` become variables of
// `target` (a clip or a text field) once it arrives. False when it cannot be queued.
bool startVariablesLoad(Vm& vm, Object* target, String* url);

// The methods XML and LoadVars share.
Value loadIntoThis(Vm& vm, const CallArgs& call);     // load(url)
Value sendAndLoadInto(Vm& vm, const CallArgs& call);  // sendAndLoad(url, target)
Value sendNowhere(Vm& vm, const CallArgs& call);      // send(url, window)
Value bytesLoaded(Vm& vm, const CallArgs& call);      // getBytesLoaded()
Value bytesTotal(Vm& vm, const CallArgs& call);       // getBytesTotal()
Value addRequestHeader(Vm& vm, const CallArgs& call); // addRequestHeader(name, value)
Value ignoreLoad(Vm& vm, const CallArgs& call);       // the default onLoad
// The default onData(source): undefined (the file was not there) calls onLoad(false);
// text goes through this object's `readMethod` (parseXML, decode), then loaded is set
// and onLoad(true) called.
Value deliverToReader(Vm& vm, const CallArgs& call, const char* readMethod);

} // namespace avm1
