#pragma once

#include <QFile>
#include <QtEndian>

#include <cmath>

// Writes a mono 16-bit PCM WAV of a 440 Hz tone for the encoder to convert.
inline bool writeWav(const QString& path, int seconds)
{
    const int rate = 8000;
    QByteArray pcm;
    for (int i = 0; i < rate * seconds; ++i) {
        const qint16 v = qint16(8000 * std::sin(i * 440.0 * 2 * M_PI / rate));
        pcm.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
    }
    QByteArray h("RIFF");
    const auto u32 = [&h](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        h.append(b, 4);
    };
    const auto u16 = [&h](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        h.append(b, 2);
    };
    u32(quint32(36 + pcm.size()));
    h.append("WAVEfmt ");
    u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
    h.append("data");
    u32(quint32(pcm.size()));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(h + pcm) == h.size() + pcm.size();
}
