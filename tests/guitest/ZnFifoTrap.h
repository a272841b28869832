#pragma once

#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

// A FIFO that nothing may open. A widget that reads a text naming it as rich text
// (an <img src=...>) opens it to load the picture, and so would block its thread
// until a writer came. The trap is that writer: it counts each opening and lets
// the reader go at once (an empty file), so a faulty test fails instead of hanging.
class ZnFifoTrap
{
public:
    // The FIFO "trap" (or the name given) in the given folder, or in a temporary
    // folder of its own.
    explicit ZnFifoTrap(const QString &folder = QString(), const QString &name = QStringLiteral("trap"));
    ~ZnFifoTrap();
    ZnFifoTrap(const ZnFifoTrap &) = delete;
    ZnFifoTrap &operator=(const ZnFifoTrap &) = delete;

    bool isValid() const { return valid; }
    QString path() const { return fifo; }
    // How often it was opened so far.
    int openings() const { return opened; }
    // Lets the event loop go round once (a timer's signal must arrive), then
    // tells whether nothing has opened the FIFO.
    bool stillUnopened() const;

private:
    void serve();

    QTemporaryDir own;
    QString fifo;
    bool valid = false;
    std::atomic<bool> stop{false};
    std::atomic<int> opened{0};
    std::thread writer;
};
