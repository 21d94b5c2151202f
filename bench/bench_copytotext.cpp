#include "benchstats.h"
#include "copytotext.h"
#include "mainwindow.h"
#include "outputtext.h"
#include "plaintextbox.h"
#include "plaintextdocument.h"
#include "startup.h"
#include "stringtextbox.h"

#include <QApplication>
#include <QPushButton>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <vector>

// Copy to Text on hex strings of 64 KiB, 1 MiB and 16 MiB characters.
//   core:    OutputText appending to a plain string;
//   window:  the real path: the hex string in the main window's Text2 box,
//            the "Copy to Text" button clicked, the line appended to Text1
//            and Text1 scrolled to its end. Text1 is emptied between runs,
//            outside the timing.
// Beside the wall-clock time each figure gives the process's user and system
// time over the same runs and the page faults per run: a line of 64 MiB is
// fresh memory every time, and on some virtual machines faulting it in costs
// more than building it. The window path is also timed step by step.
namespace {

struct Timing
{
    double wall = 0; // seconds, medians over the runs
    double user = 0;
    double system = 0;
    double faults = 0; // minor page faults per run

    void print(const char *what) const
    {
        std::printf("  %-52s %8.2f ms   (user %.2f ms, system %.2f ms, %.0f page faults)\n", what, wall * 1e3,
                    user * 1e3, system * 1e3, faults);
    }
};

Timing medianOf(const std::vector<Timing> &runs)
{
    std::vector<double> wall, user, system, faults;
    for (const Timing &run : runs) {
        wall.push_back(run.wall);
        user.push_back(run.user);
        system.push_back(run.system);
        faults.push_back(run.faults);
    }
    return {BenchStats::median(wall), BenchStats::median(user), BenchStats::median(system),
            BenchStats::median(faults)};
}

double seconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// Times `step` `runs` times, running `prepare` untimed before each.
template <typename Prepare, typename Step>
Timing measure(int runs, Prepare prepare, Step step)
{
    std::vector<double> wall, user, system, faults;
    for (int i = 0; i < runs; ++i) {
        prepare();
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        const auto start = BenchStats::Clock::now();
        step();
        wall.push_back(BenchStats::secondsSince(start));
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        user.push_back(seconds(after.ru_utime) - seconds(before.ru_utime));
        system.push_back(seconds(after.ru_stime) - seconds(before.ru_stime));
        faults.push_back(double(after.ru_minflt - before.ru_minflt));
    }
    return {BenchStats::median(wall), BenchStats::median(user), BenchStats::median(system),
            BenchStats::median(faults)};
}

struct Size
{
    const char *name;
    qsizetype characters;
    int runs;
};

const Size kSizes[] = {
    {"64 KiB", qsizetype(64) * 1024, 41},
    {"1 MiB", qsizetype(1024) * 1024, 15},
    {"16 MiB", qsizetype(16) * 1024 * 1024, 5},
};

QString hexString(qsizetype length)
{
    const QString digits = QStringLiteral("0123456789ABCDEF");
    QString hex;
    hex.reserve(length);
    while (hex.size() < length)
        hex += digits;
    hex.truncate(length);
    return hex;
}

// The output core with its text in memory.
struct CoreOutput
{
    StringTextBox Text1;
    OutputText output{Text1};
};

Timing core(const QString &hex, int runs)
{
    std::unique_ptr<CoreOutput> core;
    return measure(runs, [&] { core = std::make_unique<CoreOutput>(); },
                   [&] { core->output.Command1_Click(hex); });
}

struct WindowTimings
{
    Timing click; // the whole button press
    // The same work step by step, in the order the press does it, each run
    // starting from the same state as a press.
    Timing readText2;
    Timing writeLine; // built part by part straight into Text1
    Timing scrollToEnd;
};

WindowTimings window(MainWindow &window, const QString &hex, int runs)
{
    auto *Text1 = window.findChild<PlainTextBox *>(QStringLiteral("Text1"));
    auto *Text2 = window.findChild<PlainTextBox *>(QStringLiteral("Text2"));
    auto *Command1 = window.findChild<QPushButton *>(QStringLiteral("Command1"));
    Text2->setText(hex);
    const auto emptyText1 = [&] {
        Text1->setText(QStringLiteral("kept\r\n"));
        QCoreApplication::processEvents();
    };
    WindowTimings timings;
    timings.click = measure(runs, emptyText1, [&] { Command1->click(); });

    std::vector<Timing> steps[3];
    for (int i = 0; i < runs; ++i) {
        QString text;
        steps[0].push_back(measure(1, emptyText1, [&] { text = Text2->text(); }));
        steps[1].push_back(measure(1, [] {}, [&] {
            PlainTextDocument &document = *qobject_cast<PlainTextDocument *>(Text1->document());
            document.beginAppend();
            CopyToText::writeLine(text, QStringLiteral("$"), QStringLiteral(","),
                                  [&](QStringView part) { document.appendPart(part); });
            document.endAppend();
        }));
        steps[2].push_back(measure(1, [] {}, [&] {
            Text1->moveCursor(QTextCursor::End);
            Text1->ensureCursorVisible();
        }));
    }
    timings.readText2 = medianOf(steps[0]);
    timings.writeLine = medianOf(steps[1]);
    timings.scrollToEnd = medianOf(steps[2]);
    Text1->setText(QString());
    Text2->setText(QString());
    return timings;
}

void printLinearity(const char *path, const std::vector<Timing> &timings)
{
    char what[96];
    char figure[64];
    std::snprintf(what, sizeof what, "%s, 16 MiB", path);
    std::snprintf(figure, sizeof figure, "%.2f ms", timings[2].wall * 1e3);
    BenchStats::report(what, figure, "<= 500 ms", timings[2].wall <= 0.5);
    std::snprintf(what, sizeof what, "%s, 16 MiB / (16 x 1 MiB)", path);
    std::snprintf(figure, sizeof figure, "%.2f", timings[2].wall / (16 * timings[1].wall));
    BenchStats::report(what, figure, "<= 1.20 (linear)", timings[2].wall <= 1.2 * 16 * timings[1].wall);
    std::snprintf(what, sizeof what, "%s, same on user time alone", path);
    std::printf("  %-52s %.2f\n", what, timings[2].user / (16 * timings[1].user));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup::setUpApplication();
    MainWindow frmMain;
    frmMain.showCentred();
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();

    std::vector<Timing> coreTimings, windowTimings;
    char what[96];
    std::printf("Copy to Text, medians:\n");
    for (const Size &size : kSizes) {
        const QString hex = hexString(size.characters);
        coreTimings.push_back(core(hex, size.runs));
        std::snprintf(what, sizeof what, "core (OutputText), %s", size.name);
        coreTimings.back().print(what);
    }
    for (const Size &size : kSizes) {
        const QString hex = hexString(size.characters);
        const WindowTimings timings = window(frmMain, hex, size.runs);
        windowTimings.push_back(timings.click);
        std::snprintf(what, sizeof what, "window (Text2 box -> Text1 box), %s", size.name);
        timings.click.print(what);
        timings.readText2.print("  step 1: reading Text2's text");
        timings.writeLine.print("  step 2: writing the line into Text1");
        timings.scrollToEnd.print("  step 3: scrolling Text1 to its end");
    }
    printLinearity("core", coreTimings);
    printLinearity("window", windowTimings);

    // A 4 MiB line reuses memory the process already has, a 64 MiB one is
    // fresh memory the kernel must fault in. Sixteen 1 MiB lines kept side by
    // side need fresh memory too: the same work and memory as one of 16 MiB.
    const QString hex1 = hexString(kSizes[1].characters);
    std::vector<double> sixteen;
    for (int run = 0; run < kSizes[1].runs; ++run) {
        std::vector<std::unique_ptr<CoreOutput>> cores;
        for (int i = 0; i < 16; ++i)
            cores.push_back(std::make_unique<CoreOutput>());
        const auto start = BenchStats::Clock::now();
        for (auto &core : cores)
            core->output.Command1_Click(hex1);
        sixteen.push_back(BenchStats::secondsSince(start));
    }
    const double sixteenSeconds = BenchStats::median(sixteen);
    std::printf("  %-52s %.2f (16 lines of 1 MiB kept: %.2f ms)\n", "core, 16 MiB / 16 lines of 1 MiB in fresh memory",
                coreTimings[2].wall / sixteenSeconds, sixteenSeconds * 1e3);
    return 0;
}
