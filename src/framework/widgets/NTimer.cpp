#include "NTimer.h"

#include <QDebug>

NTimer::NTimer(QObject* parent)
    : QTimer(parent)
{ }

NTimer::~NTimer()
{
    qDebug() << "Destroy ntimer";
}

void NTimer::start()
{
    QTimer::start();
}

void NTimer::start(int msec)
{
    QTimer::start(msec);
}

void NTimer::stop()
{
    QTimer::stop();
    if (!objectName().isEmpty())
        qDebug().noquote() << objectName() << "stopped";
}
