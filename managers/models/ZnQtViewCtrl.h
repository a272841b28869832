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

    // -1 without a slot; a kind above 3 connects nothing and gives 0.
    int connectView(const ZnViewConnectRequest& request);

    ZnQtViewSignal* signalObject() const { return m_signal; }

private:
    ZnQtViewSignal* m_signal;
};
