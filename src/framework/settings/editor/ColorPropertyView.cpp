#include "ColorPropertyView.h"

#include "AbstractMetaDescription.h"

#include <QColor>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

// The colour as "#rrggbb" text beside a swatch button that opens the colour dialog; text that names no colour is
// not written.
ColorPropertyView::ColorPropertyView(AbstractMetaDescription* description, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_edit(new QLineEdit(this))
{
    auto* swatch = new QToolButton(this);
    swatch->setObjectName(QStringLiteral("propertyColorButton"));
    swatch->setFixedSize(20, 20);
    getEditingLayout()->insertWidget(0, swatch);
    setEditor(m_edit, 100);
    auto paintSwatch = [swatch](const QString& text) {
        const QColor color(text);
        swatch->setStyleSheet(
            color.isValid() ? QStringLiteral("background: %1; border: 1px solid gray;").arg(color.name()) : QString());
    };
    connect(m_edit, &QLineEdit::textChanged, swatch, paintSwatch);
    metaValueChanged(description->getValue());
    paintSwatch(m_edit->text());

    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QColor color(text.trimmed());
        if (color.isValid())
            setValue(color);
    });
    connect(swatch, &QToolButton::clicked, this, [this] {
        if (!m_edit)
            return;
        const QColor picked = QColorDialog::getColor(QColor(m_edit->text()), this);
        if (picked.isValid())
            m_edit->setText(picked.name());
    });
}

void ColorPropertyView::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_edit = nullptr;
}

void ColorPropertyView::metaValueChanged(QVariant value)
{
    const QColor color = value.value<QColor>();
    if (m_edit && QColor(m_edit->text().trimmed()) != color) {
        // The swatch follows through its own connection, which the blocker would silence.
        m_edit->setText(color.name());
    }
    if (m_description)
        setDefaultButtonChecked(color == QColor(m_description->defaultText));
}
