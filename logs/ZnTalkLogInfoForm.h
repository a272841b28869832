#pragma once

#include "ZnLogPage.h"

// Page of the talk log, 100 rows a page, newest first.
class ZnTalkLogInfoForm : public ZnLogPage
{
    Q_OBJECT
public:
    explicit ZnTalkLogInfoForm(QWidget *parent = nullptr);
};
