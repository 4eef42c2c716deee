// Start-up benchmark: the time from process start to the list window's first paint,
// and the peak memory, with 0, 1,000 and 32,767 movies in the folder. Run it on an X
// server (bench/run-startup-bench starts one).
#include "MovieWriter.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

extern char** environ;

namespace {

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Run {
    double milliseconds = -1;
    long peakKiB = -1;
};

Run runOnce(const fs::path& executable)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const std::string path = executable.string();
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    const double start = monotonicSeconds();
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return {};
    }
    std::string output;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    double paintedAt = 0;
    Run run;
    if (std::sscanf(output.c_str(), "first-paint %lf peak-kib %ld", &paintedAt, &run.peakKiB) == 2)
        run.milliseconds = (paintedAt - start) * 1000;
    return run;
}

void makeFolder(const fs::path& folder, int movies, const fs::path& probe)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    swfwriter::MovieWriter movie(8, 320, 240, 12);
    movie.showFrame();
    const auto bytes = movie.bytes();
    for (int i = 0; i < movies; ++i) {
        std::ofstream file(folder / ("Movie number " + std::to_string(i) + ".swf"),
                           std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    fs::copy_file(probe, folder / "reelvane", fs::copy_options::overwrite_existing);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench-startup PROBE_EXECUTABLE\n");
        return 2;
    }
    const fs::path probe = fs::absolute(argv[1]);
    const fs::path work = fs::temp_directory_path() / "reelvane-startup-bench";
    struct Case {
        int movies;
        double goalMs;
        double goalMiB;
    };
    const Case cases[] = {{0, 0, 0}, {1000, 150, 60}, {32767, 2000, 0}};
    std::printf("%-8s %12s %12s %14s   %s\n", "movies", "median ms", "best ms", "peak MiB", "goal");
    for (const Case& c : cases) {
        makeFolder(work, c.movies, probe);
        runOnce(work / "reelvane"); // warm the file cache
        std::vector<double> times;
        long peak = 0;
        for (int i = 0; i < 7; ++i) {
            const Run run = runOnce(work / "reelvane");
            if (run.milliseconds < 0) {
                std::fprintf(stderr, "the probe did not report a paint\n");
                return 1;
            }
            times.push_back(run.milliseconds);
            peak = std::max(peak, run.peakKiB);
        }
        std::sort(times.begin(), times.end());
        std::string goal;
        if (c.goalMs > 0)
            goal += "first paint <= " + std::to_string(int(c.goalMs)) + " ms";
        if (c.goalMiB > 0)
            goal += ", peak < " + std::to_string(int(c.goalMiB)) + " MiB";
        std::printf("%-8d %12.1f %12.1f %14.1f   %s\n", c.movies, times[times.size() / 2], times[0],
                    peak / 1024.0, goal.c_str());
    }
    fs::remove_all(work);
    return 0;
}
