#include "benchstats.h"
#include "gridview.h"
#include "mainwindow.h"
#include "plaintextbox.h"
#include "startup.h"
#include "stringtextbox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

#include <cstdio>
#include <vector>

// One click on a cell of the 16 x 16 editing grid: toggle, mirror, readout
// update and Text2, timed click by click over every cell in turn.
//   core:    GlyphEditor alone, as the window's handler calls it;
//   window:  a mouse press and release sent to the real Grid1 view of a shown
//            main window, which adds the event dispatch, the real Text2 box
//            and the repaint requests (the repaint itself runs later, from
//            the event loop, and is timed on its own).
// Then the faster edits: a stroke over all 256 cells (core, and the mouse
// events through the window, the repaint left to the event loop), undo and
// redo of a step, and a drawing from 64 KiB of text that is refused.
namespace {

using BenchStats::Clock;

constexpr int kRounds = 40; // each round clicks all 256 cells

// The editor core as the window starts it, its hex string in memory.
struct CoreEditor
{
    explicit CoreEditor(bool vertical = false)
    {
        if (vertical)
            editor.optvert_Click();
        else
            editor.opthoriz_Click();
        editor.frmMain_LoadGrids(Colours::kSystemAppWorkspace);
    }

    StringTextBox Text2;
    GlyphEditor editor{Text2};
};

std::vector<double> coreClicks(bool vertical)
{
    CoreEditor core(vertical);
    GlyphEditor &editor = core.editor;
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

// The cells of a 16 x 16 grid in one path, row by row, every other row
// right to left, so that each cell is next to the one before.
std::vector<std::pair<int, int>> serpentine()
{
    std::vector<std::pair<int, int>> path;
    for (int r = 0; r < 16; ++r) {
        for (int i = 0; i < 16; ++i)
            path.emplace_back(r, r % 2 ? 15 - i : i);
    }
    return path;
}

std::vector<double> coreStrokes()
{
    CoreEditor core;
    GlyphEditor &editor = core.editor;
    const auto path = serpentine();
    std::vector<double> micros;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        editor.Grid1_MouseDown(path[0].first, path[0].second);
        for (const auto &[r, c] : path)
            editor.Grid1_MouseMove(r, c);
        editor.Grid1_MouseUp();
        micros.push_back(BenchStats::secondsSince(start) * 1e6);
    }
    return micros;
}

std::vector<double> windowStrokes()
{
    MainWindow window;
    window.showCentred();
    auto *Grid1 = window.findChild<GridView *>(QStringLiteral("Grid1"));
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    const auto path = serpentine();
    std::vector<double> micros;
    for (int round = 0; round < kRounds / 4; ++round) {
        const auto send = [Grid1](QEvent::Type type, const std::pair<int, int> &cell, Qt::MouseButtons buttons) {
            const QPointF pos = Grid1->cellRect(cell.first, cell.second).center();
            QMouseEvent event(type, pos, Grid1->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(Grid1, &event);
        };
        const auto start = Clock::now();
        send(QEvent::MouseButtonPress, path.front(), Qt::LeftButton);
        for (const auto &cell : path)
            send(QEvent::MouseMove, cell, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, path.back(), Qt::NoButton);
        micros.push_back(BenchStats::secondsSince(start) * 1e6);
        QCoreApplication::processEvents(); // the repaint, not timed
    }
    return micros;
}

void undoAndRedo(std::vector<double> *undos, std::vector<double> *redos)
{
    CoreEditor core;
    GlyphEditor &editor = core.editor;
    for (int i = 0; i < GlyphEditor::kMaxUndoSteps; ++i)
        editor.Grid1_Click(i / 16 % 16, i % 16);
    for (int i = 0; i < GlyphEditor::kMaxUndoSteps; ++i) {
        const auto start = Clock::now();
        editor.undo();
        undos->push_back(BenchStats::secondsSince(start) * 1e6);
    }
    for (int i = 0; i < GlyphEditor::kMaxUndoSteps; ++i) {
        const auto start = Clock::now();
        editor.redo();
        redos->push_back(BenchStats::secondsSince(start) * 1e6);
    }
}

// A table of bytes of `size` characters, far more than a readout has cells.
std::vector<double> refusedDrawings(qsizetype size, int rounds, bool *unchanged)
{
    CoreEditor core;
    GlyphEditor &editor = core.editor;
    editor.Grid1_Click(3, 3);
    const QString before = editor.Text2();
    QString text;
    while (text.size() < size)
        text += QStringLiteral("0x5A, ");
    text.truncate(size);
    std::vector<double> micros;
    *unchanged = true;
    for (int round = 0; round < rounds; ++round) {
        QString error;
        const auto start = Clock::now();
        const bool drawn = editor.drawFromText(text, &error);
        micros.push_back(BenchStats::secondsSince(start) * 1e6);
        *unchanged = *unchanged && !drawn && editor.Text2() == before && !error.isEmpty();
    }
    return micros;
}

// A step that leaves a huge hex string alone must not pay for reading it.
std::vector<double> bigText2Inverts()
{
    MainWindow window;
    window.showCentred();
    auto *Text2 = window.findChild<PlainTextBox *>(QStringLiteral("Text2"));
    auto *cmdInverse = window.findChild<QPushButton *>(QStringLiteral("cmdInverse"));
    Text2->setText(QString(16 * 1024 * 1024, QLatin1Char('A')));
    std::vector<double> micros;
    for (int round = 0; round < 10; ++round) {
        const auto start = Clock::now();
        cmdInverse->click();
        micros.push_back(BenchStats::secondsSince(start) * 1e6);
    }
    return micros;
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

    std::printf("\nFaster edits, medians:\n");
    char figure[64];
    const auto report = [&figure](const char *what, const std::vector<double> &micros, double targetMicros,
                                  const char *target) {
        const double med = BenchStats::median(micros);
        std::snprintf(figure, sizeof figure, "%.1f us (p99 %.1f)", med, BenchStats::percentile(micros, 0.99));
        BenchStats::report(what, figure, target, med <= targetMicros);
    };
    report("stroke over all 256 cells, core", coreStrokes(), 2000, "<= 2 ms");
    report("stroke over all 256 cells, window (no repaint)", windowStrokes(), 10000, "<= 10 ms");
    std::vector<double> undos, redos;
    undoAndRedo(&undos, &redos);
    report("undo of a click, core", undos, 50, "<= 50 us");
    report("redo of a click, core", redos, 50, "<= 50 us");
    bool unchanged = false;
    const std::vector<double> refused = refusedDrawings(64 * 1024, kRounds, &unchanged);
    report(unchanged ? "64 KiB refused, core (nothing changed)" : "64 KiB refused, core: SOMETHING CHANGED", refused,
           unchanged ? 5000 : -1, "<= 5 ms");
    const std::vector<double> refusedHuge = refusedDrawings(16 * 1024 * 1024, 3, &unchanged);
    print(unchanged ? "16 MiB refused, core (nothing changed)" : "16 MiB refused, core: SOMETHING CHANGED",
          refusedHuge, false);
    print("Invert through the window, 16 MiB typed into Text2", bigText2Inverts(), false);
    return 0;
}
