#pragma once

#include "ZnTerListPage.h"
#include "ui_fMicGroupInfoForm.h"

class QTableWidgetItem;
class ZnMicGroup;

// Page of the microphone (call-service) groups: the group table, the members of
// the clicked group beside it, and new, edit and delete through the group model.
class ZnMicGroupInfoForm : public ZnTerListPage
{
    Q_OBJECT
public:
    explicit ZnMicGroupInfoForm(QWidget *parent = nullptr);

    QTableWidget *tableWidget() override { return ui.fGroupTableWidget; }
    Ui::fMicGroupInfoForm &form() { return ui; }
    void updateRow(int row, int id) override;

    // Runs the edit dialog on group and commits it when accepted: operation 4
    // adds (with a new id), 5 edits. 0 when committed or cancelled, -1 when the
    // commit failed ("Setting Error!" shown).
    int editAndCommit(ZnMicGroup &group, int operation);
    // The id of a new group: the largest held plus 1 to 10.
    static int newGroupId(int largest);
    // The name of ring rule 1 to 5; an empty text for any other rule.
    static QString ruleName(int rule);

public slots:
    void slot_showMicGroupList();
    void slot_updateMicGroupRow(int id);
    void slot_delMicGroupRow(int id);
    void slot_add_clicked();
    void slot_edit_clicked();
    void slot_delete_clicked();
    void widget_item_clicked(QTableWidgetItem *item);

protected:
    bool recordRow(int id, ZnTableRow &row) override;
    void editRecord(int id) override;
    int removeRecord(int id) override;

private:
    static void makeRow(const ZnMicGroup &group, ZnTableRow &row);
    void showMembers();
    void clearMembers();

    Ui::fMicGroupInfoForm ui;
};
