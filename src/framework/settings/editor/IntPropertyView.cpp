#include "IntPropertyView.h"

#include "AbstractMetaDescription.h"

#include <QSignalBlocker>
#include <QSpinBox>

#include <climits>
#include <cmath>

namespace {
int boundToInt(double value)
{
    return int(qBound(double(INT_MIN), std::round(value), double(INT_MAX)));
}
} // namespace

IntPropertyView::IntPropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_spinBox(new QSpinBox(this))
{
    m_spinBox->setMinimum(description->hasMinimum ? boundToInt(description->minimum) : INT_MIN);
    m_spinBox->setMaximum(description->hasMaximum ? boundToInt(description->maximum) : INT_MAX);
    if (description->hasStep)
        m_spinBox->setSingleStep(qMax(1, boundToInt(description->step)));
    m_spinBox->setSuffix(translatedSuffixOrPrefix(description->suffix));
    m_spinBox->setPrefix(translatedSuffixOrPrefix(description->prefix));
    setEditor(m_spinBox, 100);
    metaValueChanged(description->getValue());
    connect(m_spinBox, &QSpinBox::valueChanged, this, [this](int value) { setValue(value); });
}

void IntPropertyView::up()
{
    if (m_spinBox && m_description && m_description->hasStep)
        m_spinBox->stepUp();
}

void IntPropertyView::down()
{
    if (m_spinBox && m_description && m_description->hasStep)
        m_spinBox->stepDown();
}

void IntPropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_spinBox = nullptr;
}

void IntPropertyView::metaValueChanged(QVariant value)
{
    if (m_spinBox) {
        const QSignalBlocker blocker(m_spinBox);
        m_spinBox->setValue(value.toInt());
    }
    if (m_description)
        setDefaultButtonChecked(value.toInt() == m_description->defaultText.toInt());
}
