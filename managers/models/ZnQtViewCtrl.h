#pragma once

#include "ZnViewBaseCtr.h"

class ZnQtViewSignal;
class ZnViewConnectRequest;

// Turns the plain view calls into the signals of its signal object.
class ZnQtViewCtrl : public ZnViewBaseCtr
{
public:
    ZnQtViewCtrl();
    ~ZnQtViewCtrl() override;
    ZnQtViewCtrl(const ZnQtViewCtrl&) = delete;
    ZnQtViewCtrl& operator=(const ZnQtViewCtrl&) = delete;

    void haveTerminals() override;
    void addTerminal(int id) override;
    void delTerminal(int id) override;
    void updateTerminal(int id) override;

    // Replaces the signal object; connections to the old one end with it.
    virtual void renewSignal();

    // 0 once connected; -1 without a slot or receiver, or for a kind outside 0
    // to 3, when nothing is connected.
    int connectView(const ZnViewConnectRequest& request);

    ZnQtViewSignal* signalObject() const { return m_signal; }

private:
    ZnQtViewSignal* m_signal;
};
