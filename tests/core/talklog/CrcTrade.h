#pragma once

#include "ZnDbQuery.h"
#include "ZnMySql.h"
#include "ZnMySqlResult.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

// Rows of the user log that crc32 alone cannot tell apart. crc32 is linear in
// XOR: when rows trade cells of equal length, the four crc values of the trade
// often sum alike (about once in 10,000 trades), and a digest that adds plain
// crc32 values then takes one set of rows for the other.

// The plain crc32 of a user-log row over the text its digest hashes: id, name,
// ip as SQL expressions, date and content NULL.
inline QString plainRowCrc(const QString &row)
{
    std::vector<std::string> cells;
    for (const QString &c : row.split(QStringLiteral("; ")))
        cells.push_back(c.toStdString());
    cells.resize(5, "null");
    return QStringLiteral("crc32(%1)").arg(QString::fromStdString(ZnDbQuery::digestText(cells)));
}

// A number of seven digits that, put for %1 into the rows before and after
// ("id; name; ip", SQL; as an id or a name), gives both sets the same sum of
// plain crc32 values, found by the server; false with the reason when the
// search fails. Where the crc32 values of the rows' other cells differ in k
// bits, one number in 2^k balances the trade: for the rows of the tests k is at
// most 18, so the nine million hold dozens, and the search stops at the first.
inline bool crcTradeText(const QStringList &before, const QStringList &after, QString &text, QString &why)
{
    const auto sum = [](const QStringList &rows) {
        QStringList terms;
        for (const QString &r : rows)
            terms << plainRowCrc(QString(r).replace(QStringLiteral("%1"), QStringLiteral("seq")));
        return terms.join(QStringLiteral(" + "));
    };
    // A number that stands in the rows already would make the sets the same.
    QStringList taken{QStringLiteral("0")};
    auto numbers =
        QRegularExpression(QStringLiteral("\\b\\d{7}\\b")).globalMatch((before + after).join(QLatin1Char(' ')));
    while (numbers.hasNext())
        taken << numbers.next().captured();
    const QString search =
        QStringLiteral("select seq from seq_1000000_to_9999999 where seq not in (%1) and %2 = %3 limit 1")
            .arg(taken.join(QLatin1Char(',')), sum(before), sum(after));
    ZnMySqlResult r;
    if (ZnMySql::instance()->query(search.toUtf8().constData(), r) != 0) {
        why = QStringLiteral("the search for a crc32 trade failed: %1")
                  .arg(r.error() ? QString::fromUtf8(r.error()) : QStringLiteral("no connection"));
        return false;
    }
    if (r.rowCount() < 1) {
        why = QStringLiteral("no number of seven digits gives the two sets the same sum of plain crc32 values");
        return false;
    }
    text = QString::fromUtf8(r.cell(0, 0));
    return true;
}
