#include "StringListPropertyView.h"

#include "AbstractMetaDescription.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>

// One list item per line; empty lines are not items.
StringListPropertyView::StringListPropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_edit(new QPlainTextEdit(this))
{
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setTabChangesFocus(true);
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] {
        if (m_edit)
            setValueQueued(m_edit->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    });
}

void StringListPropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

void StringListPropertyView::metaValueChanged(QVariant value)
{
    if (!m_description)
        return;
    const QStringList latest = m_description->getValue().toStringList();
    if (m_edit && m_edit->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts) != latest) {
        const QSignalBlocker blocker(m_edit);
        m_edit->setPlainText(latest.join(QLatin1Char('\n')));
    }
    setDefaultButtonChecked(value.toStringList().join(QLatin1Char(',')) == m_description->defaultText);
}
