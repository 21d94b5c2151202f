#include "mainwindow.h"
#include "startup.h"
#include "twips.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// The program whose start-up bench_startup times, in one of two forms:
//   app   exactly what the window module's kelvorWindowMain() does: the
//         application set up, then the main window created and shown
//         centred (the program loads that module first: bench_command
//         times the whole process);
//   bare  a bare application with a plain QWidget of the main window's
//         client size shown instead;
//   label the bare window with one label on it: what showing any text at all
//         costs (the font system, a font, shaping), for reference.
// When the window's first paint has been handled it prints the monotonic
// clock at each step (nanoseconds), its peak resident memory and its private
// dirty memory (KiB: the heap and other memory of its own, without the pages
// of shared libraries and fonts it has read) and its resident memory split by
// what is mapped, then exits at once.
namespace {

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Private_Dirty of /proc/self/smaps_rollup, in KiB; 0 where there is none.
long privateDirtyKiB()
{
    std::FILE *file = std::fopen("/proc/self/smaps_rollup", "r");
    if (!file)
        return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, file)) {
        if (std::sscanf(line, "Private_Dirty: %ld kB", &kib) == 1)
            break;
    }
    std::fclose(file);
    return kib;
}

// The resident memory of /proc/self/smaps in KiB, by what is mapped: the Qt
// libraries, the heap and other anonymous memory, font files, and the rest
// (other libraries, plugins, the program). All zero where there is no smaps.
struct ResidentSplit
{
    long qt = 0, heap = 0, fonts = 0, other = 0;
};

bool endsWith(const char *text, const char *suffix)
{
    const size_t n = std::strlen(text), m = std::strlen(suffix);
    return n >= m && std::strcmp(text + n - m, suffix) == 0;
}

ResidentSplit residentSplit()
{
    ResidentSplit split;
    std::FILE *file = std::fopen("/proc/self/smaps", "r");
    if (!file)
        return split;
    char line[4096];
    long *group = &split.other;
    while (std::fgets(line, sizeof line, file)) {
        long kib = 0;
        if (std::sscanf(line, "Rss: %ld kB", &kib) == 1) {
            *group += kib;
            continue;
        }
        // A mapping's first line: "start-end perms offset dev inode [path]".
        unsigned long start = 0, end = 0;
        int pathAt = 0;
        if (std::sscanf(line, "%lx-%lx %*s %*s %*s %*s %n", &start, &end, &pathAt) < 2 || pathAt == 0)
            continue;
        char *path = line + pathAt;
        path[std::strcspn(path, "\n")] = '\0';
        if (std::strstr(path, "/libQt6"))
            group = &split.qt;
        else if (*path == '\0' || path[0] == '[')
            group = &split.heap; // [heap], anonymous memory, [stack] and the kernel's pages
        else if (endsWith(path, ".ttf") || endsWith(path, ".otf") || endsWith(path, ".ttc")
                 || endsWith(path, ".pfb") || endsWith(path, ".t1"))
            group = &split.fonts;
        else
            group = &split.other;
    }
    std::fclose(file);
    return split;
}

long long g_appCreated = 0;
long long g_windowCreated = 0;
long long g_showReturned = 0;

// Waits for the window's first paint, then lets that paint finish (and the
// other widgets' paints of the same pass) before taking the time.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QWidget *window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, &FirstPaint::shown);
        }
        return false;
    }

private:
    void shown()
    {
        const long long painted = monotonicNs();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const ResidentSplit split = residentSplit();
        std::printf("%lld %lld %lld %lld %ld %ld %ld %ld %ld %ld\n", g_appCreated, g_windowCreated, g_showReturned,
                    painted, usage.ru_maxrss, privateDirtyKiB(), split.qt, split.heap, split.fonts, split.other);
        std::fflush(stdout);
        // Ends here: tearing down is no part of start-up, and neither is
        // what the program leaves until after its first paint, which tools
        // that count the whole process (callgrind) would count otherwise.
        std::_Exit(0);
    }

    bool m_seen = false;
};

} // namespace

int main(int argc, char *argv[])
{
    const bool label = argc > 1 && std::strcmp(argv[1], "label") == 0;
    const bool bare = label || (argc > 1 && std::strcmp(argv[1], "bare") == 0);

    QApplication app(argc, argv);
    if (!bare)
        Startup::setUpApplication();
    g_appCreated = monotonicNs();

    if (bare) {
        QWidget window;
        window.resize(Twips::toPixels(MainWindow::kClientWidthTwips),
                      Twips::toPixels(MainWindow::kClientHeightTwips));
        if (label)
            (new QLabel(QStringLiteral("KELVOR 2.1"), &window))->move(10, 10);
        g_windowCreated = monotonicNs();
        FirstPaint watcher(&window);
        window.show();
        g_showReturned = monotonicNs();
        return QApplication::exec();
    }

    MainWindow frmMain;
    g_windowCreated = monotonicNs();
    FirstPaint watcher(&frmMain);
    frmMain.showCentred();
    g_showReturned = monotonicNs();
    return QApplication::exec();
}
