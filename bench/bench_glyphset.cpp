#include "benchstats.h"
#include "glyphsetsession.h"
#include "glyphsetwindow.h"
#include "mainwindow.h"
#include "startup.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

// GNU Unifont as BDF (about 57,000 glyphs) through the glyph-set window, its
// session and the export command, beside the programs Debian ships that read
// the same file: gbdfed and fontforge opening it, bdf2psf and bdftopcf
// converting it.
namespace {

using BenchStats::Clock;

constexpr int kRuns = 5;
constexpr int kChoices = 300;
const char *const kUnifontPcf = "/usr/share/fonts/X11/misc/unifont.pcf.gz";

double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// Forwards to the view's own delegate, counting the glyphs it paints: the
// end point of the opening is the first paint of the set's view, finished,
// in which glyphs were drawn.
class CountingDelegate : public QAbstractItemDelegate
{
public:
    CountingDelegate(QAbstractItemDelegate *inner, QObject *parent)
        : QAbstractItemDelegate(parent)
        , m_inner(inner)
    {
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        ++painted;
        m_inner->paint(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return m_inner->sizeHint(option, index);
    }
    mutable int painted = 0;

private:
    QAbstractItemDelegate *m_inner;
};

// Puts the counting delegate on the set's view when the view is first shown,
// before anything of it is painted.
class ViewWatcher : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!delegate && event->type() == QEvent::Show && watched->objectName() == QLatin1String("lstGlyphs")) {
            auto *view = static_cast<QListView *>(watched);
            delegate = new CountingDelegate(view->itemDelegate(), view);
            view->setItemDelegate(delegate);
        }
        return false;
    }
    CountingDelegate *delegate = nullptr;
};

GlyphSetWindow *glyphSetWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<GlyphSetWindow *>(widget))
            return window;
    }
    return nullptr;
}

// From the file name to the set window painted with its glyphs, in a main
// window shown and settled beforehand. Returns seconds, or -1.
double openAndShow(MainWindow &window, const QString &bdf)
{
    window.showCentred();
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    ViewWatcher watcher;
    qApp->installEventFilter(&watcher);
    const auto start = Clock::now();
    if (!window.openGlyphSet(bdf))
        return -1;
    while (!watcher.delegate || watcher.delegate->painted == 0) {
        QCoreApplication::processEvents();
        if (BenchStats::secondsSince(start) > 60)
            return -1;
    }
    const double seconds = BenchStats::secondsSince(start);
    qApp->removeEventFilter(&watcher);
    return seconds;
}

// In a child: its output goes nowhere, and the parent's buffered output is
// not written twice.
void quiet()
{
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
}

struct Process
{
    double seconds = -1; // wall time, -1 when it could not run
    double peakMiB = 0;  // the child's maximum resident set
    int status = -1;     // exit status
};

// Runs `argv` as a whole process, its output thrown away, on one core when
// `oneCore`; wall time from fork to wait4, whose rusage gives the peak RSS.
Process run(const QStringList &argv, bool oneCore)
{
    std::vector<QByteArray> args;
    for (const QString &arg : argv)
        args.push_back(arg.toLocal8Bit());
    std::vector<char *> pointers;
    for (QByteArray &arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    std::fflush(stdout);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (oneCore) {
            cpu_set_t cpus;
            CPU_ZERO(&cpus);
            CPU_SET(0, &cpus);
            sched_setaffinity(0, sizeof cpus, &cpus);
        }
        quiet();
        execvp(pointers[0], pointers.data());
        _exit(127);
    }
    Process result;
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return result;
    result.seconds = BenchStats::secondsSince(start);
    result.peakMiB = double(usage.ru_maxrss) / 1024;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (result.status == 127)
        result.seconds = -1;
    return result;
}

// The median wall time of `runs` runs (fewer when one takes over 20 s).
Process median(const QStringList &argv, bool oneCore, int runs = 3)
{
    std::vector<double> seconds;
    Process last;
    for (int i = 0; i < runs; ++i) {
        last = run(argv, oneCore);
        if (last.seconds < 0)
            return last;
        seconds.push_back(last.seconds);
        if (last.seconds > 20)
            break;
    }
    last.seconds = BenchStats::median(seconds);
    return last;
}

// Whether a window whose title starts with `title` is mapped. (gbdfed adds
// " [modified]" to its title for a font it fixed up while reading.)
bool mapped(const QString &title)
{
    QProcess tree;
    tree.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    tree.waitForFinished();
    for (const QByteArray &line : tree.readAllStandardOutput().split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.contains("\"" + title.toLocal8Bit()))
            continue;
        QProcess info;
        info.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::fromLatin1(trimmed.split(' ').first())});
        info.waitForFinished();
        if (info.readAllStandardOutput().contains("Map State: IsViewable"))
            return true;
    }
    return false;
}

double cpuSeconds(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
    // After the command's closing bracket: state is field 1, utime 12, stime 13.
    return fields.size() > 13 ? (fields[12].toDouble() + fields[13].toDouble()) / double(sysconf(_SC_CLK_TCK)) : -1;
}

