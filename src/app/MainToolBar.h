#pragma once

#include <QKeySequence>
#include <QWidget>

class HalvexSettings;
class InstrumentConnection;
class MarkEndpoint;
class QHBoxLayout;
class QLabel;
class QPushButton;
class RecordControl;
class ViewStack;

// The row at the top of the main window, left to right: the instrument (connect, port list, rate), the record
// (folder, record, title, mark), the view buttons and panel buttons, the records window, and the application's own
// buttons (new version, settings, about). The window reacts to the requests; the shortcuts belong to the window.
class MainToolBar : public QWidget
{
    Q_OBJECT
public:
    struct Parts
    {
        InstrumentConnection* instrument = nullptr;
        RecordControl* recordControl = nullptr;
        MarkEndpoint* markEndpoint = nullptr;
        QLabel* rateLabel = nullptr;
        ViewStack* views = nullptr;
    };

    MainToolBar(HalvexSettings* settings, const Parts& parts, QWidget* window);

    // A square button of the tool bar's look, its icon in white.
    static QPushButton* iconButton(
        QWidget* parent, const QString& objectName, const QString& icon, int size = 32, int iconSize = 24);
    // "text (Ctrl+1)", the key as the platform writes it.
    static QString withShortcut(const QString& text, const QKeySequence& shortcut);

    // Puts a button (a panel's toggle, for example) after the view buttons, after those added before it.
    void addPanelButton(QWidget* button);

signals:
    void openFolderRequested();
    void recordsRequested();
    void aboutRequested();

private:
    QWidget* buildSettingsButton(HalvexSettings* settings, const Parts& parts, QWidget* window);

    QHBoxLayout* m_row = nullptr;
    // Where the next panel button goes in the row.
    int m_panelIndex = 0;
    int m_panelButtons = 0;
};
