#include "DatePropertyView.h"

#include "AbstractMetaDescription.h"

#include <QDateTimeEdit>
#include <QSignalBlocker>

// A date property gets a date editor, a date-time property one that shows the time too; both drop down a
// calendar.
DatePropertyView::DatePropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_edit(new QDateTimeEdit(this))
{
    m_dateOnly = !description->typeName.contains(QLatin1String("QDateTime"));
    m_edit->setCalendarPopup(true);
    if (m_dateOnly)
        m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    else
        m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());
    connect(m_edit, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& value) {
        if (m_dateOnly)
            setValue(value.date());
        else
            setValue(value);
    });
}

void DatePropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

void DatePropertyView::metaValueChanged(QVariant value)
{
    if (m_edit) {
        const QSignalBlocker blocker(m_edit);
        if (m_dateOnly)
            m_edit->setDate(value.toDate());
        else
            m_edit->setDateTime(value.toDateTime());
    }
    if (m_description) {
        const QString text = m_dateOnly ? value.toDate().toString() : value.toDateTime().toString();
        setDefaultButtonChecked(text == m_description->defaultText);
    }
}
