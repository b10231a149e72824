#include "ConfirmDialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* makeButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

ConfirmDialog::ConfirmDialog(
    QWidget* parent, const QString& positiveText, const QString& cancelText, const QString& declineText)
    : QDialog(parent)
{
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_message = new QLabel(this);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->hide();
    layout->addWidget(m_message);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_positive
        = makeButton(positiveText.isEmpty() ? QCoreApplication::translate("Generic", "Save") : positiveText, this);
    m_positive->setObjectName(QStringLiteral("positive"));
    m_positive->setDefault(true);
    buttons->addWidget(m_positive);
    if (!declineText.isEmpty()) {
        m_decline = makeButton(declineText, this);
        buttons->addWidget(m_decline);
        connect(m_decline, &QPushButton::clicked, this, [this]() {
            emit declined();
            done(Declined);
        });
    }
    m_cancel = makeButton(cancelText.isEmpty() ? QCoreApplication::translate("Generic", "Cancel") : cancelText, this);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    connect(m_positive, &QPushButton::clicked, this, &ConfirmDialog::onPositive);
    connect(m_cancel, &QPushButton::clicked, this, [this]() {
        emit canceled();
        done(Canceled);
    });
}

void ConfirmDialog::setMessage(const QString& text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_message->setText(plain);
    m_message->setVisible(!plain.isEmpty());
}

QString ConfirmDialog::message() const
{
    return m_message->text();
}

void ConfirmDialog::setPositiveEnabled(bool enabled)
{
    m_positive->setEnabled(enabled);
}

void ConfirmDialog::onPositive()
{
    bool accept = true;
    emit accepted(accept);
    if (accept)
        done(Accepted);
}

void ConfirmDialog::done(int result)
{
    // Every way of closing ends here: the buttons, Escape (reject) and the window's close button.
    QDialog::done(result);
    emit closed();
}
