#include "benchstats.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

// Start-up of the program against two references of the same client size,
// each started as a fresh process by this driver: a bare Qt window, and the
// bare window with one label, which pays what any window with text pays (the
// font system, a font, shaping a line). The targets are set against the
// label. Runs come in triples, the order rotating from triple to triple, one
// warm-up triple left out. Time runs from just before the fork to the end of
// the window's first paint; memory is the peak resident set at that moment.
// The fonts are whatever FONTCONFIG_FILE gives (bench/run.sh runs this once
// per font set).
//
//   bench_startup PROBE [TRIPLES]     PROBE is bench_startupwindow; 15 triples
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
    // Resident memory at the first paint by what is mapped (MiB)
    double qtMiB = 0, heapMiB = 0, fontsMiB = 0, otherMiB = 0;
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
    long peakKiB = 0, privateKiB = 0, qtKiB = 0, heapKiB = 0, fontsKiB = 0, otherKiB = 0;
    if (std::sscanf(out.c_str(), "%lld %lld %lld %lld %ld %ld %ld %ld %ld %ld", &app, &window, &shown, &painted,
                    &peakKiB, &privateKiB, &qtKiB, &heapKiB, &fontsKiB, &otherKiB) != 10
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
    run->qtMiB = double(qtKiB) / 1024;
    run->heapMiB = double(heapKiB) / 1024;
    run->fontsMiB = double(fontsKiB) / 1024;
    run->otherMiB = double(otherKiB) / 1024;
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

// One field of two modes compared triple by triple: a / b, or a - b.
template <typename Field>
std::vector<double> paired(const std::vector<Run> &a, const std::vector<Run> &b, Field field, bool ratio)
{
    std::vector<double> values;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        values.push_back(ratio ? a[i].*field / b[i].*field : a[i].*field - b[i].*field);
    return values;
}

double medianRatio(const std::vector<Run> &a, const std::vector<Run> &b)
{
    return median(paired(a, b, &Run::total, true));
}

template <typename Field>
double medianDelta(const std::vector<Run> &a, const std::vector<Run> &b, Field field)
{
    return median(paired(a, b, field, false));
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
        std::fprintf(stderr, "usage: %s PROBE [TRIPLES]\n", argv[0]);
        return 2;
    }
    const char *probe = argv[1];
    const int triples = argc > 2 ? std::atoi(argv[2]) : 15;

    static const char *const kModes[] = {"app", "label", "bare"};
    std::vector<Run> app, bare, label;
    for (int i = -1; i < triples; ++i) { // triple -1 warms the caches and is left out
        Run runs[3];
        for (int k = 0; k < 3; ++k) {
            const int mode = (k + (i + 3)) % 3; // each mode first, second and last in turn
            if (!runOnce(probe, kModes[mode], &runs[mode]))
                return 1;
        }
        if (i < 0)
            continue;
        app.push_back(runs[0]);
        label.push_back(runs[1]);
        bare.push_back(runs[2]);
    }

    const char *fonts = std::getenv("FONTCONFIG_FILE");
    std::printf("Start-up, medians of %d triples (platform %s, fonts %s):\n", triples,
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default",
                fonts ? fonts : "the system's");
    printPhases("app", app);
    printPhases("label", label);
    printPhases("bare", bare);
    char figure[64];
    const std::vector<double> ratios = paired(app, label, &Run::total, true);
    const double ratio = median(ratios);
    std::snprintf(figure, sizeof figure, "%.3f x label", ratio);
    BenchStats::report("start-up, program / window with one label", figure, "<= 1.10 x label", ratio <= 1.10);
    // How far one run's median can be trusted: on a shared or virtual machine
    // the triples spread widely, and so do medians of separate runs.
    std::printf("  %-52s %.3f to %.3f x label\n", "the triples' middle half", BenchStats::percentile(ratios, 0.25),
                BenchStats::percentile(ratios, 0.75));
    const double delta = medianDelta(app, label, &Run::peakMiB);
    std::snprintf(figure, sizeof figure, "label %+.1f MiB", delta);
    BenchStats::report("peak resident memory, program - window with one label", figure, "<= label + 2 MiB",
                       delta <= 2);
    std::printf("  %-52s label %+.1f MiB (the rest is shared library and font pages)\n",
                "of which private dirty memory", medianDelta(app, label, &Run::privateMiB));
    std::printf("  %-52s Qt libraries %+.1f, heap and anonymous %+.1f, font files %+.1f, other files %+.1f MiB\n",
                "resident at first paint, by mapping, over the label", medianDelta(app, label, &Run::qtMiB),
                medianDelta(app, label, &Run::heapMiB), medianDelta(app, label, &Run::fontsMiB),
                medianDelta(app, label, &Run::otherMiB));
    std::printf("  %-52s %.3f x bare, bare %+.1f MiB\n", "the program against the bare window",
                medianRatio(app, bare), medianDelta(app, bare, &Run::peakMiB));
    std::printf("  %-52s %.3f x bare, bare %+.1f MiB (what any text costs)\n",
                "the window with one label against the bare window", medianRatio(label, bare),
                medianDelta(label, bare, &Run::peakMiB));
    return 0;
}
