#pragma once

#include "ZnLogPage.h"

// Page of the user log, 100 rows a page, newest first.
class ZnUserLogInfoForm : public ZnLogPage
{
    Q_OBJECT
public:
    explicit ZnUserLogInfoForm(QWidget *parent = nullptr);

public slots:
    void slot_showUserLogList() { slot_showLogList(); }
    void slot_getUserLogSize(qint64 total) { slot_getLogSize(total); }
    void set_refresh_btn_enable() { set_query_btn_enable(); }
};
