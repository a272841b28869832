#include "ZnLineSplice.h"

#include <algorithm>

ZnLineSplice::ZnLineSplice(const QByteArray& text) : m_text(text) {}

QByteArray ZnLineSplice::lineEnd() const
{
    for (int i = 0; i < m_text.size(); ++i) {
        if (m_text[i] == '\n')
            break;
        if (m_text[i] == '\r')
            return m_text.mid(i + 1, 1) == "\n" ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\r");
    }
    return QByteArrayLiteral("\n");
}

void ZnLineSplice::replace(int begin, int end, const QByteArray& bytes)
{
    m_changes.append({Kind::Replace, begin, end, bytes});
}

void ZnLineSplice::insertLine(int at, const QByteArray& line)
{
    m_changes.append({Kind::Line, at, at, line + lineEnd()});
}

void ZnLineSplice::appendLines(const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + lineEnd();
    m_changes.append({Kind::Section, m_text.size(), m_text.size(), bytes});
}

QByteArray ZnLineSplice::result() const
{
    QVector<Change> changes = m_changes;
    std::stable_sort(changes.begin(), changes.end(),
                     [](const Change& a, const Change& b) { return a.begin < b.begin; });
    QByteArray out;
    out.reserve(m_text.size() + 256);
    int from = 0;
    for (const Change& c : changes) {
        if (c.begin > from)
            out += m_text.mid(from, c.begin - from);
        from = std::max(from, c.end);
        const bool lineOpen = !out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r');
        if (c.kind != Kind::Replace && lineOpen)
            out += lineEnd();
        if (c.kind == Kind::Section && !out.isEmpty())
            out += lineEnd();
        out += c.bytes;
    }
    out += m_text.mid(from);
    return out;
}
