#include "StringPropertyView.h"

#include "AbstractMetaDescription.h"
#include "StretchLineEdit.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QStyle>
#include <QUrl>

StringPropertyView::StringPropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
{
    const bool stretch = description->hasSpecialType
        && description->specialType.compare(QLatin1String("Stretch"), Qt::CaseInsensitive) == 0;
    m_edit = stretch ? new StretchLineEdit(this) : new QLineEdit(this);
    m_edit->setMinimumWidth(50);
    const QString placeholder = description->extra(QStringLiteral("Placeholder"));
    if (!placeholder.isEmpty())
        m_edit->setPlaceholderText(QCoreApplication::translate("Generic", placeholder.toUtf8().constData()));
    m_schemes = description->extra(QStringLiteral("Schemes")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        showValidity(text);
        setValueQueued(text);
    });
}

void StringPropertyView::showValidity(const QString& text)
{
    if (!m_edit || m_schemes.isEmpty())
        return;
    const QUrl url(text, QUrl::TolerantMode);
    const bool valid = text.isEmpty() || (m_schemes.contains(url.scheme()) && !url.host().isEmpty());
    if (m_edit->property("invalid").toBool() == !valid)
        return;
    // The text is kept as typed: the user may be half-way through it, and what reads the value refuses such an
    // address anyway.
    m_edit->setProperty("invalid", !valid);
    m_edit->setToolTip(valid
            ? QString()
            : QCoreApplication::translate("Generic", "This address is not used: only %1 addresses are requested")
                  .arg(m_schemes.join(QStringLiteral(", "))));
    // The style sheet reads the property only when the widget is polished again.
    m_edit->style()->unpolish(m_edit);
    m_edit->style()->polish(m_edit);
}

void StringPropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

// The writes are queued, so by the time a change comes back the user may have typed on: the editor is set only
// when it differs from the model's latest text, which keeps the cursor where the user left it.
void StringPropertyView::metaValueChanged(QVariant value)
{
    if (!m_description)
        return;
    const QString text = value.toString();
    const QString latest = m_description->getValue().toString();
    if (m_edit && m_edit->text() != latest) {
        const QSignalBlocker blocker(m_edit);
        m_edit->setText(latest);
        showValidity(latest);
    }
    setDefaultButtonChecked(text == m_description->defaultText);
}
