#include "SliderPropertyView.h"

#include "AbstractMetaDescription.h"

#include <QSignalBlocker>
#include <QSlider>

#include <cmath>

// The slider works in whole steps from the minimum: position p stands for minimum + p * step, so that doubles
// and ints share one mapping.
SliderPropertyView::SliderPropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_edit(new QSlider(Qt::Horizontal, this))
{
    m_minimum = description->hasMinimum ? description->minimum : 0;
    const double maximum = description->hasMaximum ? description->maximum : m_minimum + 100;
    m_step = description->hasStep && description->step > 0 ? description->step : 1;
    m_edit->setRange(0, int(qBound(0.0, std::round((maximum - m_minimum) / m_step), 1e6)));
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());
    connect(m_edit, &QSlider::valueChanged, this, [this](int position) {
        if (!m_description)
            return;
        const double value = m_minimum + position * m_step;
        if (m_description->typeName.contains(QLatin1String("int")) || m_description->typeName == QLatin1String("Enum"))
            setValue(int(std::lround(value)));
        else
            setValue(value);
    });
}

void SliderPropertyView::up()
{
    if (m_edit)
        m_edit->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void SliderPropertyView::down()
{
    if (m_edit)
        m_edit->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void SliderPropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

void SliderPropertyView::metaValueChanged(QVariant value)
{
    if (m_edit) {
        const QSignalBlocker blocker(m_edit);
        m_edit->setValue(int(std::lround((value.toDouble() - m_minimum) / m_step)));
    }
    if (m_description)
        setDefaultButtonChecked(value.toDouble() == m_description->defaultText.toDouble());
}
