#include "SignalCheck.h"

#include "AbstractFnirDevice.h"
#include "AcquisitionProcessor.h"
#include "HalvexSettings.h"
#include "InstrumentConnection.h"
#include "LanguageContext.h"
#include "NoticeBar.h"
#include "RecordSession.h"
#include "RecordsSettings.h"
#include "SignalCheckCell.h"
#include "StyleHelper.h"

#include <QLocale>
#include <QMainWindow>
#include <QPushButton>
#include <QShortcut>

#include <cstdlib>

SignalCheck::SignalCheck(HalvexSettings* settings, RecordsSettings* recordsSettings, RecordSession* session,
    const AcquisitionProcessor* processor, InstrumentConnection* instrument, QMainWindow* window)
    : QObject(window)
    , m_settings(settings)
    , m_recordsSettings(recordsSettings)
    , m_session(session)
    , m_processor(processor)
{
    m_panel = new SignalCheckPanel(window);
    window->addDockWidget(Qt::RightDockWidgetArea, m_panel);
    m_panel->hide();

    m_button = new QPushButton(window);
    m_button->setObjectName(QStringLiteral("signalCheckButton"));
    m_button->setCheckable(true);
    m_button->setFixedSize(32, 32);
    m_button->setIconSize(QSize(24, 24));
    m_button->setCursor(Qt::PointingHandCursor);
    StyleHelper::SetButtonIcon(m_button, QStringLiteral(":/icons/signal-check.svg"), QColor(QStringLiteral("#FFF")));
    m_button->setToolTip(trGeneric("Signal check: how well each channel sees the scalp") + QStringLiteral(" (")
        + PanelKey.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    connect(m_button, &QPushButton::clicked, this, &SignalCheck::setPanelShown);
    connect(
        new QShortcut(PanelKey, window), &QShortcut::activated, this, [this]() { setPanelShown(m_panel->isHidden()); });
    // The dock's own close button.
    connect(m_panel->toggleViewAction(), &QAction::toggled, m_button, &QPushButton::setChecked);

    m_notice = new NoticeBar(window);
    m_notice->setObjectName(QStringLiteral("signalCheckNotice"));

    connect(session, &RecordSession::recordingChanged, this, &SignalCheck::onRecordingChanged);
    connect(instrument, &InstrumentConnection::deviceChanged, this, &SignalCheck::restart);
    connect(instrument, &InstrumentConnection::instrumentLost, this, &SignalCheck::restart);
    connect(instrument, &InstrumentConnection::instrumentReopened, this, &SignalCheck::restart);
    connect(settings, &HalvexSettings::changedQualityWindowSeconds, this, &SignalCheck::restart);
    connect(recordsSettings, &RecordsSettings::changedGoodCoupling, this, &SignalCheck::showQualities);
    connect(recordsSettings, &RecordsSettings::changedSaturationLevel, this, [this](double level) {
        if (m_quality)
            m_quality->setSaturationLevel(level);
    });
    connect(recordsSettings, &RecordsSettings::changedDarkLevel, this, [this](double level) {
        if (m_quality)
            m_quality->setDarkLevel(level);
    });
    restart();
}

void SignalCheck::setPanelShown(bool shown)
{
    m_panel->setVisible(shown);
    m_button->setChecked(shown);
    if (shown)
        m_panel->raise();
}

const std::vector<LiveQuality::Quality>& SignalCheck::qualities() const
{
    static const std::vector<LiveQuality::Quality> none;
    return m_quality ? m_quality->qualities() : none;
}

void SignalCheck::restart()
{
    m_quality.reset();
    m_arranged = false;
    m_places.clear();
    m_panel->setPlaces({});
    showQualities();
}

void SignalCheck::addSample(qint64 ts, const QList<double>& data, int valuesPerChannel)
{
    const int channels = int(data.size()) / valuesPerChannel;
    if (channels < 1)
        return;
    if (m_quality && (m_quality->channels() != channels || std::abs(ts - m_lastTs) > MaxPauseMs))
        restart();
    if (!m_quality) {
        m_quality = std::make_unique<LiveQuality>(channels, m_settings->getQualityWindowSeconds());
        m_quality->setSaturationLevel(m_recordsSettings->getSaturationLevel());
        m_quality->setDarkLevel(m_recordsSettings->getDarkLevel());
        m_origin = ts;
        m_red.resize(size_t(channels));
        m_infrared.resize(size_t(channels));
    }
    m_lastTs = ts;
    if (!m_arranged)
        arrange(channels);
    for (int c = 0; c < channels; ++c) {
        m_red[size_t(c)] = data.at(c * valuesPerChannel + valuesPerChannel - 2);
        m_infrared[size_t(c)] = data.at(c * valuesPerChannel + valuesPerChannel - 1);
    }
    if (m_quality->push(double(ts - m_origin) / 1000.0, m_red.data(), m_infrared.data()))
        showQualities();
}

void SignalCheck::arrange(int channels)
{
    m_arranged = true;
    // The cells of the graphs: rebuildChannels' grid, cell by cell.
    QList<SignalCheckPanel::Place> cells;
    const bool montage = m_processor->montageActive;
    if (montage) {
        for (int r = 0; r < m_processor->montageRows.size(); ++r) {
            const auto& entries = m_processor->montageRows.at(r);
            for (int j = 0; j < entries.size(); ++j)
                cells.append({ 0, entries.at(j).name, r, m_processor->montageMaxRow - int(entries.size()) + 2 * j, 2 });
        }
    } else {
        const int half = channels / 2;
        for (int g = 0; g < channels; ++g)
            cells.append(
                { 0, QStringLiteral("#") + QString::number(g + 1), g < half ? g : g - half, g < half ? 0 : 1, 1 });
    }
    m_places.clear();
    for (int c = 0; c < channels; ++c) {
        const int position = m_processor->graphPosition(c, channels);
        if (position >= 0 && position < cells.size()) {
            SignalCheckPanel::Place place = cells.at(position);
            place.channel = c;
            m_places.append(place);
        }
    }
    m_panel->setPlaces(m_places);
    showQualities();
}

void SignalCheck::showQualities()
{
    const double good = m_recordsSettings->getGoodCoupling();
    m_panel->setQualities(qualities(), good);
    if (m_quality && !m_quality->problem().isEmpty()) {
        m_panel->setStatus(m_quality->problem());
        return;
    }
    const QLocale locale;
    m_panel->setStatus(trGeneric("The last %1 s, once a second. Green: SCI from %2; yellow: from %3; red: below; grey: "
                                 "not known yet. Point at a cell for what to do.")
                           .arg(m_settings->getQualityWindowSeconds())
                           .arg(locale.toString(good, 'f', 2), locale.toString(SignalCheckCell::FairCoupling, 'f', 2)));
}

QString SignalCheck::channelTitle(int channel) const
{
    for (const SignalCheckPanel::Place& place : m_places) {
        if (place.channel == channel)
            return place.title;
    }
    return trGeneric("channel %1").arg(channel + 1);
}

QStringList SignalCheck::recordLines(
    const std::vector<LiveQuality::Quality>& qualities, double goodCoupling, int maxLength)
{
    const QString first = QStringLiteral("signal check:");
    const QString continued = QStringLiteral("signal check, continued:");
    QStringList lines { first };
    if (qualities.empty())
        lines.last() += QStringLiteral(" no samples yet");
    for (size_t c = 0; c < qualities.size(); ++c) {
        const LiveQuality::Quality& q = qualities[c];
        QString entry = QLatin1Char(' ') + QString::number(c + 1) + QLatin1Char('=');
        if (!q.known) {
            entry += QLatin1Char('?');
        } else {
            // The file's own number format, whatever the language.
            entry += QString::number(q.sci, 'f', 2);
            if (q.sci < goodCoupling)
                entry += QStringLiteral(" bad");
            if (q.saturated)
                entry += QStringLiteral(" saturated");
            if (q.dark)
                entry += QStringLiteral(" dark");
        }
        if (lines.last().size() + entry.size() > maxLength)
            lines << continued;
        lines.last() += entry;
    }
    return lines;
}

void SignalCheck::onRecordingChanged(bool recording)
{
    if (!recording)
        return;
    const double good = m_recordsSettings->getGoodCoupling();
    for (const QString& line : recordLines(qualities(), good, RecordSession::MaxEventText))
        m_session->addHalvexEvent(line);

    QStringList weak;
    for (size_t c = 0; c < qualities().size(); ++c) {
        if (qualities()[c].known && qualities()[c].sci < good)
            weak << channelTitle(int(c));
    }
    if (weak.isEmpty()) {
        m_notice->hide();
        return;
    }
    m_notice->showNotice(NoticeBar::Warning,
        trGeneric("Weak scalp coupling at the start of the record (SCI below %1): %2. Re-seat these optodes; the "
                  "signal check shows every channel.")
            .arg(QLocale().toString(good, 'f', 2), weak.join(QStringLiteral(", "))),
        trGeneric("Signal check"), [this]() { setPanelShown(true); });
}
