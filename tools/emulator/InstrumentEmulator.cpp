#include "InstrumentEmulator.h"

#include "HeadModel.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator64>
#include <QThread>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

InstrumentEmulator::InstrumentEmulator(const Options& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &InstrumentEmulator::onTick);
    if (m_options.signal == Options::Signal::Head) {
        HeadModel::Settings head;
        head.channels = m_options.channels;
        head.rate = m_options.rate;
        head.badChannelEvery = m_options.badChannelEvery;
        head.seed = QRandomGenerator64::global()->generate64();
        m_head = std::make_unique<HeadModel>(head);
        m_headSample.resize(size_t(m_head->channels() * m_options.valuesPerChannel));
        m_nextStimulus = m_options.stimulusEvery;
        advanceHead();
    }
}

InstrumentEmulator::~InstrumentEmulator()
{
    if (m_master >= 0)
        ::close(m_master);
    removeLink();
}

QString InstrumentEmulator::open()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_errorText = QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }
    const char* name = ::ptsname(m_master);
    if (!name) {
        m_errorText = QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }
    const QString path = QString::fromLocal8Bit(name);

    // Raw mode, so that LF is not turned into CR LF on the way; opening and closing the terminal once also makes
    // the master report a hang-up until a reader opens it, which is how readerPresent() tells.
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        m_errorText = QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }
    termios attributes {};
    if (::tcgetattr(slave, &attributes) == 0) {
        ::cfmakeraw(&attributes);
        ::cfsetispeed(&attributes, B115200);
        ::cfsetospeed(&attributes, B115200);
        ::tcsetattr(slave, TCSANOW, &attributes);
    }
    ::close(slave);
    if (!m_options.link.isEmpty() && !updateLink(path)) {
        ::close(m_master);
        m_master = -1;
        return {};
    }
    m_path = path;
    return path;
}

