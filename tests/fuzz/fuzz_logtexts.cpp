// The log cells over arbitrary database texts: a time reads as a whole
// "yyyy/MM/dd hh:mm:ss" or as stored, and every log has a cell per header.
#include "FuzzCheck.h"
#include "LogExportKind.h"
#include "ZnLogTexts.h"

#include <QRegularExpression>

FUZZ_TARGET(input)
{
    static const QRegularExpression shown(QStringLiteral("^-?\\d{3,}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
    const QString time = ZnLogTexts::timeText(input);
    FUZZ_CHECK(time == QString::fromStdString(input) || shown.match(time).hasMatch());

    ZnLogRecord r;
    r.date = r.endTime = r.type = r.name = r.action = input;
    for (int kind : {UserLogKind, TalkLogKind, TermLogKind})
        FUZZ_CHECK(ZnLogTexts::cells(kind, r).size() == ZnLogTexts::headers(kind).size());
}
