#pragma once

// What a list that is not a Qt object tells its page about.
class ZnViewBaseCtr
{
public:
    virtual ~ZnViewBaseCtr() = default;
    virtual void haveTerminals() = 0;
    virtual void addTerminal(int id) = 0;
    virtual void delTerminal(int id) = 0;
    virtual void updateTerminal(int id) = 0;
};
