#pragma once

#include <QAccessibleWidget>

class SizeList;

// What a screen reader gets from a size list: a combo box named by its
// accessible name whatever it shows, its shown text as its value. Qt's own
// combo box interface names an editable box by its text on Linux ("8",
// "Width"), so a list named "Matrix width" would never be heard as such.
// Its children are Qt's: the drop-down list and the edit field.
class SizeListAccessible : public QAccessibleWidget
{
public:
    explicit SizeListAccessible(SizeList *list);

    // Makes Qt use this interface for every size list; the first list calls it.
    static void install();

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    SizeList *list() const;
};
