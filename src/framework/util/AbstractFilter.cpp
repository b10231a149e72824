#include "AbstractFilter.h"

AbstractFilter::AbstractFilter(QObject* parent)
    : QObject(parent)
{
}

void AbstractFilter::Process(float* data, int count)
{
    for (int i = 0; i < count; ++i)
        data[i] = InternalProcess(data[i]);
}

void AbstractFilter::Process(const float* input, float* output, int count)
{
    for (int i = 0; i < count; ++i)
        output[i] = InternalProcess(input[i]);
}
