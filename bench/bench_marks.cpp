// Marks during a record: the sample handler's cost per sample while the HTTP endpoint takes 100 marks a second,
// against the same record without marks, in one run. A 24-value instrument at 60 lines a second drives a shown
// main window in real time; the marks come from a real HTTP client in the same event loop.
#include "MainWindow.h"
#include "MarkServer.h"
#include "QuietDevice.h"
#include "RecordSession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Phase
{
    std::vector<double> handlerNs;
    int marksSent = 0;
    int marksAcknowledged = 0;

    double mean() const
    {
        double sum = 0;
        for (double ns : handlerNs)
            sum += ns;
        return handlerNs.empty() ? 0 : sum / double(handlerNs.size());
    }
    double median() const
    {
        std::vector<double> sorted = handlerNs;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
};

// Feeds the window 60 samples a second for the given seconds, and marks at marksPerSecond meanwhile.
Phase run(MainWindow& window, QNetworkAccessManager& client, quint16 port, int seconds, int marksPerSecond)
{
    Phase phase;
    QList<double> data;
    for (int i = 0; i < 24; ++i)
        data.append(QRandomGenerator::global()->bounded(100000, 999999) + 0.37);

    QTimer samples;
    samples.setTimerType(Qt::PreciseTimer);
    QObject::connect(&samples, &QTimer::timeout, &window, [&] {
        data[QRandomGenerator::global()->bounded(24)] += 1;
        QElapsedTimer timer;
        timer.start();
        window.onNewData(QDateTime::currentMSecsSinceEpoch(), data);
        phase.handlerNs.push_back(double(timer.nsecsElapsed()));
    });
    QTimer marks;
    marks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&marks, &QTimer::timeout, &window, [&] {
        const QUrl url(QStringLiteral("http://127.0.0.1:") + QString::number(port)
            + QStringLiteral("/mark?text=stimulus%20") + QString::number(phase.marksSent++));
        QNetworkReply* reply = client.get(QNetworkRequest(url));
        QObject::connect(reply, &QNetworkReply::finished, reply, [&phase, reply] {
            phase.marksAcknowledged += reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
            reply->deleteLater();
        });
    });
    samples.start(1000 / 60);
    if (marksPerSecond > 0)
        marks.start(1000 / marksPerSecond);
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    samples.stop();
    marks.stop();
    // Let the last answers arrive.
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    return phase;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 2 && QByteArray(argv[1]) == "-seconds" ? QByteArray(argv[2]).toInt() : 10;

    QTemporaryDir folder;
    if (!folder.isValid() || !QDir::setCurrent(folder.path()))
        return 1;
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();

    MainWindow window(folder.path());
    HalvexSettings* settings = window.settings();
    settings->setSendOnStartRecord(QString());
    settings->setSendOnEndRecord(QString());
    settings->setMarkPort(port);
    window.resize(1600, 1000);
    window.show();
    window.setDevice(new QuietDevice(&window));
    window.startRecord();
    if (!window.recordSession()->isRecording() || !window.markServer()->isListening())
        return 2;
    QNetworkAccessManager client;

    // Alternating halves, so that a drift of the machine's load shows in both.
    Phase without;
    Phase with;
    for (int round = 0; round < 2; ++round) {
        const Phase a = run(window, client, port, seconds / 4, 0);
        const Phase b = run(window, client, port, seconds / 4, 100);
        without.handlerNs.insert(without.handlerNs.end(), a.handlerNs.begin(), a.handlerNs.end());
        with.handlerNs.insert(with.handlerNs.end(), b.handlerNs.begin(), b.handlerNs.end());
        with.marksSent += b.marksSent;
        with.marksAcknowledged += b.marksAcknowledged;
    }
    window.stopRecord();
    QDir::setCurrent(QDir::tempPath());

    std::printf("24 values at 60 lines/s, %d s: onNewData without marks %6.2f us (median %6.2f), with 100 marks/s "
                "%6.2f us (median %6.2f); ratio %.3f (median %.3f); %d samples each about, marks %d sent, %d "
                "acknowledged\n",
        seconds, without.mean() / 1000, without.median() / 1000, with.mean() / 1000, with.median() / 1000,
        with.mean() / without.mean(), with.median() / without.median(), int(with.handlerNs.size()), with.marksSent,
        with.marksAcknowledged);
    return 0;
}
