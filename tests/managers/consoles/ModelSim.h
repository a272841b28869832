#pragma once

#include "../SimSession.h"
#include "ServiceHub.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <json/json.h>

#include <string>
#include <vector>

// The list models are process-wide and keep the centre of the first hub: a test
// program logs in once and makes the hub over that centre.
inline bool startModels(SimSession& s)
{
    if (!s.login())
        return false;
    ServiceHub::create(s.centre.get());
    return true;
}

// A JSON body, or the body of a whole request text (after its blank line).
inline Json::Value jsonOf(const std::string& text)
{
    const size_t at = text.find("\r\n\r\n");
    Json::Value v;
    Json::Reader().parse(at == std::string::npos ? text : text.substr(at + 4), v);
    return v;
}

// The body of the last request the server got under that label.
inline Json::Value lastBody(const SimSession& s, const std::string& label)
{
    return jsonOf(s.lastBody(label));
}

template <class List, class Member>
std::vector<int> idsOf(const List& list, Member member)
{
    std::vector<int> out;
    for (const auto& item : list)
        out.push_back(int(item.*member));
    return out;
}

// Notes one-argument signals as "name(arg)" in the order they reach this thread.
class SignalNotes : public QObject
{
public:
    template <class Sender, class Arg>
    void watch(Sender* sender, void (Sender::*signal)(Arg), const QString& name)
    {
        connect(sender, signal, this, [this, name](Arg a) {
            notes << name + QStringLiteral("(") + QVariant::fromValue(a).toString() + QStringLiteral(")");
        });
    }

    QStringList notes;
};
