#pragma once

#include <QDataStream>
#include <QFile>

#include <cmath>

// Writes a mono 16-bit PCM WAV of a 440 Hz tone for the encoder to convert.
inline bool writeWav(const QString& path, int seconds)
{
    const quint32 rate = 8000, bytes = rate * 2 * quint32(seconds);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QDataStream s(&f);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << quint32(36 + bytes);
    s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << quint16(1) << quint16(1) << rate << rate * 2 << quint16(2) << quint16(16);
    s.writeRawData("data", 4);
    s << bytes;
    for (quint32 i = 0; i < bytes / 2; ++i)
        s << qint16(8000 * std::sin(i * 440.0 * 2 * M_PI / rate));
    return s.status() == QDataStream::Ok && f.flush();
}
