#include "MultilinePropertyView.h"

#include "AbstractMetaDescription.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QSignalBlocker>

MultilinePropertyView::MultilinePropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_edit(new QPlainTextEdit(this))
{
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setTabChangesFocus(true);
    const QString placeholder = description->extra(QStringLiteral("Placeholder"));
    if (!placeholder.isEmpty())
        m_edit->setPlaceholderText(QCoreApplication::translate("Generic", placeholder.toUtf8().constData()));
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] {
        if (m_edit)
            setValueQueued(m_edit->toPlainText());
    });
}

void MultilinePropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

// As in the line view: only a text that differs from the model's latest one replaces what the user typed.
void MultilinePropertyView::metaValueChanged(QVariant value)
{
    if (!m_description)
        return;
    const QString latest = m_description->getValue().toString();
    if (m_edit && m_edit->toPlainText() != latest) {
        const QSignalBlocker blocker(m_edit);
        m_edit->setPlainText(latest);
    }
    setDefaultButtonChecked(value.toString() == m_description->defaultText);
}
