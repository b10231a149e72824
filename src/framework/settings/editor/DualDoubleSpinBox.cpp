#include "DualDoubleSpinBox.h"

#include "AbstractMetaDescription.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QPoint>
#include <QPointF>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSize>
#include <QSizeF>

#include <cmath>

DualDoubleSpinBox::DualDoubleSpinBox(AbstractMetaDescription* description, Mode mode, QWidget* parent)
    : BasePropertyView(description, parent)
    , m_mode(mode)
{
    auto* editor = new QWidget(this);
    auto* layout = new QHBoxLayout(editor);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const bool integral
        = description->typeName == QLatin1String("QPoint") || description->typeName == QLatin1String("QSize");
    for (QDoubleSpinBox** box : { &m_first, &m_second }) {
        *box = new QDoubleSpinBox(editor);
        (*box)->setDecimals(integral ? 0 : 3);
        (*box)->setMinimum(description->hasMinimum ? description->minimum : -2147483648.0);
        (*box)->setMaximum(description->hasMaximum ? description->maximum : 2147483647.0);
        if (description->hasStep)
            (*box)->setSingleStep(description->step);
        (*box)->setSuffix(translatedSuffixOrPrefix(description->suffix));
        (*box)->setPrefix(translatedSuffixOrPrefix(description->prefix));
        layout->addWidget(*box, 1);
    }
    setEditor(editor, 100);
    setFocusProxy(m_first);
    metaValueChanged(description->getValue());
    connect(m_first, &QDoubleSpinBox::valueChanged, this, &DualDoubleSpinBox::write);
    connect(m_second, &QDoubleSpinBox::valueChanged, this, &DualDoubleSpinBox::write);
}

void DualDoubleSpinBox::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    m_first = nullptr;
    m_second = nullptr;
}

bool DualDoubleSpinBox::split(const QVariant& value, double& first, double& second)
{
    switch (value.metaType().id()) {
    case QMetaType::QPoint:
    case QMetaType::QPointF: {
        const QPointF point = value.toPointF();
        first = point.x();
        second = point.y();
        return true;
    }
    case QMetaType::QSize:
    case QMetaType::QSizeF: {
        const QSizeF size = value.toSizeF();
        first = size.width();
        second = size.height();
        return true;
    }
    default:
        break;
    }
    const QStringList pieces = value.toString().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    bool okFirst = false;
    bool okSecond = false;
    if (pieces.size() == 2) {
        first = pieces.at(0).trimmed().toDouble(&okFirst);
        second = pieces.at(1).trimmed().toDouble(&okSecond);
    }
    return okFirst && okSecond;
}

void DualDoubleSpinBox::write()
{
    if (!m_description || !m_first || !m_second)
        return;
    double first = m_first->value();
    double second = m_second->value();
    if (m_mode == RangeMode && first > second) {
        // The end just edited wins; the other follows it.
        const QSignalBlocker blockFirst(m_first);
        const QSignalBlocker blockSecond(m_second);
        if (m_first->hasFocus())
            m_second->setValue(second = first);
        else
            m_first->setValue(first = second);
    }
    const QString& type = m_description->typeName;
    if (type == QLatin1String("QPoint"))
        setValue(QPoint(int(std::lround(first)), int(std::lround(second))));
    else if (type == QLatin1String("QPointF"))
        setValue(QPointF(first, second));
    else if (type == QLatin1String("QSize"))
        setValue(QSize(int(std::lround(first)), int(std::lround(second))));
    else if (type == QLatin1String("QSizeF"))
        setValue(QSizeF(first, second));
    else
        setValue(QString(QString::number(first) + QLatin1Char(';') + QString::number(second)));
}

void DualDoubleSpinBox::metaValueChanged(QVariant value)
{
    double first = 0;
    double second = 0;
    const bool ok = split(value, first, second);
    if (ok && m_first && m_second) {
        const QSignalBlocker blockFirst(m_first);
        const QSignalBlocker blockSecond(m_second);
        m_first->setValue(first);
        m_second->setValue(second);
    }
    if (!m_description)
        return;
    double defaultFirst = 0;
    double defaultSecond = 0;
    const QString defaultText = QString(m_description->defaultText)
                                    .remove(QRegularExpression(QStringLiteral("[A-Za-z()]")))
                                    .replace(QLatin1Char(','), QLatin1Char(';'));
    setDefaultButtonChecked(
        ok && split(defaultText, defaultFirst, defaultSecond) && first == defaultFirst && second == defaultSecond);
}
