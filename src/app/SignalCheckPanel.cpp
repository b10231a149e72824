#include "SignalCheckPanel.h"

#include "LanguageContext.h"
#include "SignalCheckCell.h"
#include "StyleHelper.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

SignalCheckPanel::SignalCheckPanel(QWidget* parent)
    : QDockWidget(trGeneric("Signal check"), parent)
{
    setObjectName(QStringLiteral("signalCheckPanel"));
    auto* content = new QWidget(this);
    StyleHelper::Instance()->setStyledBackground(content, QStringLiteral("--n-bg"));
    m_status = new QLabel(content);
    m_status->setObjectName(QStringLiteral("signalCheckStatus"));
    m_status->setWordWrap(true);
    m_empty = new QLabel(trGeneric("No samples yet: connect an instrument."), content);
    m_empty->setObjectName(QStringLiteral("signalCheckEmpty"));
    m_empty->setWordWrap(true);

    // The cells keep their height at the top; the rest of the dock stays empty.
    m_grid = new QWidget;
    auto* stack = new QVBoxLayout(m_grid);
    stack->setContentsMargins(0, 0, 0, 0);
    m_layout = new QGridLayout;
    m_layout->setSpacing(4);
    stack->addLayout(m_layout);
    stack->addStretch(1);
    auto* scroll = new QScrollArea(content);
    scroll->setWidget(m_grid);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    StyleHelper::Instance()->setStyledBackground(m_grid, QStringLiteral("--n-bg"));

    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(6, 4, 6, 6);
    column->addWidget(m_status);
    column->addWidget(m_empty);
    column->addWidget(scroll, 1);
    setWidget(content);
}

void SignalCheckPanel::setPlaces(const QList<Place>& places)
{
    qDeleteAll(m_cells);
    m_cells.clear();
    for (const Place& place : places) {
        auto* cell = new SignalCheckCell(m_grid);
        cell->setObjectName(QStringLiteral("signalCheckCell%1").arg(place.channel + 1));
        cell->setChannel(place.channel + 1, place.title);
        m_layout->addWidget(cell, place.row, place.column, 1, place.columnSpan);
        m_cells.append(cell);
    }
    m_empty->setVisible(m_cells.isEmpty());
}

void SignalCheckPanel::setQualities(const std::vector<LiveQuality::Quality>& qualities, double goodCoupling)
{
    for (SignalCheckCell* cell : std::as_const(m_cells)) {
        const size_t channel = size_t(cell->channel() - 1);
        cell->setQuality(channel < qualities.size() ? qualities[channel] : LiveQuality::Quality(), goodCoupling);
    }
}

void SignalCheckPanel::setStatus(const QString& text)
{
    m_status->setText(text);
}

QString SignalCheckPanel::status() const
{
    return m_status->text();
}
