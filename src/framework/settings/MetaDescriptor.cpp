#include "MetaDescriptor.h"
#include "MetaDescription.h"

MetaDescriptor::MetaDescriptor(QObject* parent)
    : AbstractMetaDescriptor(parent)
{ }

void MetaDescriptor::set(QObject* target)
{
    // Earlier descriptions stay alive as children until the descriptor goes: a view may still hold one.
    clear();
    object = target;
    if (!target)
        return;
    const QMetaObject* meta = target->metaObject();
    for (int index = 0; index < meta->propertyCount(); ++index) {
        const QMetaProperty property = meta->property(index);
        if (qstricmp(property.name(), "objectName") == 0 || !property.isWritable())
            continue;
        auto* description = new MetaDescription(this);
        description->set(index, target);
        descriptions.append(description);
        descriptionsByName.insert(description->name, description);
    }
}

QString MetaDescriptor::getClassName() const
{
    return object ? QString::fromLatin1(object->metaObject()->className()) : QString();
}

void MetaDescriptor::setItem(QMetaProperty* item)
{
    if (m_item == item)
        return;
    m_item = item;
    emit itemChanged();
}
