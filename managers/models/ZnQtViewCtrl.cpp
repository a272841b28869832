#include "ZnQtViewCtrl.h"

#include "ZnQtViewSignal.h"
#include "ZnViewConnectRequest.h"

ZnQtViewCtrl::ZnQtViewCtrl() : m_signal(new ZnQtViewSignal) {}

ZnQtViewCtrl::~ZnQtViewCtrl()
{
    delete m_signal;
}

void ZnQtViewCtrl::haveTerminals()
{
    emit m_signal->haveTerminals();
}

void ZnQtViewCtrl::addTerminal(int id)
{
    emit m_signal->addTerminal(id);
}

void ZnQtViewCtrl::delTerminal(int id)
{
    emit m_signal->delTerminal(id);
}

void ZnQtViewCtrl::updateTerminal(int id)
{
    emit m_signal->updateTerminal(id);
}

void ZnQtViewCtrl::renewSignal()
{
    ZnQtViewSignal* old = m_signal;
    m_signal = new ZnQtViewSignal;
    delete old;
}

int ZnQtViewCtrl::connectView(const ZnViewConnectRequest& request)
{
    if (!request.slot)
        return -1;
    static const char* const kSignals[] = {SIGNAL(haveTerminals()), SIGNAL(addTerminal(int)), SIGNAL(delTerminal(int)),
                                           SIGNAL(updateTerminal(int))};
    // Nothing connected is no success: the page would wait for signals forever.
    if (request.kind < 0 || request.kind > 3 || !request.receiver)
        return -1;
    QObject::connect(m_signal, kSignals[request.kind], request.receiver, request.slot, Qt::AutoConnection);
    return 0;
}
