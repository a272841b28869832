#include "ZnLockedList.h"

#include "ZnViewBaseCtr.h"

ZnLockedList::~ZnLockedList()
{
    delete m_view;
}

void ZnLockedList::setView(ZnViewBaseCtr* view)
{
    if (view == m_view)
        return;
    delete m_view;
    m_view = view;
}
