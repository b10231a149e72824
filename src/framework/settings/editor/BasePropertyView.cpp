#include "BasePropertyView.h"

#include "AbstractMetaDescription.h"
#include "MetaDescription.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>

BasePropertyView::BasePropertyView(AbstractMetaDescription* description, QWidget* parent)
    : QWidget(parent)
    , m_description(description)
    , m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
    if (!description)
        return;

    // While a write of the view's own is still queued, the editor holds newer text than any change that comes
    // back: such an echo would undo the typing, and the write's own change follows it anyway.
    connect(
        description, &AbstractMetaDescription::valueChanged, this,
        [this](const QVariant& value) {
            if (m_pendingWrites == 0)
                metaValueChanged(value);
        },
        Qt::QueuedConnection);

    if (description->hasDefault && description->defaultAllowed && !description->readOnly) {
        m_defaultButton = new QPushButton(this);
        m_defaultButton->setObjectName(QStringLiteral("propertyDefaultButton"));
        m_defaultButton->setCheckable(true);
        m_defaultButton->setFixedSize(10, 10);
        // Tab reaches the button (after its editor) and Space presses it, so the default is one key away.
        m_defaultButton->setFocusPolicy(Qt::StrongFocus);
        m_defaultButton->setToolTip(QCoreApplication::translate("Generic", "Set default to") + QStringLiteral(" '")
            + translatedSuffixOrPrefix(description->prefix) + description->defaultText
            + translatedSuffixOrPrefix(description->suffix) + QStringLiteral("'"));
        connect(m_defaultButton, &QPushButton::clicked, this, [this] {
            if (m_description)
                m_description->setDefault();
            // The button shows the model's state, not the click: the queued value change sets it again.
            if (m_description)
                metaValueChanged(m_description->getValue());
        });
        m_layout->addWidget(m_defaultButton);
    }

    if (auto* meta = qobject_cast<MetaDescription*>(description)) {
        bool ok = false;
        const int minWidth = meta->getClassInfo(QStringLiteral("MinWidth")).toInt(&ok);
        if (ok)
            setMinimumWidth(minWidth);
    }
}

void BasePropertyView::up() { }

void BasePropertyView::down() { }

void BasePropertyView::nullifyEditor()
{
    m_editor = nullptr;
}

void BasePropertyView::showDefaultButton(bool show)
{
    if (m_defaultButton)
        m_defaultButton->setVisible(show);
}

QString BasePropertyView::translatedSuffixOrPrefix(const QString& value)
{
    if (value.isEmpty())
        return value;
    if (value.startsWith(QLatin1String("!-")))
        return value.mid(2);
    if (value.startsWith(QLatin1Char(' ')))
        return QLatin1Char(' ') + QCoreApplication::translate("Generic", value.mid(1).toUtf8().constData());
    return QCoreApplication::translate("Generic", value.toUtf8().constData());
}

void BasePropertyView::setDefaultButtonChecked(bool equal)
{
    if (m_defaultButton)
        m_defaultButton->setChecked(!equal);
}

void BasePropertyView::setEditor(QWidget* editor, int stretch)
{
    m_editor = editor;
    m_layout->insertWidget(0, editor, stretch);
    setFocusProxy(editor);
}

void BasePropertyView::setValue(const QVariant& value)
{
    if (m_description)
        m_description->setValue(value);
}

void BasePropertyView::setValueQueued(const QVariant& value)
{
    ++m_pendingWrites;
    QMetaObject::invokeMethod(
        this,
        [this, value] {
            --m_pendingWrites;
            setValue(value);
        },
        Qt::QueuedConnection);
}
