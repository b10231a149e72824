#pragma once

#include <QApplication>
#include <QTest>

// The figures are of our own work, not of a window system: every benchmark runs on the offscreen platform unless
// QT_QPA_PLATFORM asks for another, so that it also runs on a machine without a display.
inline void useOffscreenUnlessChosen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

#define HALVEX_BENCH_MAIN(Bench)                                                                                       \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        useOffscreenUnlessChosen();                                                                                    \
        QApplication app(argc, argv);                                                                                  \
        Bench bench;                                                                                                   \
        return QTest::qExec(&bench, argc, argv);                                                                       \
    }
