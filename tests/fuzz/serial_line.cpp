// The serial instrument's line splitter and value parser, fed through a real pseudo terminal in chunks of varying
// size, as a port delivers a stream: lines split across reads, several lines in one read, multi-byte characters cut
// in two.
#include "ComFnirDevice.h"
#include "FuzzSupport.h"

#include <QCoreApplication>

#include <cmath>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The other side of the port. The slave side stays open here only to ask how many bytes wait to be read.
struct Terminal
{
    int master = -1;
    int slave = -1;
    QString path;

    Terminal()
    {
        termios raw {};
        cfmakeraw(&raw);
        char name[256] = {};
        if (openpty(&master, &slave, name, &raw, nullptr) != 0)
            std::abort();
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        path = QString::fromLocal8Bit(name);
    }

    int pending() const
    {
        int count = 0;
        ioctl(slave, FIONREAD, &count);
        return count;
    }

    // Lets the device read until nothing waits; the terminal hands written bytes on asynchronously, so "nothing"
    // must be seen twice a moment apart. Bounded: a device that stopped reading ends the wait.
    void drain() const
    {
        int idle = 0;
        for (int round = 0; round < 2000 && idle < 2; ++round) {
            QCoreApplication::processEvents();
            if (pending() == 0) {
                ++idle;
                usleep(20);
            } else {
                idle = 0;
            }
        }
    }

    void write(const uint8_t* data, size_t size) const
    {
        while (size > 0) {
            const ssize_t written = ::write(master, data, size);
            if (written > 0) {
                data += written;
                size -= size_t(written);
            } else {
                drain();
            }
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    static Terminal terminal;

    ComFnirDevice device(terminal.path);
    QObject::connect(&device, &AbstractFnirDevice::newData, &device, [](qint64, const QList<double>& values) {
        fuzz::check(values.size() <= ComFnirDevice::MaxValues);
        for (const double value : values)
            fuzz::check(std::isfinite(value));
    });
    if (!device.connectDevice())
        std::abort();
    // The port opens in the middle of a line: the device drops the text up to the first line feed.
    terminal.write(reinterpret_cast<const uint8_t*>("\n"), 1);
    terminal.drain();

    // Chunk sizes from the input's own bytes, so that one input always arrives in the same pieces.
    uint32_t state = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        state = (state ^ data[i]) * 16777619u;
    size_t at = 0;
    while (at < size) {
        state = state * 1103515245u + 12345u;
        const size_t chunk = std::min(size - at, size_t(1 + (state >> 16) % 97));
        terminal.write(data + at, chunk);
        terminal.drain();
        at += chunk;
    }
    device.disconnectDevice();
    QCoreApplication::processEvents(); // the port's deferred deletion
    return 0;
}
