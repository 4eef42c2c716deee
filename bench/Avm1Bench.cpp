// Interpreter benchmark, on one core: actions a second through registers and
// arithmetic, through named variables, method calls a second, the memory of a movie
// that makes and drops objects every frame, and the collector's pause with a million
// live objects. Each figure is printed beside its goal and, where there is one, beside
// a plain C++ loop doing the same arithmetic.
// Wall and CPU time are both printed: on a busy machine the CPU figures are the
// interpreter's own.
//     bench-avm1 [--quick] [PARTS]    (PARTS: some of the letters a to e)
#include "ActionWriter.h"
#include "avm1/Engine.h"
#include "format/Movie.h"
#include "runtime/MoviePlayer.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <sched.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace swfwriter;

namespace {

constexpr int kVersion = 8;

double seconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The resident and peak resident memory of this process, in MiB.
struct Memory {
    double rss = 0;
    double peak = 0;
};

Memory memoryNow()
{
    Memory memory;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            long kib = 0;
            if (std::sscanf(line, "VmRSS: %ld", &kib) == 1)
                memory.rss = static_cast<double>(kib) / 1024;
            else if (std::sscanf(line, "VmHWM: %ld", &kib) == 1)
                memory.peak = static_cast<double>(kib) / 1024;
        }
        std::fclose(status);
    }
    return memory;
}

class QuietHost : public runtime::Host {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// A movie of the frames' scripts, loaded and attached to the interpreter, with no time
// budget to stop a long loop. The first frame's actions are queued, not yet run.
class ScriptedMovie {
public:
    explicit ScriptedMovie(std::span<const ActionWriter> frames)
    {
        const auto bytes = scriptMovie(kVersion, frames).bytes();
        auto movie = swf::loadMovie(bytes);
        if (!movie) {
            std::fprintf(stderr, "the benchmark movie did not load: %s\n",
                         movie.error().message().c_str());
            std::exit(1);
        }
        m_player = std::make_unique<runtime::MoviePlayer>(*movie, m_host);
        m_engine = std::make_unique<avm1::Engine>(*m_player, m_host);
        m_engine->vm().setTimeBudget(1e9);
    }
    ~ScriptedMovie()
    {
        m_engine.reset();
        m_player.reset();
    }
    ScriptedMovie(const ScriptedMovie&) = delete;
    ScriptedMovie& operator=(const ScriptedMovie&) = delete;

    runtime::MoviePlayer& player() { return *m_player; }
    avm1::Vm& vm() { return m_engine->vm(); }
    const std::vector<std::string>& traces() const { return m_host.lines; }

private:
    QuietHost m_host;
    std::unique_ptr<runtime::MoviePlayer> m_player;
    std::unique_ptr<avm1::Engine> m_engine;
};

struct Rate {
    double wallPerSecond = 0; // actions a second
    double cpuPerSecond = 0;
    double actionsPerIteration = 0;
    bool resultRight = true;

    double iterationsPerSecond() const { return wallPerSecond / actionsPerIteration; }
    double cpuIterationsPerSecond() const { return cpuPerSecond / actionsPerIteration; }
};

// Runs the one-frame script of `iterations` turns of a loop `runs` times, each in a
// fresh movie; the script traces one line, which must be `expected`.
Rate measureScript(const ActionWriter& code, long iterations, const std::string& expected, int runs)
{
    std::vector<double> wall, cpu;
    Rate rate;
    for (int run = 0; run < runs; ++run) {
        ScriptedMovie movie(std::span<const ActionWriter>(&code, 1));
        const std::uint64_t before = movie.vm().actionsExecuted();
        const double wallStart = seconds(CLOCK_MONOTONIC);
        const double cpuStart = seconds(CLOCK_PROCESS_CPUTIME_ID);
        movie.player().runActions();
        const double cpuSeconds = seconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
        const double wallSeconds = seconds(CLOCK_MONOTONIC) - wallStart;
        const auto actions = static_cast<double>(movie.vm().actionsExecuted() - before);
        rate.actionsPerIteration = actions / static_cast<double>(iterations);
        wall.push_back(actions / wallSeconds);
        cpu.push_back(actions / cpuSeconds);
        if (movie.traces().size() != 1 || movie.traces()[0] != expected) {
            rate.resultRight = false;
            std::fprintf(stderr, "  the script traced \"%s\", not \"%s\"\n",
                         movie.traces().empty() ? "" : movie.traces()[0].c_str(), expected.c_str());
        }
    }
    rate.wallPerSecond = median(wall);
    rate.cpuPerSecond = median(cpu);
    return rate;
}

// A plain C++ loop's iterations a second, median of `runs`.
template <typename Loop> double measureLoop(Loop&& loop, long iterations, int runs)
{
    std::vector<double> rates;
    for (int run = 0; run < runs; ++run) {
        const double start = seconds(CLOCK_MONOTONIC);
        loop(iterations);
        rates.push_back(static_cast<double>(iterations) / (seconds(CLOCK_MONOTONIC) - start));
    }
    return median(rates);
}

// What the script's sum of 0 .. n-1 traces.
std::string sumText(long n)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15g",
                  static_cast<double>(n) * static_cast<double>(n - 1) / 2);
    return text;
}

