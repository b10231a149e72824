// Starts a record that takes marks over HTTP, says so on its output, then waits to be killed.
// Arguments: the folder of the record, the mark port.
#include "MarkServer.h"
#include "RecordSession.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1])))
        return 2;
    RecordSession session;
    MarkServer marks(&session);
    if (!marks.listen(quint16(QByteArray(argv[2]).toUInt())))
        return 4;
    RecordLayout layout;
    layout.title = QStringLiteral("killed");
    if (!session.startRecord(QString(), layout))
        return 3;
    std::printf("recording\n");
    std::fflush(stdout);
    return app.exec();
}
