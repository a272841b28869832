#pragma once

#include <QByteArray>
#include <QList>
#include <QVector>

// Changes the bytes of a settings file in a few places and keeps every other byte
// as it was: a value replaced inside its line, a line added after another one, a
// section added at the end. Each writer finds the places by the rules of its own
// reader; the bytes are changed here.
class ZnLineSplice
{
public:
    explicit ZnLineSplice(const QByteArray& text);

    // The line break of the text's first line: "\r\n", "\r" or (also for a text of
    // one line) "\n". A line ends at any of them, for every reader of the file.
    QByteArray lineEnd() const;
    // Puts bytes in place of the text's bytes [begin, end).
    void replace(int begin, int end, const QByteArray& bytes);
    // Adds a line at offset at: the start of a line, or the end of the text (a
    // last line without a break then gets one).
    void insertLine(int at, const QByteArray& line);
    // Adds lines at the end, after a blank line when the text is not empty.
    void appendLines(const QList<QByteArray>& lines);

    // The text with every change made; changes at one offset in the order given.
    QByteArray result() const;

private:
    enum class Kind { Replace, Line, Section };
    struct Change
    {
        Kind kind;
        int begin;
        int end;
        QByteArray bytes;
    };

    QByteArray m_text;
    QVector<Change> m_changes;
};
