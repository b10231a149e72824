#include "DoublePropertyView.h"

#include "AbstractMetaDescription.h"
#include "SuggestionDoubleSpinBox.h"

#include <QSignalBlocker>

DoublePropertyView::DoublePropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_spinBox(new SuggestionDoubleSpinBox(this))
{
    bool ok = false;
    const int precision = description->extra(QStringLiteral("Precision")).toInt(&ok);
    // The decimals come first: QDoubleSpinBox rounds its range and value to them.
    if (ok)
        m_spinBox->setDecimals(qBound(0, precision, 15));
    m_spinBox->setMinimum(description->hasMinimum ? description->minimum : -2147483648.0);
    m_spinBox->setMaximum(description->hasMaximum ? description->maximum : 2147483647.0);
    if (description->hasStep)
        m_spinBox->setSingleStep(description->step);
    m_spinBox->setSuffix(translatedSuffixOrPrefix(description->suffix));
    m_spinBox->setPrefix(translatedSuffixOrPrefix(description->prefix));
    m_spinBox->setSuggestions(
        SuggestionDoubleSpinBox::parseSuggestions(description->extra(QStringLiteral("Suggestions"))));
    setEditor(m_spinBox, 100);
    metaValueChanged(description->getValue());
    connect(m_spinBox, &QDoubleSpinBox::valueChanged, this, [this](double value) { setValue(value); });
}

void DoublePropertyView::up()
{
    if (m_spinBox && m_description && m_description->hasStep)
        m_spinBox->stepUp();
}

void DoublePropertyView::down()
{
    if (m_spinBox && m_description && m_description->hasStep)
        m_spinBox->stepDown();
}

void DoublePropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_spinBox = nullptr;
}

void DoublePropertyView::metaValueChanged(QVariant value)
{
    if (m_spinBox) {
        const QSignalBlocker blocker(m_spinBox);
        m_spinBox->setValue(value.toDouble());
    }
    if (m_description)
        setDefaultButtonChecked(value.toDouble() == m_description->defaultText.toDouble());
}
