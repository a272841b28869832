#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

// Records signals as "name(arg,...)" texts on the thread it lives on: signals from
// the receive thread arrive queued, so a test reads the log after spinning events.
class SignalLog : public QObject
{
public:
    template <class Sender, class... Args>
    void watch(Sender* sender, void (Sender::*signal)(Args...), const QString& name)
    {
        connect(sender, signal, this, [this, name](Args... args) {
            QStringList parts;
            static_cast<void>((parts << ... << QVariant::fromValue(args).toString()));
            entries << name + "(" + parts.join(",") + ")";
        });
    }

    int count(const QString& entry) const { return entries.count(entry); }

    QStringList entries;
};
