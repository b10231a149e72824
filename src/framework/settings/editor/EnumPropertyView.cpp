#include "EnumPropertyView.h"

#include "AbstractMetaDescription.h"
#include "MetaDescription.h"
#include "StyleHelper.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QMetaEnum>
#include <QSignalBlocker>

EnumPropertyView::EnumPropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_edit(new QComboBox(this))
{
    const QMetaEnum enumerator = description->enumerator();
    const auto* meta = qobject_cast<MetaDescription*>(description);
    // Keys are translated in the context named after the enumeration, as the catalogues carry them.
    const QByteArray context = enumerator.enumName();
    for (int i = 0; i < enumerator.keyCount(); ++i) {
        const char* key = enumerator.key(i);
        const QString text = QCoreApplication::translate(context.constData(), key);
        const QString iconPath = meta ? meta->getClassInfo(QStringLiteral("Icon") + QLatin1String(key)) : QString();
        if (iconPath.isEmpty())
            m_edit->addItem(text);
        else
            m_edit->addItem(
                StyleHelper::ColoredIcon(iconPath, QColor(QStringLiteral("#FFF")), QColor(QStringLiteral("#303030"))),
                text);
    }
    if (meta) {
        bool ok = false;
        const int iconSize = meta->getClassInfo(QStringLiteral("IconSize")).toInt(&ok);
        if (ok && iconSize > 0)
            m_edit->setIconSize(QSize(iconSize, iconSize));
    }
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());
    connect(m_edit, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_description && index >= 0 && index < m_description->enumerator().keyCount())
            setValue(m_description->enumerator().value(index));
    });
}

void EnumPropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

void EnumPropertyView::metaValueChanged(QVariant value)
{
    if (!m_description)
        return;
    const QMetaEnum enumerator = m_description->enumerator();
    const int current = value.toInt();
    if (m_edit) {
        const QSignalBlocker blocker(m_edit);
        for (int i = 0; i < enumerator.keyCount(); ++i) {
            if (enumerator.value(i) == current) {
                m_edit->setCurrentIndex(i);
                break;
            }
        }
    }
    bool ok = false;
    const int defaultValue = enumerator.keyToValue(m_description->defaultText.toUtf8().constData(), &ok);
    setDefaultButtonChecked(ok && current == defaultValue);
}
