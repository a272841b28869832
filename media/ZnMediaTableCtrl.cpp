#include "ZnMediaTableCtrl.h"

#include <QHeaderView>
#include <QIcon>
#include <QStringList>
#include <QTableWidget>

void ZnMediaTableCtrl::initTable(QTableWidget* table, int mode)
{
    m_table = table;
    if (!table)
        return;
    QStringList labels{tr("Media Name")};
    if (mode == 2)
        labels << tr("File Size");
    else if (mode != 1)
        labels << tr("Duration") << tr("File Size");
    table->setColumnCount(labels.size());
    table->setHorizontalHeaderLabels(labels);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setProperty("showSortIndicator", QVariant(true));
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setVisible(false);
}

void ZnMediaTableCtrl::addMediaRow(const std::string& name)
{
    if (!m_table)
        return;
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    auto* item = new QTableWidgetItem(QIcon(QStringLiteral(":/images/file_mp3_24px.png")),
                                      QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    m_table->setItem(row, 0, item);
}
