#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// Translation context of the message texts and table headers that many pages share.
class ZnTipsInfo : public QObject
{
    Q_OBJECT

public:
    static QString tipsTitleText();
    static QString deleteRecordQuestionText();
    static QString deleteFailedText();
    static QString deleteMediaQuestionText();
    // A record removed while a box or dialog about it was open.
    static QString recordGoneText();
    static QString terminalNotOfflineText();
    static QString noEditPermissionText();
    static QString illegalNameText();
    static QString speakerCheckNotIdleText();
    static QString setNameText();
    // Ids as a box names them: a few each, a longer list by its first five and
    // how many more, so that the box's own words stay in view.
    static QString someIdsText(const QStringList &ids);
    static QString idText();
    static QString nameText();
    static QString codeText();
    static QString statusText();
    static QString ipText();
    static QString isAecText();
    static QString isPptText();
    // State of a microphone console, as the server numbers it.
    static QString micStateText(int status);
};
