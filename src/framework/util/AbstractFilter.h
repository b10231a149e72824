#pragma once

#include <QObject>
#include <QString>

class AbstractFilter : public QObject
{
    Q_OBJECT
public:
    enum ImpulseResponseEnum { FiniteImpulseResponse = 0, InfiniteImpulseResponse = 1 };
    Q_ENUM(ImpulseResponseEnum)

    explicit AbstractFilter(QObject* parent = nullptr);

    virtual void Reset() = 0;
    virtual float InternalProcess(float x) = 0;

    float Process(float x) { return InternalProcess(x); }
    void Process(float* data, int count);
    void Process(const float* input, float* output, int count);

    ImpulseResponseEnum impulseResponse() const { return m_impulseResponse; }
    QString name() const { return m_name; }

protected:
    ImpulseResponseEnum m_impulseResponse = FiniteImpulseResponse;
    QString m_name;
};
