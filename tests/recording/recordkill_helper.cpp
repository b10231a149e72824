// Records a fixed number of samples, says so on its output, then waits to be killed. With a port as third
// argument it also takes marks over HTTP on that port meanwhile.
#include "MarkServer.h"
#include "RecordSession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1])))
        return 2;
    const int lines = QByteArray(argv[2]).toInt();

    RecordSession session;
    MarkServer marks(&session);
    if (argc > 3 && !marks.listen(quint16(QByteArray(argv[3]).toUInt())))
        return 4;
    RecordLayout layout;
    layout.variant = RecordLayout::Acquire_RIR;
    layout.channelCount = 1;
    layout.title = QStringLiteral("killed");
    if (!session.startRecord(QString(), layout))
        return 3;
    const qint64 start = session.recordStart();
    for (int i = 0; i < lines; ++i) {
        session.writeRaw(start + i, { double(i), i + 0.4 });
        session.writeProcessed(start + i, { double(i), double(i), double(i) });
    }
    std::printf("written\n");
    std::fflush(stdout);
    return app.exec();
}