// The double additions of the scripts below, which the compiler cannot reorder or
// vectorize; the sink keeps the result alive.
volatile double g_sink = 0;

void plainSum(long n)
{
    double sum = 0;
    for (double i = 0; i < static_cast<double>(n); i += 1)
        sum += i;
    g_sink = sum;
}

[[gnu::noinline]] double bumped(double x)
{
    return x + 1;
}
double (*volatile g_bump)(double) = &bumped;

void plainCalls(long n)
{
    double i = 0;
    while (i < static_cast<double>(n))
        i = g_bump(i);
    g_sink = i;
}

void printActions(const char* what, const Rate& rate, const char* goal)
{
    std::printf("%s: median %.1f M actions/s wall, %.1f M/s CPU (%.1f actions an iteration, "
                "%.2f M iterations/s)%s%s%s\n",
                what, rate.wallPerSecond / 1e6, rate.cpuPerSecond / 1e6, rate.actionsPerIteration,
                rate.iterationsPerSecond() / 1e6, *goal ? "   goal " : "", goal,
                rate.resultRight ? "" : "   WRONG RESULT");
}

void printLoop(double interpreterIterations, double plainIterations)
{
    std::printf(
        "    plain C++ loop, same arithmetic: %.0f M iterations/s (%.0fx the interpreter)\n",
        plainIterations / 1e6, plainIterations / interpreterIterations);
}

// (a) sum += i; i += 1 while i < n, in the four registers of timeline code: ten
// actions an iteration.
ActionWriter registerLoop(long n)
{
    ActionWriter a;
    a.push({0}).storeRegister(1).op(Op::Pop);
    a.push({0}).storeRegister(2).op(Op::Pop);
    const auto loop = a.label();
    a.bind(loop);
    a.push({Register{2}, Register{1}}).op(Op::Add2).storeRegister(2).op(Op::Pop);
    a.push({Register{1}, 1}).op(Op::Add2).storeRegister(1);
    a.push({static_cast<double>(n)}).op(Op::Less2).ifTrue(loop);
    a.push({Register{2}}).op(Op::Trace);
    return a;
}

// The loop of `sum` and `i` through named variables, fifteen actions an iteration
// with five variable accesses, on whatever scope the code runs in.
void namedLoopBody(ActionWriter& a, long n)
{
    const auto loop = a.label();
    a.bind(loop);
    a.push({Constant{1}, Constant{1}}).op(Op::GetVariable);
    a.push({Constant{0}}).op(Op::GetVariable).op(Op::Add2).op(Op::SetVariable);
    a.push({Constant{0}, Constant{0}}).op(Op::GetVariable).op(Op::Increment).op(Op::SetVariable);
    a.push({Constant{0}}).op(Op::GetVariable).push({static_cast<double>(n)}).op(Op::Less2);
    a.ifTrue(loop);
}

// (b) the loop on the main timeline's variables.
ActionWriter timelineLoop(long n)
{
    ActionWriter a;
    a.constantPool({"i", "sum"});
    a.push({Constant{0}, 0}).op(Op::SetVariable);
    a.push({Constant{1}, 0}).op(Op::SetVariable);
    namedLoopBody(a, n);
    a.push({Constant{1}}).op(Op::GetVariable).op(Op::Trace);
    return a;
}

// (b) the loop on a function's local variables (var i, var sum), as SWF 5 and 6
// compilers write it.
ActionWriter localsLoop(long n)
{
    ActionWriter body;
    body.push({Constant{0}, 0}).op(Op::DefineLocal);
    body.push({Constant{1}, 0}).op(Op::DefineLocal);
    namedLoopBody(body, n);
    body.push({Constant{1}}).op(Op::GetVariable).op(Op::Return);
    ActionWriter a;
    a.constantPool({"i", "sum"});
    a.defineFunction("", {}, body).storeRegister(3).op(Op::Pop);
    a.push({0, Register{3}, Undefined{}}).op(Op::CallMethod).op(Op::Trace);
    return a;
}

