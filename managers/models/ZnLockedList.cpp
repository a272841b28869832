#include "ZnLockedList.h"

#include "ZnQtViewCtrl.h"

ZnLockedList::~ZnLockedList()
{
    delete m_view;
}

void ZnLockedList::setView(ZnQtViewCtrl* view)
{
    if (view == m_view)
        return;
    delete m_view;
    m_view = view;
}
