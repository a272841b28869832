#pragma once

#include "ZnLogPage.h"

// Page of the terminal log, 100 rows a page, newest first.
class ZnTermLogInfoForm : public ZnLogPage
{
    Q_OBJECT
public:
    explicit ZnTermLogInfoForm(QWidget *parent = nullptr);
};
