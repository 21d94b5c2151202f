#pragma once

#include <QAccessibleWidget>

class QComboBox;

// What a screen reader gets from a size list, or from any other combo box
// given an accessible name: a combo box named by that name whatever it
// shows, its shown text as its value. Qt's own combo box interface names a
// box by its text on Linux ("8", "Width", "u8g2 font"), so a list named
// "Matrix width" or "Format" would never be heard as such. Its children are
// Qt's: the drop-down list and the edit field.
class ComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit ComboBoxAccessible(QComboBox *box);

    // Makes Qt use this interface for every size list, and for every other
    // combo box named before its interface is first asked for; a size list
    // or a window with such a box calls it.
    static void install();

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    QComboBox *box() const;
};