// (c) i = o.m(i) while i < n, where m returns its argument plus one: a DefineFunction2
// keeping its argument in a register, or a DefineFunction reading it by name (which
// makes an arguments object each call). Five actions around each call, three in it.
ActionWriter methodLoop(long n, bool function2)
{
    ActionWriter body;
    if (function2)
        body.push({Register{1}, 1});
    else
        body.push({"x"}).op(Op::GetVariable).push({1});
    body.op(Op::Add2).op(Op::Return);
    ActionWriter a;
    a.push({0}).op(Op::InitObject).storeRegister(3).op(Op::Pop);
    a.push({Register{3}, "m"});
    if (function2)
        a.defineFunction2("", 2,
                          FunctionFlag::SuppressThis | FunctionFlag::SuppressArguments |
                              FunctionFlag::SuppressSuper,
                          {{1, "x"}}, body);
    else
        a.defineFunction("", {"x"}, body);
    a.op(Op::SetMember);
    a.push({0}).storeRegister(1).op(Op::Pop);
    const auto loop = a.label();
    a.bind(loop);
    a.push({Register{1}, 1, Register{3}, "m"}).op(Op::CallMethod).storeRegister(1);
    a.push({static_cast<double>(n)}).op(Op::Less2).ifTrue(loop);
    a.push({Register{1}}).op(Op::Trace);
    return a;
}

// (d) A frame script that makes `objects` objects of two properties and drops each.
ActionWriter churnFrame(long objects)
{
    ActionWriter a;
    a.push({0}).storeRegister(1).op(Op::Pop);
    const auto loop = a.label();
    a.bind(loop);
    a.push({"x", Register{1}, "y", Register{1}, 2}).op(Op::InitObject).op(Op::Pop);
    a.push({Register{1}}).op(Op::Increment).storeRegister(1);
    a.push({static_cast<double>(objects)}).op(Op::Less2).ifTrue(loop);
    return a;
}

// Runs in a child process so that its peak memory is its own.
int runChurn(long frames, long objects)
{
    const ActionWriter frame = churnFrame(objects);
    const ActionWriter both[] = {frame, frame};
    ScriptedMovie movie(both);
    movie.player().runActions();
    const Memory first = memoryNow();
    std::vector<double> frameMs;
    const double start = seconds(CLOCK_MONOTONIC);
    for (long f = 1; f < frames; ++f) {
        const double frameStart = seconds(CLOCK_MONOTONIC);
        movie.player().advance();
        frameMs.push_back((seconds(CLOCK_MONOTONIC) - frameStart) * 1000);
    }
    const double total = seconds(CLOCK_MONOTONIC) - start;
    const Memory last = memoryNow();
    std::printf("%.1f %.1f %.1f %.3f %.3f %.1f %" PRIu64 " %zu\n", first.peak, last.peak, last.rss,
                median(frameMs),
                frameMs.empty() ? 0 : *std::max_element(frameMs.begin(), frameMs.end()), total,
                movie.vm().heap().collections(), movie.vm().heap().liveCells());
    return 0;
}

void churn(long frames, long objects)
{
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return;
    const std::string command = std::string("'") + self + "' --churn " + std::to_string(frames) +
                                " " + std::to_string(objects);
    std::FILE* child = popen(command.c_str(), "r");
    if (!child)
        return;
    double firstPeak = 0, peak = 0, rss = 0, medianMs = 0, worstMs = 0, total = 0;
    unsigned long long collections = 0;
    std::size_t live = 0;
    const int got = std::fscanf(child, "%lf %lf %lf %lf %lf %lf %llu %zu", &firstPeak, &peak, &rss,
                                &medianMs, &worstMs, &total, &collections, &live);
    pclose(child);
    if (got != 8) {
        std::printf("(d) collector: the child run failed\n");
        return;
    }
    std::printf("(d) %ld frames making and dropping %ld objects each: peak RSS %.1f MiB after the "
                "first frame, %.1f MiB over the run (%+.1f MiB)   goal: within 64 MiB\n",
                frames, objects, firstPeak, peak, peak - firstPeak);
    std::printf("    %.1f s in all, median frame %.2f ms, slowest %.2f ms, %llu collections, "
                "%zu cells live at the end, RSS at the end %.1f MiB\n",
                total, medianMs, worstMs, collections, live, rss);
}

// (e) A million objects reachable from _global: a linked list (each node holding the
// next) or an array of objects, built by script.
ActionWriter millionObjects(long count, bool list)
{
    ActionWriter a;
    a.push({0}).storeRegister(1).op(Op::Pop);
    if (list)
        a.push({nullptr}).storeRegister(2).op(Op::Pop);
    else
        a.push({0}).op(Op::InitArray).storeRegister(2).op(Op::Pop);
    const auto loop = a.label();
    a.bind(loop);
    if (list) {
        a.push({"next", Register{2}, "value", Register{1}, 2}).op(Op::InitObject);
        a.storeRegister(2).op(Op::Pop);
    } else {
        a.push({Register{2}, Register{1}, "value", Register{1}, 1}).op(Op::InitObject);
        a.op(Op::SetMember);
    }
    a.push({Register{1}}).op(Op::Increment).storeRegister(1);
    a.push({static_cast<double>(count)}).op(Op::Less2).ifTrue(loop);
    a.push({"_global"}).op(Op::GetVariable).push({"objects", Register{2}}).op(Op::SetMember);
    a.push({Undefined{}}).storeRegister(2).op(Op::Pop);
    return a;
}

