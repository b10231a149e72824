#include "StyleHelper.h"

StyleHelper::StyleHelper(QObject* parent)
    : QObject(parent)
{
}

StyleHelper* StyleHelper::Instance()
{
    static StyleHelper* instance = new StyleHelper;
    return instance;
}
