#include "ZnFifoTrap.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ZnFifoTrap::ZnFifoTrap(const QString &folder, const QString &name)
{
    fifo = QDir(folder.isEmpty() ? own.path() : folder).absoluteFilePath(name);
    QFile::remove(fifo);
    valid = ::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0;
    if (valid)
        writer = std::thread([this] { serve(); });
}

ZnFifoTrap::~ZnFifoTrap()
{
    if (!valid)
        return;
    stop = true;
    // A reader of our own ends the writer's wait; it then sees the stop.
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    writer.join();
    if (fd >= 0)
        ::close(fd);
    QFile::remove(fifo);
}

bool ZnFifoTrap::stillUnopened() const
{
    QTimer tick;
    tick.setSingleShot(true);
    QSignalSpy ticked(&tick, &QTimer::timeout);
    tick.start(0);
    return ticked.wait(10000) && opened == 0;
}

void ZnFifoTrap::serve()
{
    const QByteArray name = QFile::encodeName(fifo);
    for (;;) {
        // Blocks until someone opens the FIFO for reading.
        const int fd = ::open(name.constData(), O_WRONLY);
        if (fd < 0 && errno == EINTR)
            continue;
        if (fd < 0 || stop) {
            if (fd >= 0)
                ::close(fd);
            return;
        }
        ++opened;
        ::close(fd); // the reader reads an empty file and goes on
    }
}
