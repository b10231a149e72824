#pragma once

#include <QWidget>

class QComboBox;
class RecordsSettings;

// The records window's settings in a column beside the graphs: the filter, the view, the two channels, what the
// graphs show and the wavelengths. A column gives every label its whole text, in any language, where a row across
// the window cut the last ones off.
class RecordsSettingsPanel : public QWidget
{
    Q_OBJECT
public:
    explicit RecordsSettingsPanel(RecordsSettings* settings, QWidget* parent = nullptr);

    QComboBox* channel1Box() const { return m_channel1Box; }
    QComboBox* channel2Box() const { return m_channel2Box; }
    QComboBox* signalBox() const { return m_signalBox; }

private:
    QComboBox* m_channel1Box = nullptr;
    QComboBox* m_channel2Box = nullptr;
    QComboBox* m_signalBox = nullptr;
};