void collectionPause(long count, bool list, int runs)
{
    const ActionWriter code = millionObjects(count, list);
    ScriptedMovie movie(std::span<const ActionWriter>(&code, 1));
    movie.player().runActions();
    avm1::Vm& vm = movie.vm();
    vm.collectNow();
    std::vector<double> pauses, cpuPauses;
    for (int run = 0; run < runs; ++run) {
        const double start = seconds(CLOCK_MONOTONIC);
        const double cpuStart = seconds(CLOCK_PROCESS_CPUTIME_ID);
        vm.collectNow();
        cpuPauses.push_back((seconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart) * 1000);
        pauses.push_back((seconds(CLOCK_MONOTONIC) - start) * 1000);
    }
    std::printf("(e) collection with %ld objects live in %s from _global (%zu cells): median "
                "pause %.1f ms wall, %.1f ms CPU, worst %.1f ms wall   goal <= 50 ms\n",
                count, list ? "a linked list" : "an array", vm.heap().liveCells(), median(pauses),
                median(cpuPauses), *std::max_element(pauses.begin(), pauses.end()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--churn")
        return runChurn(std::atol(argv[2]), std::atol(argv[3]));
    // Options: --quick for shorter runs; letters a to e for some of the parts only.
    bool quick = false;
    std::string parts;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--quick")
            quick = true;
        else
            parts += argv[i];
    }
    auto wanted = [&parts](char part) {
        return parts.empty() || parts.find(part) != std::string::npos;
    };
    // One core: the interpreter runs on one thread; staying on one CPU keeps the
    // figures from moving with migrations.
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    sched_setaffinity(0, sizeof one, &one);

    const int runs = quick ? 3 : 5;
    const long n = quick ? 1'000'000 : 5'000'000;
    const double plainSums = wanted('a') || wanted('b') ? measureLoop(plainSum, n * 20, runs) : 0;
    if (wanted('a')) {
        const Rate registers = measureScript(registerLoop(n), n, sumText(n), runs);
        printActions("(a) registers and arithmetic", registers, ">= 50 M actions/s");
        printLoop(registers.iterationsPerSecond(), plainSums);
    }
    if (wanted('b')) {
        // Five of the fifteen actions of an iteration read or write a variable.
        const long named = n / 2;
        const Rate timeline = measureScript(timelineLoop(named), named, sumText(named), runs);
        printActions("(b) timeline variables", timeline, ">= 15 M actions/s");
        std::printf("    %.1f M variable accesses/s\n", timeline.iterationsPerSecond() * 5 / 1e6);
        printLoop(timeline.iterationsPerSecond(), plainSums);
        const Rate locals = measureScript(localsLoop(named), named, sumText(named), runs);
        printActions("(b) function locals", locals, ">= 15 M actions/s");
        std::printf("    %.1f M variable accesses/s\n", locals.iterationsPerSecond() * 5 / 1e6);
    }
    if (wanted('c')) {
        const long calls = n / 2;
        const double plainCallRate = measureLoop(plainCalls, calls * 20, runs);
        const Rate method2 =
            measureScript(methodLoop(calls, true), calls, std::to_string(calls), runs);
        printActions("(c) method calls, DefineFunction2 with registers", method2, "");
        std::printf("    %.2f M calls/s wall, %.2f M calls/s CPU   goal >= 3 M calls/s\n",
                    method2.iterationsPerSecond() / 1e6, method2.cpuIterationsPerSecond() / 1e6);
        printLoop(method2.iterationsPerSecond(), plainCallRate);
        const Rate method1 =
            measureScript(methodLoop(calls, false), calls, std::to_string(calls), runs);
        printActions("(c) method calls, DefineFunction with an arguments object", method1, "");
        std::printf("    %.2f M calls/s wall, %.2f M calls/s CPU\n",
                    method1.iterationsPerSecond() / 1e6, method1.cpuIterationsPerSecond() / 1e6);
    }
    if (wanted('d'))
        churn(quick ? 1000 : 10000, 10000);
    if (wanted('e')) {
        collectionPause(1'000'000, true, runs);
        collectionPause(1'000'000, false, runs);
    }
    return 0;
}
