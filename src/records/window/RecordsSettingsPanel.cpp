#include "RecordsSettingsPanel.h"

#include "IconWidget.h"
#include "LanguageContext.h"
#include "PropertyListControl.h"
#include "RecordsSettings.h"
#include "StyleHelper.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace {

PropertyListControl* propertyControl(
    RecordsSettings* settings, const QString& name, const QString& icon, QWidget* parent)
{
    auto* control = new PropertyListControl(settings, name, PropertyListControl::ViewSingleProperty, parent);
    if (!icon.isEmpty()) {
        auto* header = new IconWidget(icon, StyleHelper::MainColor(), QSize(16, 16), QColor(0x30, 0x30, 0x30));
        StyleHelper::Link(header, [header, icon] { header->setIcon(icon, StyleHelper::MainColor()); });
        control->substituteHeader(name, header, Qt::AlignVCenter);
    }
    return control;
}

QLabel* sectionTitle(const QString& text, QWidget* parent)
{
    auto* title = new QLabel(text, parent);
    title->setStyleSheet(QStringLiteral("font-weight: bold"));
    return title;
}

} // namespace

RecordsSettingsPanel::RecordsSettingsPanel(RecordsSettings* settings, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("recordsSettingsPanel"));
    m_channel1Box = new QComboBox(this);
    m_channel2Box = new QComboBox(this);
    m_channel1Box->setObjectName(QStringLiteral("channel1Box"));
    m_channel2Box->setObjectName(QStringLiteral("channel2Box"));
    m_channel1Box->setMinimumWidth(100);
    m_channel2Box->setMinimumWidth(100);
    m_channel1Box->setToolTip(trGeneric("Channel1Description"));
    m_channel2Box->setToolTip(trGeneric("Channel2Description"));
    m_signalBox = new QComboBox(this);
    m_signalBox->setObjectName(QStringLiteral("signalBox"));
    m_signalBox->addItems({ trGeneric("Raw"), trGeneric("HbO/HbR") });
    m_signalBox->setToolTip(trGeneric("What the graphs show of the two channels: their values as recorded, or their "
                                      "oxy- and deoxy-haemoglobin (HbO red, HbR blue; the first channel solid, the "
                                      "second dotted and dashed) in µM, computed as halvex-analyze does with the "
                                      "wavelengths, distance and pathlength factor of the records settings"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->addWidget(sectionTitle(trGeneric("Channels"), this));
    layout->addWidget(m_channel1Box);
    layout->addWidget(m_channel2Box);
    layout->addWidget(m_signalBox);
    layout->addWidget(propertyControl(settings, QStringLiteral("HPF"), QString(), this));
    layout->addSpacing(6);
    layout->addWidget(sectionTitle(trGeneric("View"), this));
    layout->addWidget(propertyControl(settings, QStringLiteral("Offset"), QString(), this));
    layout->addWidget(
        propertyControl(settings, QStringLiteral("ViewSeconds"), QStringLiteral(":/icons/arrow-left-right.svg"), this));
    layout->addWidget(
        propertyControl(settings, QStringLiteral("Range"), QStringLiteral(":/icons/arrow-up-down.svg"), this));
    layout->addSpacing(6);
    layout->addWidget(sectionTitle(trGeneric("Optics"), this));
    layout->addWidget(propertyControl(settings, QStringLiteral("RedWavelength"), QString(), this));
    layout->addWidget(propertyControl(settings, QStringLiteral("InfraredWavelength"), QString(), this));
    layout->addStretch(100);
    // As wide as its widest control needs, whatever the language; the graphs take the rest.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}
