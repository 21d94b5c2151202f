#include "choosefontdialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

ChooseFontDialog::ChooseFontDialog(const std::vector<FirmwareSource::Font> &fonts, const QString &fileName,
                                   QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgChooseFont"));
    setWindowTitle(tr("Open a font of %1").arg(fileName));

    auto *label = new QLabel(tr("%1 holds %L2 fonts. Choose the one to open:").arg(fileName).arg(fonts.size()), this);
    m_lstFonts = new QTreeWidget(this);
    m_lstFonts->setObjectName(QStringLiteral("lstFonts"));
    m_lstFonts->setRootIsDecorated(false);
    m_lstFonts->setUniformRowHeights(true);
    m_lstFonts->setAllColumnsShowFocus(true);
    m_lstFonts->setHeaderLabels({tr("Name"), tr("Kind"), tr("Glyphs"), tr("Size")});
    label->setBuddy(m_lstFonts);
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(fonts.size()));
    for (const FirmwareSource::Font &font : fonts) {
        auto *item = new QTreeWidgetItem({font.name, FontExport::title(font.format), QString::number(font.glyphs),
                                          tr("%1 × %2").arg(font.cols).arg(font.rows)});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    m_lstFonts->addTopLevelItems(items);
    m_lstFonts->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_lstFonts->setCurrentItem(m_lstFonts->topLevelItem(0));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    m_cmdOpen = buttons->button(QDialogButtonBox::Open);
    m_cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_lstFonts, &QTreeWidget::itemActivated, this, &QDialog::accept);
    connect(m_lstFonts, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { m_cmdOpen->setEnabled(current != nullptr); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_lstFonts, 1);
    layout->addWidget(buttons);
    m_lstFonts->setFocus();
    resize(sizeHint().expandedTo(QSize(560, 360)));
}

QString ChooseFontDialog::chosen() const
{
    const QTreeWidgetItem *item = m_lstFonts->currentItem();
    return item ? item->text(0) : QString();
}
