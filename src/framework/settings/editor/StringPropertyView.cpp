#include "StringPropertyView.h"

#include "AbstractMetaDescription.h"
#include "StretchLineEdit.h"

#include <QCoreApplication>
#include <QSignalBlocker>

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
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) { setValueQueued(text); });
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
    }
    setDefaultButtonChecked(text == m_description->defaultText);
}