bool InstrumentEmulator::updateLink(const QString& target)
{
    const QFileInfo existing(m_options.link);
    if (existing.exists() && !existing.isSymLink()) {
        m_errorText = m_options.link + QStringLiteral(" exists and is not a symbolic link");
        return false;
    }
    // A new link renamed over the old one, so that a reader never finds the path missing or half made.
    const QByteArray link = QFile::encodeName(m_options.link);
    const QByteArray temporary = link + ".new-" + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0
        || ::rename(temporary.constData(), link.constData()) != 0) {
        m_errorText = m_options.link + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

void InstrumentEmulator::removeLink()
{
    // Only our own link: another emulator may have taken the path over since.
    if (m_options.link.isEmpty() || m_path.isEmpty() || QFileInfo(m_options.link).symLinkTarget() != m_path)
        return;
    ::unlink(QFile::encodeName(m_options.link).constData());
}

void InstrumentEmulator::start()
{
    m_clock.start();
    m_timer.start(qBound(1, int(1000.0 / m_options.rate / 2), 50));
}

bool InstrumentEmulator::readerPresent() const
{
    pollfd descriptor { m_master, POLLOUT, 0 };
    return ::poll(&descriptor, 1, 0) >= 0 && !(descriptor.revents & POLLHUP);
}

void InstrumentEmulator::onTick()
{
    if (m_finishing)
        return;
    const qint64 now = m_clock.elapsed();
    if (m_options.seconds > 0 && now >= qint64(m_options.seconds * 1000)) {
        finish();
        return;
    }
    if (now < m_stallUntil)
        return;
    if (m_slipUntil >= 0) {
        if (now < m_slipUntil)
            return;
        const QString path = open();
        if (path.isEmpty())
            return; // tried again on the next tick
        m_slipUntil = -1;
        m_due = qint64(double(now) * m_options.rate / 1000.0);
        emit reopened(path);
        return;
    }
    // Lines that fall due while nobody listens, or during a stall, are lost, as they would be on a real line.
    const qint64 due = qint64(double(now) * m_options.rate / 1000.0);
    const bool listening = readerPresent();
    const bool arrived = listening && !m_readerWasPresent;
    m_readerWasPresent = listening;
    if (arrived && m_flapping) {
        slipAway(now);
        return;
    }
    if (arrived && m_options.tail)
        writeTail();
    for (; m_due < due; ++m_due) {
        // Line k carries the head's sample k; sample 0 was made with the head.
        if (m_due > 0 && m_head)
            advanceHead();
        if (!listening)
            continue;
        writeAll(makeLine());
        ++m_sent;
        if (m_options.count > 0 && m_sent >= m_options.count) {
            finish();
            return;
        }
        if (m_options.stall && m_sent % m_options.stallAfter == 0) {
            m_stallUntil = now + m_options.stallMs;
            m_due = qint64(double(m_stallUntil) * m_options.rate / 1000.0);
            return;
        }
        if ((m_options.slip || m_options.flap) && m_sent % m_options.slipAfter == 0) {
            slipAway(now);
            return;
        }
    }
}

void InstrumentEmulator::slipAway(qint64 now)
{
    // As an unplugged adapter: the reader's port fails at once and the device node is gone until it returns.
    removeLink();
    ::close(m_master);
    m_master = -1;
    m_path.clear();
    m_slipUntil = now + m_options.slipMs;
    m_readerWasPresent = false;
    m_flapping = m_options.flap;
}

void InstrumentEmulator::writeTail()
{
    // Cut inside the first number, so that the tail still has every field but a wrong first value (2005 read
    // as 5), which a reader that takes it for a sample cannot tell from data.
    const QByteArray line = makeLine();
    writeAll(line.mid(qMin<qsizetype>(2, line.size() - 1)));
}

QByteArray InstrumentEmulator::makeLine()
{
    m_line.clear();
    const double t = double(m_clock.elapsed()) / 1000.0;
    const int fields = m_options.channels * m_options.valuesPerChannel;
    const bool garbled = m_options.garble && m_sent % 7 == 6;
    const int garbledField = garbled ? int(m_sent / 7) % fields : -1;
    static const char* const garbage[] = { "x1", "1,5", "", "--" };
    for (int field = 0; field < fields; ++field) {
        if (field > 0)
            m_line.append(' ');
        if (field == garbledField) {
            m_line.append(garbage[(m_sent / 7) % 4]);
            continue;
        }
        if (m_head) {
            m_line.append(QByteArray::number(std::lround(m_headSample[size_t(field)])));
            continue;
        }
        const int channel = field / m_options.valuesPerChannel;
        const int kind = field % m_options.valuesPerChannel;
        // A slow wave per channel, a different level per kind of value, a little noise.
        const double wave = std::sin(2.0 * M_PI * t * (0.1 + 0.05 * channel));
        const double value = 2000.0 + 600.0 * kind + 300.0 * wave + double(std::rand() % 21 - 10);
        m_line.append(QByteArray::number(std::lround(value)));
    }
    const bool last = m_options.count > 0 && m_sent + 1 >= m_options.count;
    if (!(last && m_options.noFinalLineFeed))
        m_line.append(m_options.crlf ? "\r\n" : "\n");
    return m_line;
}

void InstrumentEmulator::advanceHead()
{
    for (; m_options.stimulusEvery > 0 && m_nextStimulus <= m_head->time(); m_nextStimulus += m_options.stimulusEvery)
        m_head->stimulate(m_nextStimulus);
    m_head->next(m_headSample.data(), m_options.valuesPerChannel);
}

void InstrumentEmulator::writeAll(const QByteArray& bytes)
{
    qsizetype splitAt = m_options.split ? bytes.size() / 2 : bytes.size();
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qsizetype end = written < splitAt ? splitAt : bytes.size();
        const ssize_t n = ::write(m_master, bytes.constData() + written, size_t(end - written));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        written += n;
        if (written == splitAt && written < bytes.size())
            QThread::msleep(qBound(1, int(500.0 / m_options.rate), 50));
    }
}

void InstrumentEmulator::finish()
{
    m_finishing = true;
    m_timer.stop();
    // Closing the master throws away what the reader has not taken yet.
    QTimer::singleShot(m_options.lingerMs, this, &InstrumentEmulator::finished);
}
