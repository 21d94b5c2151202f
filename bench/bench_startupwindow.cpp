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
//   app   exactly what the program's main() does: the application set up,
//         then the main window created and shown centred;
//   bare  a bare application with a plain QWidget of the main window's
//         client size shown instead;
//   label the bare window with one label on it: what showing any text at all
//         costs (the font system, a font, shaping), for reference.
// When the window's first paint has been handled it prints the monotonic
// clock at each step (nanoseconds), its peak resident memory and its private
// dirty memory (KiB: the heap and other memory of its own, without the pages
// of shared libraries and fonts it has read), then exits at once.
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
        std::printf("%lld %lld %lld %lld %ld %ld\n", g_appCreated, g_windowCreated, g_showReturned, painted,
                    usage.ru_maxrss, privateDirtyKiB());
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
