#pragma once

#include <QTimer>

// A timer that says in the debug stream when a named one stops and when any one is destroyed.
class NTimer : public QTimer
{
    Q_OBJECT
public:
    explicit NTimer(QObject* parent = nullptr);
    ~NTimer() override;

    void start();
    void start(int msec);
    void stop();
};
