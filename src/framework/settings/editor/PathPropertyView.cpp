#include "PathPropertyView.h"

#include "AbstractMetaDescription.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

PathPropertyView::PathPropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_edit(new QLineEdit(this))
{
    m_edit->setMinimumWidth(50);
    const QString placeholder = description->extra(QStringLiteral("Placeholder"));
    if (!placeholder.isEmpty())
        m_edit->setPlaceholderText(QCoreApplication::translate("Generic", placeholder.toUtf8().constData()));
    auto* browse = new QToolButton(this);
    browse->setObjectName(QStringLiteral("propertyBrowseButton"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(QCoreApplication::translate("Generic", "Open"));
    getEditingLayout()->insertWidget(0, browse);
    setEditor(m_edit, 100);
    metaValueChanged(description->getValue());

    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) { setValueQueued(text); });
    connect(browse, &QToolButton::clicked, this, [this] {
        if (!m_description || !m_edit)
            return;
        const bool folder = m_description->specialType.contains(QLatin1String("PickFolder"), Qt::CaseInsensitive);
        const QString title = QCoreApplication::translate("Generic", m_description->displayName.toUtf8().constData());
        // The argument after "PickFile:" is a name filter such as "Images (*.png *.jpg)".
        const QString picked = folder
            ? QFileDialog::getExistingDirectory(this, title, m_edit->text())
            : QFileDialog::getOpenFileName(this, title, m_edit->text(), m_description->specialArgument);
        if (!picked.isEmpty())
            m_edit->setText(picked);
    });
}

void PathPropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

void PathPropertyView::metaValueChanged(QVariant value)
{
    if (!m_description)
        return;
    const QString latest = m_description->getValue().toString();
    if (m_edit && m_edit->text() != latest) {
        const QSignalBlocker blocker(m_edit);
        m_edit->setText(latest);
    }
    setDefaultButtonChecked(value.toString() == m_description->defaultText);
}
