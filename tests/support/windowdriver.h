#pragma once

#include "gridview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// Helpers that drive windows as a user would: through their controls.
namespace WindowDriver {

// Presses the mouse on a cell of a grid view, as a user clicks it.
inline void clickCell(GridView *view, int row, int col)
{
    QTest::mouseClick(view, Qt::LeftButton, {}, view->cellRect(row, col).center());
}

// Answers the next modal message box: records what it showed and presses
// `answer`, or its first button. Create it before the action that opens the
// box.
class MessageBoxWatcher : public QObject
{
public:
    explicit MessageBoxWatcher(QMessageBox::StandardButton answer = QMessageBox::NoButton)
        : m_answer(answer)
    {
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxWatcher::poll);
        m_timer.start(5);
    }

    bool seen = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttonCount = 0;
    bool modal = false;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_timer.stop();
        seen = true;
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttonCount = box->buttons().size();
        modal = box->isModal();
        QAbstractButton *button = m_answer == QMessageBox::NoButton ? nullptr : box->button(m_answer);
        (button ? button : box->buttons().constFirst())->click();
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

} // namespace WindowDriver
