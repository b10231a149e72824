#pragma once

#include "HttpTestServer.h"
#include "MainWindow.h"
#include "QuietDevice.h"
#include "RecordEvents.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QTest>

#include <memory>

// The main window in a private data folder, made current, with its record hooks going to a local server: for the
// tests that record. Only for tests that link the application library.
class RecordingWindow
{
public:
    TemporaryHome home;
    HttpTestServer server;
    std::unique_ptr<MainWindow> window;

    ~RecordingWindow()
    {
        window.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    // False when a part cannot be set up.
    bool open(HalvexSettings::AcquisitionVariant variant)
    {
        if (!server.listen() || !QDir().mkpath(home.dataFolder()) || !QDir::setCurrent(home.dataFolder()))
            return false;
        window = std::make_unique<MainWindow>(home.dataFolder());
        window->settings()->setAcquisition(variant);
        window->settings()->setSendOnStartRecord(server.url(QStringLiteral("/startStimPack")));
        window->settings()->setSendOnEndRecord(server.url(QStringLiteral("/stopRecord")));
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    template<typename T> T* child(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }

    // The one record file of the data folder with this extension, or empty.
    static QString recordFile(const QString& extension)
    {
        const QStringList files = QDir().entryList({ QStringLiteral("*") + extension }, QDir::Files);
        return files.size() == 1 ? files.constFirst() : QString();
    }
    static QByteArray recordBytes(const QString& extension) { return TemporaryHome::readFile(recordFile(extension)); }

    // "source text" of every event of the record, in time order; without the signal check's line that opens every
    // record unless asked for.
    static QStringList eventTexts(bool withSignalCheck = false)
    {
        QStringList texts;
        for (const RecordEvents::Event& event : RecordEvents::read(recordFile(QStringLiteral(".events"))).events) {
            if (withSignalCheck || !event.text.startsWith(QLatin1String("signal check")))
                texts << event.source + QLatin1Char(' ') + event.text;
        }
        return texts;
    }

    // The hook requests from the start of the record on (every stop, also one before it, sends the end hook).
    QStringList hooksOfTheRecord() const
    {
        const QStringList paths = server.paths();
        return paths.mid(paths.indexOf(QStringLiteral("/startStimPack")));
    }
};
