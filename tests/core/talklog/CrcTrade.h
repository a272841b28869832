#pragma once

#include "ZnMySql.h"
#include "ZnMySqlResult.h"

#include <QString>
#include <QStringList>

// Rows of the user log that crc32 alone cannot tell apart. crc32 is linear in
// XOR: when rows trade cells of equal length, the four crc values of the trade
// often sum alike (about once in 10,000 trades), and a digest that adds plain
// crc32 values then takes one set of rows for the other.

// The plain crc32 of a user-log row as the export's digest hashes its cells: id,
// name, ip (SQL expressions; date and content NULL), the text of each cell
// joined by char(1), then which of them are NULL.
inline QString plainRowCrc(const QString &row)
{
    const QStringList cells = row.split(QStringLiteral("; "));
    QStringList nulls;
    for (int c = 0; c < cells.size(); ++c)
        nulls << QStringLiteral("%1*isnull(%2)").arg(1 << c).arg(cells[c]);
    return QStringLiteral("crc32(concat_ws(char(1), %1, null, null, %2+8+16))")
        .arg(cells.join(QStringLiteral(", ")), nulls.join(QLatin1Char('+')));
}

// A number of seven digits (1000001 to 1200000) that, put for %1 into the rows
// before and after ("id; name; ip", SQL; as an id or a name), gives both sets
// the same sum of plain crc32 values; found by the server, empty when none is.
inline QString crcTradeText(const QStringList &before, const QStringList &after)
{
    const auto sum = [](const QStringList &rows) {
        QStringList terms;
        for (const QString &r : rows)
            terms << plainRowCrc(QString(r).replace(QStringLiteral("%1"), QStringLiteral("b")));
        return terms.join(QStringLiteral(" + "));
    };
    const QString search = QStringLiteral("select b from (select 1000000 + seq b from seq_1_to_200000) candidates "
                                          "where %1 = %2 limit 1")
                               .arg(sum(before), sum(after));
    ZnMySqlResult r;
    if (ZnMySql::instance()->query(search.toUtf8().constData(), r) != 0 || r.rowCount() < 1)
        return QString();
    return QString::fromUtf8(r.cell(0, 0));
}
