#include "placement.h"

#include "startup.h"

#include <algorithm>
#include <optional>

namespace Placement {

QSettings store()
{
    const QString name = QLatin1String(Startup::kApplicationName);
    return QSettings(QSettings::UserScope, name, name);
}

namespace {
const QString kSection = QStringLiteral("Settings");

// The four keys and the values written for them.
QList<QPair<QString, QString>> entries(const QRect &frameTwips)
{
    return {{QStringLiteral("MainLeft"), QString::number(frameTwips.x())},
            {QStringLiteral("MainTop"), QString::number(frameTwips.y())},
            {QStringLiteral("MainWidth"), QString::number(frameTwips.width())},
            {QStringLiteral("MainHeight"), QString::number(frameTwips.height())}};
}

// Whether the store, read afresh, is whole and holds the placement.
bool holds(const QRect &frameTwips)
{
    QSettings settings = store();
    settings.beginGroup(kSection);
    for (const auto &[key, value] : entries(frameTwips)) {
        if (settings.value(key).toString() != value)
            return false;
    }
    return settings.status() == QSettings::NoError;
}
} // namespace

bool writeMainPlacement(const QRect &frameTwips, QString *error)
{
    QSettings settings = store();
    settings.beginGroup(kSection);
    for (const auto &[key, value] : entries(frameTwips))
        settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    // status() keeps the first fault met: a file that could not be parsed when
    // it was read reports a format error even once the placement has been
    // written over it. What counts then is whether the file now holds it.
    const QSettings::Status status = settings.status();
    if (status == QSettings::NoError || (status == QSettings::FormatError && holds(frameTwips)))
        return true;
    if (error) {
        *error = QStringLiteral("could not write the window placement to %1 (%2)")
                         .arg(settings.fileName(),
                              status == QSettings::AccessError ? QStringLiteral("access denied")
                                                               : QStringLiteral("format error"));
    }
    return false;
}

namespace {

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

// `size` within `room`, its top as near `top` as the room allows, against the
// room's left or right edge.
QRect placedIn(const QRect &room, const QSize &size, int top, bool alignRight)
{
    const QSize fitted = size.boundedTo(room.size());
    QRect frame(QPoint(alignRight ? room.right() + 1 - fitted.width() : room.left(), top), fitted);
    frame.moveTop(std::clamp(top, room.top(), room.bottom() + 1 - fitted.height()));
    return frame;
}

// From (left, top) to (right, bottom), both included; empty where they cross.
QRect span(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

QRect besideMain(const QRect &mainFrame, const QRect &grid, const QSize &size, const QSize &minimumSize,
                 const QRect &available, const QMargins &frame)
{
    const QSize margins(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize least = minimumSize + margins;
    const QSize wanted = size.expandedTo(minimumSize) + margins;
    const QRect screen = available;
    const auto holds = [&](const QRect &room) {
        return room.width() >= least.width() && room.height() >= least.height();
    };

    // Beside the main window, where it covers none of it.
    const QRect right = span(mainFrame.right() + 1 + kGap, screen.top(), screen.right(), screen.bottom());
    const QRect left = span(screen.left(), screen.top(), mainFrame.left() - 1 - kGap, screen.bottom());
    std::optional<QRect> placed;
    if (holds(right) && (!holds(left) || right.width() >= left.width()))
        placed = placedIn(right, wanted, mainFrame.top(), false);
    else if (holds(left))
        placed = placedIn(left, wanted, mainFrame.top(), true);

    // Below or above the main window, or beside the grid over the rest of
    // the main window: the place where most of the window stands clear of
    // it (its area less twice what it covers), each room tried at both of
    // its ends.
    if (!placed) {
        const QRect rooms[] = {
                span(screen.left(), mainFrame.bottom() + 1 + kGap, screen.right(), screen.bottom()),
                span(screen.left(), screen.top(), screen.right(), mainFrame.top() - 1 - kGap),
                span(grid.right() + 1 + kGap, screen.top(), screen.right(), screen.bottom()),
                span(screen.left(), screen.top(), grid.left() - 1 - kGap, screen.bottom()),
                span(screen.left(), grid.bottom() + 1 + kGap, screen.right(), screen.bottom()),
                span(screen.left(), screen.top(), screen.right(), grid.top() - 1 - kGap),
        };
        std::optional<qint64> best;
        for (const QRect &room : rooms) {
            if (!holds(room))
                continue;
            for (const bool alignRight : {false, true}) {
                for (const int top : {mainFrame.top(), screen.bottom() + 1 - wanted.height()}) {
                    const QRect candidate = placedIn(room, wanted, top, alignRight);
                    const qint64 clear = qint64(candidate.width()) * candidate.height() - 2 * overlap(candidate, mainFrame);
                    if (!best || clear > *best) {
                        best = clear;
                        placed = candidate;
                    }
                }
            }
        }
    }

    // Nowhere beside the grid: at its minimum size, on the screen, in the
    // corner where it covers least of the grid.
    if (!placed) {
        const QSize fitted = least;
        std::optional<qint64> covered;
        for (const bool alignRight : {false, true}) {
            for (const bool alignBottom : {false, true}) {
                QRect candidate(screen.topLeft(), fitted);
                if (alignRight)
                    candidate.moveRight(screen.right());
                if (alignBottom)
                    candidate.moveBottom(screen.bottom());
                // A window larger than the screen keeps its title bar on it.
                candidate.moveLeft(std::max(candidate.left(), screen.left()));
                candidate.moveTop(std::max(candidate.top(), screen.top()));
                const qint64 over = overlap(candidate, grid);
                if (!covered || over < *covered) {
                    covered = over;
                    placed = candidate;
                }
            }
        }
    }
    return placed->marginsRemoved(frame);
}

} // namespace Placement