// A window program started with the file on the same X display: seconds
// until its window whose title starts with `title` is mapped, and until it
// is mapped and its CPU time last grew (polled every 20 ms, done when it has
// not grown for 1 s), which takes in the first paint. False when it could not be run.
bool untilShown(const QStringList &argv, const QString &title, double *mappedAt, double *idleAt)
{
    *mappedAt = *idleAt = -1;
    if (qgetenv("DISPLAY").isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty()
        || QStandardPaths::findExecutable(argv.first()).isEmpty())
        return false;
    const QByteArray program = argv.at(0).toLocal8Bit(), file = argv.value(1).toLocal8Bit();
    std::fflush(stdout);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        quiet();
        execlp(program.constData(), program.constData(), file.isEmpty() ? nullptr : file.constData(),
               static_cast<char *>(nullptr));
        _exit(127);
    }
    if (pid < 0)
        return false;
    double lastCpu = -1;
    auto lastChange = Clock::now();
    while (BenchStats::secondsSince(start) < 120) {
        if (*mappedAt < 0 && mapped(title))
            *mappedAt = BenchStats::secondsSince(start);
        const double cpu = cpuSeconds(pid);
        if (cpu != lastCpu) {
            lastCpu = cpu;
            lastChange = Clock::now();
        }
        if (*mappedAt >= 0 && BenchStats::secondsSince(lastChange) > 1.0) {
            *idleAt = std::max(*mappedAt, std::chrono::duration<double>(lastChange - start).count());
            break;
        }
        usleep(20000);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return *mappedAt >= 0 && *idleAt >= 0;
}

// The medians of three such runs.
bool medianUntilShown(const QStringList &argv, const QString &title, double *mappedAt, double *idleAt)
{
    std::vector<double> mappedRuns, idleRuns;
    for (int i = 0; i < 3; ++i) {
        if (!untilShown(argv, title, mappedAt, idleAt))
            return false;
        mappedRuns.push_back(*mappedAt);
        idleRuns.push_back(*idleAt);
    }
    *mappedAt = BenchStats::median(mappedRuns);
    *idleAt = BenchStats::median(idleRuns);
    return true;
}

