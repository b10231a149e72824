// Records the virtual instrument for about 2.5 s with a mark every 100 ms, for a test that steps this process's wall
// clock meanwhile. Prints, for every sample as it arrives, the milliseconds since the start on the monotonic clock, the
// monotonic clock's reading at the stop, and how far the wall clock stands from the sample clock at the end.
#include "RecordSession.h"
#include "SampleClock.h"
#include "VirtualFnirDevice.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1])))
        return 2;
    SampleClock::nowMs();
    RecordSession session;
    VirtualFnirDevice device;
    if (!session.startRecord(QStringLiteral("r.csv"), RecordLayout()))
        return 3;
    // The record's start is stamped once its files are made, as this.
    QElapsedTimer truth;
    truth.start();
    // Read as the sample arrives: a write can wait for a sync of the files, as long as the disk takes.
    QObject::connect(&device, &AbstractFnirDevice::newData, &session, [&](qint64 ts, const QList<double>& values) {
        std::printf("sample %lld\n", truth.elapsed());
        session.writeRaw(ts, values);
        session.writeProcessed(ts, QList<double>(values.size() / 2 * 3, 1.0));
    });
    QTimer marks;
    QObject::connect(
        &marks, &QTimer::timeout, &session, [&session]() { session.addHalvexEvent(QStringLiteral("tick")); });
    marks.start(100);
    if (!device.connectDevice())
        return 4;
    QTimer::singleShot(2500, &app, &QCoreApplication::quit);
    app.exec();
    device.disconnectDevice();
    QElapsedTimer stop;
    stop.start();
    std::printf("stop %lld\n", stop.msecsSinceReference());
    session.stopRecord();
    std::printf("wall %lld\n", QDateTime::currentMSecsSinceEpoch() - SampleClock::nowMs());
    return 0;
}
