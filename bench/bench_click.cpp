#include "benchstats.h"
#include "gridview.h"
#include "mainwindow.h"
#include "startup.h"

#include <QApplication>
#include <QMouseEvent>

#include <cstdio>
#include <vector>

// One click on a cell of the 16 x 16 editing grid: toggle, mirror, readout
// update and Text2, timed click by click over every cell in turn.
//   core:    GlyphEditor alone, as the window's handler calls it;
//   window:  a mouse press and release sent to the real Grid1 view of a shown
//            main window, which adds the event dispatch, the real Text2 box
//            and the repaint requests (the repaint itself runs later, from
//            the event loop, and is timed on its own).
namespace {

using BenchStats::Clock;

constexpr int kRounds = 40; // each round clicks all 256 cells

std::vector<double> coreClicks(bool vertical)
{
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    if (vertical)
        editor.optvert_Click();
    else
        editor.opthoriz_Click();
    editor.frmMain_LoadGrids(Colours::kSystemAppWorkspace);
    std::vector<double> micros;
    for (int round = 0; round < kRounds; ++round) {
        for (int cell = 0; cell < 256; ++cell) {
            const auto start = Clock::now();
            editor.Grid1_Click(cell / 16, cell % 16);
            micros.push_back(BenchStats::secondsSince(start) * 1e6);
        }
    }
    return micros;
}

void windowClicks(std::vector<double> *clicks, std::vector<double> *repaints)
{
    MainWindow window;
    window.showCentred();
    auto *Grid1 = window.findChild<GridView *>(QStringLiteral("Grid1"));
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    for (int round = 0; round < kRounds / 4; ++round) {
        for (int cell = 0; cell < 256; ++cell) {
            const QPointF pos = Grid1->cellRect(cell / 16, cell % 16).center();
            const QPointF global = Grid1->mapToGlobal(pos);
            QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            auto start = Clock::now();
            QApplication::sendEvent(Grid1, &press);
            QApplication::sendEvent(Grid1, &release);
            clicks->push_back(BenchStats::secondsSince(start) * 1e6);
            start = Clock::now();
            QCoreApplication::processEvents(); // the update requests: the repaint
            repaints->push_back(BenchStats::secondsSince(start) * 1e6);
        }
    }
}

void print(const char *what, const std::vector<double> &micros, bool withTarget)
{
    char figure[64];
    const double med = BenchStats::median(micros);
    std::snprintf(figure, sizeof figure, "%.2f us (p99 %.1f)", med, BenchStats::percentile(micros, 0.99));
    if (withTarget)
        BenchStats::report(what, figure, "<= 20 us median", med <= 20);
    else
        std::printf("  %-52s %-22s (no target)\n", what, figure);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup::setUpApplication();
    std::printf("Grid1 click on a 16 x 16 matrix, medians of %d clicks:\n", kRounds * 256);
    print("click, core, horizontal (rowGrid of 16)", coreClicks(false), true);
    print("click, core, vertical (colGrid of 16)", coreClicks(true), true);
    std::vector<double> clicks, repaints;
    windowClicks(&clicks, &repaints);
    print("click through the main window's Grid1 and Text2", clicks, true);
    print("repaint that follows it (not part of the click)", repaints, false);
    return 0;
}
