#include "benchstats.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

// Start-up of the program against a bare Qt window of the same client size,
// each started as a fresh process by this driver: paired runs, the order of
// the two alternating from pair to pair, one warm-up pair left out. Time runs
// from just before the fork to the end of the window's first paint; memory is
// the peak resident set at that moment.
//
//   bench_startup PROBE [PAIRS]     PROBE is bench_startupwindow; 15 pairs
namespace {

using BenchStats::median;

struct Run
{
    double total = 0;         // ms, fork to first paint handled
    double application = 0;   // ms, fork to QApplication made
    double window = 0;        // ms, creating the window
    double show = 0;          // ms, show() until it returns
    double paint = 0;         // ms, show() returned to first paint handled
    double peakMiB = 0;
    double privateMiB = 0;
};

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

bool runOnce(const char *probe, const char *mode, Run *run)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const long long start = monotonicNs();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(probe, probe, mode, static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);

    long long app = 0, window = 0, shown = 0, painted = 0;
    long peakKiB = 0, privateKiB = 0;
    if (std::sscanf(out.c_str(), "%lld %lld %lld %lld %ld %ld", &app, &window, &shown, &painted, &peakKiB,
                    &privateKiB) != 6
        || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_startup: %s run failed (status %d): %s\n", mode, status, out.c_str());
        return false;
    }
    run->total = double(painted - start) / 1e6;
    run->application = double(app - start) / 1e6;
    run->window = double(window - app) / 1e6;
    run->show = double(shown - window) / 1e6;
    run->paint = double(painted - shown) / 1e6;
    run->peakMiB = double(peakKiB) / 1024;
    run->privateMiB = double(privateKiB) / 1024;
    return true;
}

template <typename Field>
double medianOf(const std::vector<Run> &runs, Field field)
{
    std::vector<double> values;
    for (const Run &run : runs)
        values.push_back(run.*field);
    return median(values);
}

void printPhases(const char *name, const std::vector<Run> &runs)
{
    std::printf("  %-5s %6.1f ms = application %5.1f + window %5.1f + show %4.1f + first paint %5.1f;"
                " peak RSS %5.1f MiB, private %5.1f MiB\n",
                name, medianOf(runs, &Run::total), medianOf(runs, &Run::application),
                medianOf(runs, &Run::window), medianOf(runs, &Run::show), medianOf(runs, &Run::paint),
                medianOf(runs, &Run::peakMiB), medianOf(runs, &Run::privateMiB));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROBE [PAIRS]\n", argv[0]);
        return 2;
    }
    const char *probe = argv[1];
    const int pairs = argc > 2 ? std::atoi(argv[2]) : 15;

    std::vector<Run> app, bare, label;
    std::vector<double> ratios, memoryDeltas, privateDeltas, labelRatios, labelDeltas;
    for (int i = -1; i < pairs; ++i) { // pair -1 warms the caches and is left out
        Run a, b, l;
        const bool appFirst = i % 2 == 0;
        const bool ok = appFirst ? runOnce(probe, "app", &a) && runOnce(probe, "bare", &b)
                                 : runOnce(probe, "bare", &b) && runOnce(probe, "app", &a);
        if (!ok || !runOnce(probe, "label", &l))
            return 1;
        if (i < 0)
            continue;
        app.push_back(a);
        bare.push_back(b);
        label.push_back(l);
        ratios.push_back(a.total / b.total);
        memoryDeltas.push_back(a.peakMiB - b.peakMiB);
        privateDeltas.push_back(a.privateMiB - b.privateMiB);
        labelRatios.push_back(l.total / b.total);
        labelDeltas.push_back(l.peakMiB - b.peakMiB);
    }

    std::printf("Start-up, medians of %d paired runs (platform %s):\n", pairs,
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default");
    printPhases("app", app);
    printPhases("bare", bare);
    printPhases("label", label);
    char figure[64];
    const double ratio = median(ratios);
    std::snprintf(figure, sizeof figure, "%.3f x bare", ratio);
    BenchStats::report("start-up, program / bare window (median of pairs)", figure, "<= 1.10 x bare",
                       ratio <= 1.10);
    const double delta = median(memoryDeltas);
    std::snprintf(figure, sizeof figure, "bare %+.1f MiB", delta);
    BenchStats::report("peak resident memory, program - bare window", figure, "<= bare + 5 MiB", delta <= 5);
    std::printf("  %-52s bare %+.1f MiB (the rest is shared library and font pages)\n",
                "of which private dirty memory", median(privateDeltas));
    std::printf("  %-52s %.3f x bare, bare %+.1f MiB (what any text costs)\n",
                "for reference: the bare window with one label", median(labelRatios), median(labelDeltas));
    return 0;
}