void row(const char *what, double ours, double peer, const char *unit)
{
    if (peer < 0)
        std::printf("  %-56s ours %7.3f %s  peer skipped (not installed or failed)\n", what, ours, unit);
    else
        std::printf("  %-56s ours %7.3f %s  peer %7.3f %s  ratio %5.1fx\n", what, ours, unit, peer, unit, peer / ours);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup::setUpApplication();
    QTemporaryDir dir;
    const QString bdf = dir.filePath(QStringLiteral("unifont.bdf"));
    if (run({QStringLiteral("pcf2bdf"), QStringLiteral("-o"), bdf, QString::fromLatin1(kUnifontPcf)}, false).status != 0
        || !QFileInfo(bdf).size()) {
        std::printf("GNU Unifont: no %s or no pcf2bdf (Debian's xfonts-unifont, pcf2bdf), skipped\n", kUnifontPcf);
        return 0;
    }
    std::printf("GNU Unifont as BDF, %.1f MiB, medians of %d runs:\n", double(QFileInfo(bdf).size()) / (1 << 20), kRuns);

    // Opening: a new main window each run; the last one stays for the rest.
    std::vector<double> opens;
    double peak = 0;
    auto *window = new MainWindow;
    for (int i = 0; i < kRuns; ++i) {
        if (i) {
            delete window;
            window = new MainWindow;
        }
        opens.push_back(openAndShow(*window, bdf));
        if (!i)
            peak = peakMiB();
    }
    GlyphSetWindow *setWindow = glyphSetWindow();
    if (!setWindow || *std::min_element(opens.begin(), opens.end()) < 0) {
        std::printf("  the set could not be opened and shown\n");
        return 0;
    }
    GlyphSetSession &session = setWindow->session();
    const double open = BenchStats::median(opens);
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.3f s (%lld glyphs)", open, static_cast<long long>(session.set().size()));
    BenchStats::report("opened and shown in the set window", figure, "<= 1 s", open <= 1);
    std::snprintf(figure, sizeof figure, "%.1f MiB", peak);
    BenchStats::report("peak memory (VmHWM) after opening and showing", figure, "<= 100 MiB", peak <= 100);

    std::vector<double> saves;
    const QString saved = dir.filePath(QStringLiteral("saved.bdf"));
    for (int i = 0; i < kRuns; ++i) {
        QString error;
        const auto start = Clock::now();
        const bool ok = session.save(saved, ExportOptions{}, &error);
        saves.push_back(ok ? BenchStats::secondsSince(start) : 1e9);
    }
    const double save = BenchStats::median(saves);
    std::snprintf(figure, sizeof figure, "%.3f s", save);
    BenchStats::report("saved (GlyphSetSession::save)", figure, "<= 0.5 s", save <= 0.5);

    // Glyphs spread over the whole set, each far from the one before, so
    // that the view scrolls for every one.
    std::vector<double> choices;
    const qsizetype count = session.set().size();
    for (int i = 0; i < kChoices; ++i) {
        const qsizetype index = (qsizetype(i) * 7919 * 13) % count;
        const auto start = Clock::now();
        session.choose(index);
        QCoreApplication::processEvents(); // the repaint of Grid1 and of the view
        choices.push_back(BenchStats::secondsSince(start) * 1e3);
    }
    const double choose = BenchStats::median(choices);
    const double worst = *std::max_element(choices.begin(), choices.end());
    std::snprintf(figure, sizeof figure, "%.2f ms (p99 %.2f, worst %.2f)", choose,
                  BenchStats::percentile(choices, 0.99), worst);
    BenchStats::report("choosing a glyph, with the repaint", figure, "<= 5 ms", worst <= 5);
    delete window;

    const QString kelvor = QCoreApplication::applicationDirPath() + QStringLiteral("/KELVOR21");
    const QString out = dir.filePath(QStringLiteral("out"));
    const Process exported = median({kelvor, QStringLiteral("export"), bdf, QStringLiteral("-o"), out + QStringLiteral(".h")}, true, kRuns);
    if (exported.status == 0) {
        std::snprintf(figure, sizeof figure, "%.3f s, peak %.1f MiB", exported.seconds, exported.peakMiB);
        BenchStats::report("KELVOR21 export, whole process on one core", figure, "<= 0.5 s", exported.seconds <= 0.5);
    } else {
        std::printf("  KELVOR21 export: no %s or it failed (status %d), skipped\n", qPrintable(kelvor), exported.status);
    }

    std::printf("\nBeside Debian's programs on the same file (wall time in seconds; ratio = peer / ours):\n");
    const Process fontforge = median({QStringLiteral("fontforge"), QStringLiteral("-lang=ff"), QStringLiteral("-c"),
                                      QStringLiteral("Open($1); Generate($2)"), bdf, out + QStringLiteral(".ff.bdf")},
                                     false);
    // fontforge has no window here: against our opening and showing in the
    // process, and against our headless reading and writing, the export.
    row("opening: fontforge Open; Generate vs ours in-process", open, fontforge.seconds, "s");
    row("opening: fontforge Open; Generate vs our export", exported.seconds, fontforge.seconds, "s");
    // Whole processes on the display, medians of three runs: ours started
    // with the file as a user would, against gbdfed. The window is seen
    // mapped at the end of the poll that finds it (xwininfo, a few tens of
    // milliseconds a poll).
    double oursMapped = -1, oursIdle = -1, mappedAt = -1, idleAt = -1;
    double bareMapped = -1, bareIdle = -1;
    medianUntilShown({kelvor}, QStringLiteral("KELVOR 2.1"), &bareMapped, &bareIdle);
    medianUntilShown({kelvor, bdf}, QStringLiteral("unifont.bdf"), &oursMapped, &oursIdle);
    medianUntilShown({QStringLiteral("gbdfed"), bdf}, QStringLiteral("gbdfed - unifont.bdf"), &mappedAt, &idleAt);
    if (oursMapped < 0) {
        std::printf("  whole processes on the display: no X display (or no xwininfo), gbdfed skipped\n");
    } else {
        std::printf("  whole processes, %s %s: ours until its set window is mapped %.3f s, until idle %.3f s\n",
                    "KELVOR21 unifont.bdf", "on this display", oursMapped, oursIdle);
        std::printf("  (ours started without a file, until its main window is mapped %.3f s, until idle %.3f s)\n",
                    bareMapped, bareIdle);
        row("opening: gbdfed, until its window is mapped (process)", oursMapped, mappedAt, "s");
        row("opening: gbdfed, until its CPU time stops growing", oursIdle, idleAt, "s");
    }
    const double ourExport = exported.status == 0 ? exported.seconds : -1;
    const Process bdf2psf = median({QStringLiteral("bdf2psf"), QStringLiteral("--fb"), bdf,
                                    QStringLiteral("/usr/share/bdf2psf/standard.equivalents"),
                                    QStringLiteral("/usr/share/bdf2psf/fontsets/Uni1.512+:/usr/share/bdf2psf/useful.set"),
                                    QStringLiteral("512"), out + QStringLiteral(".psf")},
                                   true);
    row("export: bdf2psf --fb to a 512-glyph PSF (one core)", ourExport, bdf2psf.status == 0 ? bdf2psf.seconds : -1, "s");
    const Process bdftopcf = median({QStringLiteral("bdftopcf"), QStringLiteral("-o"), out + QStringLiteral(".pcf"), bdf}, true);
    row("export: bdftopcf to PCF (one core)", ourExport, bdftopcf.status == 0 ? bdftopcf.seconds : -1, "s");
    std::printf("  peak RSS: ours %.1f MiB, fontforge %.1f, bdf2psf %.1f, bdftopcf %.1f\n", exported.peakMiB,
                fontforge.peakMiB, bdf2psf.peakMiB, bdftopcf.peakMiB);
    return 0;
}
