#include "BoolPropertyView.h"

#include "AbstractMetaDescription.h"

#include <QCheckBox>
#include <QSignalBlocker>

BoolPropertyView::BoolPropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_edit(new QCheckBox(this))
{
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());
    connect(m_edit, &QCheckBox::clicked, this, [this](bool checked) { setValue(checked); });
}

void BoolPropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

void BoolPropertyView::metaValueChanged(QVariant value)
{
    if (m_edit) {
        const QSignalBlocker blocker(m_edit);
        m_edit->setChecked(value.toBool());
    }
    if (m_description)
        setDefaultButtonChecked(value.toString() == m_description->defaultText);
}
