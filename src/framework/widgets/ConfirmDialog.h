#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// A modal question with up to three answers. The positive answer asks its receivers first: one that sets the flag
// to false keeps the dialog open (for example to show that an input is still missing).
class ConfirmDialog : public QDialog
{
    Q_OBJECT
public:
    enum Result { Canceled = 0, Accepted = 1, Declined = 2 };

    explicit ConfirmDialog(QWidget* parent = nullptr, const QString& positiveText = QString(),
        const QString& cancelText = QString(), const QString& declineText = QString());

    void setMessage(const QString& text);
    QString message() const;
    void setPositiveEnabled(bool enabled);

    QPushButton* positiveButton() const { return m_positive; }
    QPushButton* cancelButton() const { return m_cancel; }
    // Null when the dialog was made without a decline text.
    QPushButton* declineButton() const { return m_decline; }

    void done(int result) override;

signals:
    void accepted(bool& accept);
    void canceled();
    void declined();
    void closed();

private:
    void onPositive();

    QLabel* m_message = nullptr;
    QPushButton* m_positive = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_decline = nullptr;
};
