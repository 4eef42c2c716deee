// The ActionScript 3 machine on programs compiled by Haxe at build time, each beside the
// same algorithm in C++ at -O2: instructions a second for the typed loop, operations a
// second for calls, slots, dynamic properties and allocation, and the slowdown against
// C++ for the kernels. Every program's output is checked against Haxe's interpreter.
// Then the collector's pause with a million objects live.
//     bench-avm2 [--quick]
#include "avm2/vm/Vm.h"
#include "format/Movie.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct MovieRun {
    double seconds = 0; // CPU time of the whole run, loading included
    std::uint64_t instructions = 0;
    bool matched = false;
    double pauseMs = 0; // the collector's pause after the run, when asked
};

// A compiled program run as the tests run them: its blocks loaded, then its main class
// looked up, which runs the class's script and so the program. Haxe's boot class (the
// document class) is not constructed: it would wait for a stage.
MovieRun runMovie(const std::string& name, bool collect = false)
{
    MovieRun result;
    const std::string base = std::string(BENCH_HAXE_DIR) + "/" + name;
    const std::string bytes = readText(base + ".swf");
    auto movie = swf::loadMovie(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (!movie) {
        std::fprintf(stderr, "%s: the movie did not load\n", name.c_str());
        return result;
    }
    std::string output;
    avm2::Vm::Host host;
    host.trace = [&](std::string_view line) {
        output += line;
        output += '\n';
    };
    avm2::Vm vm(std::move(host), (*movie)->header.version);
    vm.setTimeout(600);
    const double start = cpuSeconds();
    vm.startBudget();
    for (const swf::Frame& frame : (*movie)->timeline.frames)
        for (const swf::ControlTag& tag : frame.tags)
            if (const auto* abc = std::get_if<swf::DoAbc>(&tag)) {
                std::string error;
                vm.loadAbc(abc->abc, (abc->flags & 1) != 0, &error);
            }
    vm.getDefinitionByName(avm2::utf16(name));
    if (vm.throwing())
        vm.printUncaught(vm.takeException());
    result.seconds = cpuSeconds() - start;
    result.instructions = vm.instructionCount();
    const std::string expected = readText(base + ".expected");
    result.matched = output == expected;
    if (!result.matched)
        std::fprintf(stderr, "%s printed:\n%s\nHaxe's interpreter printed:\n%s\n", name.c_str(),
                     output.c_str(), expected.c_str());
    if (collect) {
        const auto t0 = std::chrono::steady_clock::now();
        vm.heap().collect();
        result.pauseMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
    }
    return result;
}

template <typename F> double timeNative(F&& f)
{
    const double start = cpuSeconds();
    f();
    return cpuSeconds() - start;
}

// The same algorithms in C++. `volatile` sinks keep the optimiser from dropping them.
volatile long long g_sink = 0;

__attribute__((noinline)) void nativeIntLoop()
{
    std::int32_t s = 0;
    for (std::int32_t i = 0; i < 20000000; ++i)
        s = static_cast<std::int32_t>(
                (static_cast<std::uint32_t>(s) + static_cast<std::uint32_t>(i) * 3u)) ^
            (i >> 1);
    g_sink = s;
}

struct Counter {
    int n = 0;
    __attribute__((noinline)) int add(int x) { return n += x; }
};
void nativeCalls()
{
    Counter c;
    int r = 0;
    for (int i = 0; i < 5000000; ++i)
        r = c.add(i & 7);
    g_sink = r;
}

void nativeSieve()
{
    const int n = 2000000;
    std::vector<bool> composite(n + 1, false);
    int count = 0;
    for (int i = 2; i <= n; ++i)
        if (!composite[i]) {
            ++count;
            for (int j = i * 2; j <= n; j += i)
                composite[j] = true;
        }
    g_sink = count;
}

struct Body {
    double x, y, z, vx, vy, vz, mass;
};
void nativeNBody()
{
    const double solar = 39.47841760435743, days = 365.24;
    std::vector<Body> b = {
        {0, 0, 0, 0, 0, 0, solar},
        {4.84143144246472090e+00, -1.16032004402742839e+00, -1.03622044471123109e-01,
         1.66007664274403694e-03 * days, 7.69901118419740425e-03 * days,
         -6.90460016972063023e-05 * days, 9.54791938424326609e-04 * solar},
        {8.34336671824457987e+00, 4.12479856412430479e+00, -4.03523417114321381e-01,
         -2.76742510726862411e-03 * days, 4.99852801234917238e-03 * days,
         2.30417297573763929e-05 * days, 2.85885980666130812e-04 * solar},
        {1.28943695621391310e+01, -1.51111514016986312e+01, -2.23307578892655734e-01,
         2.96460137564761618e-03 * days, 2.37847173959480950e-03 * days,
         -2.96589568540237556e-05 * days, 4.36624404335156298e-05 * solar},
        {1.53796971148509165e+01, -2.59193146099879641e+01, 1.79258772950371181e-01,
         2.68067772490389322e-03 * days, 1.62824170038242295e-03 * days,
         -9.51592254519715870e-05 * days, 5.15138902046611451e-05 * solar}};
    for (int step = 0; step < 200000; ++step) {
        for (std::size_t i = 0; i < b.size(); ++i)
            for (std::size_t j = i + 1; j < b.size(); ++j) {
                const double dx = b[i].x - b[j].x, dy = b[i].y - b[j].y, dz = b[i].z - b[j].z;
                const double d2 = dx * dx + dy * dy + dz * dz;
                const double mag = 0.01 / (d2 * std::sqrt(d2));
                b[i].vx -= dx * b[j].mass * mag;
                b[i].vy -= dy * b[j].mass * mag;
                b[i].vz -= dz * b[j].mass * mag;
                b[j].vx += dx * b[i].mass * mag;
                b[j].vy += dy * b[i].mass * mag;
                b[j].vz += dz * b[i].mass * mag;
            }
        for (Body& body : b) {
            body.x += 0.01 * body.vx;
            body.y += 0.01 * body.vy;
            body.z += 0.01 * body.vz;
        }
    }
    g_sink = static_cast<long long>(b[1].x * 1e9);
}

struct Node {
    std::unique_ptr<Node> left, right;
};
std::unique_ptr<Node> make(int depth)
{
    auto n = std::make_unique<Node>();
    if (depth > 0) {
        n->left = make(depth - 1);
        n->right = make(depth - 1);
    }
    return n;
}
int check(const Node* n)
{
    return n->left ? 1 + check(n->left.get()) + check(n->right.get()) : 1;
}
void nativeBinaryTrees()
{
    auto longLived = make(14);
    long long total = 0;
    for (int depth = 4; depth <= 14; depth += 2)
        for (int i = 0; i < (1 << (14 - depth + 4)); ++i)
            total += check(make(depth).get());
    g_sink = total + check(longLived.get());
}

void report(const char* what, const MovieRun& run, double native, const char* goal)
{
    std::printf("%-22s %8.3f s   C++ %8.4f s   %6.1f x C++   %s%s\n", what, run.seconds, native,
                native > 0 ? run.seconds / native : 0.0, goal,
                run.matched ? "" : "   OUTPUT DIFFERS");
}

void reportRate(const char* what, const MovieRun& run, double operations, const char* unit,
                double goal)
{
    const double rate = operations / run.seconds / 1e6;
    std::printf("%-22s %8.1f M %s/s   goal >= %.0f M/s%s%s\n", what, rate, unit, goal,
                rate >= goal ? "" : "   BELOW", run.matched ? "" : "   OUTPUT DIFFERS");
}

} // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("CPU time of each program's run under the machine, loading included.\n");
    const MovieRun intLoop = runMovie("IntLoop");
    reportRate("typed int loop", intLoop, static_cast<double>(intLoop.instructions), "instructions",
               300);
    report("  (same loop)", intLoop, timeNative(nativeIntLoop), "");
    const MovieRun calls = runMovie("Calls");
    reportRate("sealed method calls", calls, 5e6, "calls", 20);
    report("  (same calls)", calls, timeNative(nativeCalls), "");
    const MovieRun slots = runMovie("Slots");
    reportRate("slot reads and writes", slots, 5e6 * 6, "accesses", 200);
    const MovieRun dynamics = runMovie("Dynamics");
    reportRate("dynamic properties", dynamics, 3e6 * 4, "accesses", 30);
    const MovieRun allocation = runMovie("Allocation");
    reportRate("object allocation", allocation, 3e6, "objects", 10);
    const MovieRun strings = runMovie("Strings");
    std::printf("%-22s %8.3f s   (20,000 pieces joined; 20,000 records to JSON and back)%s\n",
                "strings and JSON", strings.seconds, strings.matched ? "" : "   OUTPUT DIFFERS");
    report("n-body", runMovie("NBody"), timeNative(nativeNBody), "goal <= 20 x C++");
    report("sieve", runMovie("Sieve"), timeNative(nativeSieve), "goal <= 20 x C++");
    report("binary trees", runMovie("BinaryTrees"), timeNative(nativeBinaryTrees),
           "goal <= 20 x C++");
    const MovieRun live = runMovie("LiveObjects", true);
    std::printf("%-22s %8.1f ms with 1 M objects live   goal <= 50 ms%s\n", "collector pause",
                live.pauseMs, live.matched ? "" : "   OUTPUT DIFFERS");
    return 0;
}
