#include "EnumStringListPropertyView.h"

#include "AbstractMetaDescription.h"

#include <QComboBox>
#include <QSignalBlocker>

// The choices follow the kind: "EnumStringList:a,b,c" (or "StringList:a,b,c"); without an argument the
// Suggestions entry lists them.
EnumStringListPropertyView::EnumStringListPropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_edit(new QComboBox(this))
{
    const QString list = description->specialArgument.isEmpty() ? description->extra(QStringLiteral("Suggestions"))
                                                                : description->specialArgument;
    const QStringList choices = list.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& choice : choices)
        m_edit->addItem(choice.trimmed());
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());
    connect(m_edit, &QComboBox::currentTextChanged, this, [this](const QString& text) { setValue(text); });
}

void EnumStringListPropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

void EnumStringListPropertyView::metaValueChanged(QVariant value)
{
    const QString text = value.toString();
    if (m_edit) {
        const QSignalBlocker blocker(m_edit);
        // A value that is not among the choices is still shown, as an extra item, rather than replaced.
        int index = m_edit->findText(text);
        if (index < 0 && !text.isEmpty()) {
            m_edit->addItem(text);
            index = m_edit->count() - 1;
        }
        m_edit->setCurrentIndex(index);
    }
    if (m_description)
        setDefaultButtonChecked(text == m_description->defaultText);
}
