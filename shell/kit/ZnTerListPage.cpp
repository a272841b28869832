#include "ZnTerListPage.h"

#include "BaseMessageDialog.h"
#include "ZnTipsInfo.h"

#include <QTableWidget>

ZnTerListPage::ZnTerListPage(QWidget *parent) : QWidget(parent) {}

ZnTerListPage::~ZnTerListPage() = default;

void ZnTerListPage::updateRow(int row, int id)
{
    ZnTableRow cells;
    if (recordRow(id, cells))
        ZnTableFill::writeRow(tableWidget(), row, cells);
}

bool ZnTerListPage::recordRow(int, ZnTableRow &)
{
    return false;
}

bool ZnTerListPage::insertRecord(int id)
{
    ZnTableRow cells;
    if (!recordRow(id, cells))
        return false;
    insertTop(cells);
    return true;
}

void ZnTerListPage::redrawOrAdd(int id)
{
    const int row = findRowById(id);
    if (row >= 0) {
        // In a table of many thousand rows the row's cells are far apart in
        // memory: they are fetched while the new cells are built, not one by
        // one as they are compared.
        ZnTableFill::prefetchRow(tableWidget(), row);
        updateRow(row, id);
        return;
    }
    insertRecord(id);
}

void ZnTerListPage::dropRow(int id)
{
    removeRowById(id);
}

int ZnTerListPage::insertTop(ZnTableRow &row)
{
    if (row.isEmpty())
        return -1;
    if (refilling)
        refilling->append(row);
    else
        ZnTableFill::insertRow(tableWidget(), 0, row);
    return 0;
}

void ZnTerListPage::editCurrent()
{
    const int id = currentId();
    if (id >= 0)
        editRecord(id);
}

void ZnTerListPage::deleteSelected()
{
    // The ids the operator confirms; rows are looked up again after each box
    // and request, since a push may have refilled the table meanwhile.
    const QList<int> ids = selectedIds();
    if (ids.isEmpty() || !ask(ZnTipsInfo::deleteRecordQuestionText()))
        return;
    for (int i = ids.size() - 1; i >= 0; --i) {
        const int id = ids.at(i);
        const int result = removeRecord(id);
        if (result == RecordGone)
            continue;
        if (result == RecordOnline)
            tell(ZnTipsInfo::terminalNotOfflineText());
        else if (result == 0 && dropRowOnRemoval)
            removeRowById(id);
        else if (result != 0 && !deleteFailedText.isEmpty())
            tell(deleteFailedText);
    }
}

bool ZnTerListPage::ask(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    return box.exec() == 1;
}

void ZnTerListPage::tell(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    box.exec();
}
