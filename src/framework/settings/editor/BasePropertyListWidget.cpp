#include "BasePropertyListWidget.h"

#include "AbstractMetaDescription.h"
#include "AbstractMetaDescriptor.h"
#include "BoolPropertyView.h"
#include "ColorPropertyView.h"
#include "DatePropertyView.h"
#include "DoublePropertyView.h"
#include "DualDoubleSpinBox.h"
#include "EnumPropertyView.h"
#include "EnumStringListPropertyView.h"
#include "IntPropertyView.h"
#include "MultilinePropertyView.h"
#include "PathPropertyView.h"
#include "SliderPropertyView.h"
#include "StringListPropertyView.h"
#include "StringPropertyView.h"
#include "StyleHelper.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>

#include <algorithm>

BasePropertyListWidget::BasePropertyListWidget(QWidget* parent)
    : QWidget(parent)
{ }

PropertyWidgetInfo BasePropertyListWidget::getWidgetInfo(int index) const
{
    return index >= 0 && index < m_rows.size() ? m_rows.at(index) : PropertyWidgetInfo();
}

PropertyWidgetInfo BasePropertyListWidget::getWidgetInfo(const QString& name) const
{
    for (const PropertyWidgetInfo& info : m_rows) {
        if (info.name.compare(name, Qt::CaseInsensitive) == 0)
            return info;
    }
    return {};
}

int BasePropertyListWidget::addPropertyToLayout(AbstractMetaDescription* description, QGridLayout* grid)
{
    if (!description || !grid)
        return -1;

    auto* title
        = new QLabel(QCoreApplication::translate("Generic", description->displayName.toUtf8().constData()), this);
    title->setContentsMargins(0, 0, 0, 0);
    title->setObjectName(QStringLiteral("propertyHeaderLabel"));
    QWidget* header = title;
    if (!description->icon.isEmpty()) {
        header = new QWidget(this);
        auto* layout = new QHBoxLayout(header);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* icon = new QLabel(header);
        icon->setFixedSize(16, 16);
        StyleHelper::SetLabelIcon(icon, description->icon, QColor(QStringLiteral("#FFF")));
        layout->addWidget(icon);
        layout->addWidget(title, 100);
    }

    int span = 1;
    QWidget* view = getPropertyView(description, span, this);
    view->setContentsMargins(0, 0, 5, 0);

    const QString help = description->extra(QStringLiteral("Description"));
    if (!help.isEmpty()) {
        const QString tip = QCoreApplication::translate("Generic", help.toUtf8().constData());
        header->setToolTip(tip);
        view->setToolTip(tip);
    }
    if (description->readOnly)
        view->setEnabled(false);

    // QGridLayout counts one row even when empty.
    const int row = grid->count() == 0 ? 0 : grid->rowCount();
    grid->addWidget(header, row, 0);
    grid->addWidget(view, row, 1, 1, span);
    m_rows.append({ description->name, header, view, row });
    return row;
}

QWidget* BasePropertyListWidget::getPropertyView(AbstractMetaDescription* description, int& span, QWidget* parent)
{
    span = 1;
    const auto special = [description](const QString& kind) {
        return description->hasSpecialType && description->specialType.compare(kind, Qt::CaseInsensitive) == 0;
    };
    const auto specialContains = [description](const QString& kind) {
        return description->hasSpecialType && description->specialType.contains(kind, Qt::CaseInsensitive);
    };
    const QString& type = description->typeName;
    const auto typeContains = [&type](const char* name) { return type.contains(QLatin1String(name)); };

    if (specialContains(QStringLiteral("PickFile")) || specialContains(QStringLiteral("PickFolder"))) {
        span = 2;
        return new PathPropertyView(description, parent);
    }
    if (specialContains(QStringLiteral("Multiline"))) {
        span = 2;
        return new MultilinePropertyView(description, parent);
    }
    if (special(QStringLiteral("Slider")))
        return new SliderPropertyView(description, parent);
    if (special(QStringLiteral("EnumStringList"))
        || (type == QLatin1String("QString") && special(QStringLiteral("StringList"))))
        return new EnumStringListPropertyView(description, parent);
    if (special(QStringLiteral("Range")))
        return new DualDoubleSpinBox(description, DualDoubleSpinBox::RangeMode, parent);
    if (description->isEnumType())
        return new EnumPropertyView(description, parent);
    if (typeContains("QPoint") || typeContains("QPointF"))
        return new DualDoubleSpinBox(description, DualDoubleSpinBox::PointMode, parent);
    if (typeContains("bool"))
        return new BoolPropertyView(description, parent);
    if (typeContains("int"))
        return new IntPropertyView(description, parent);
    if (typeContains("QDate") || typeContains("QDateTime"))
        return new DatePropertyView(description, parent);
    if (typeContains("double") || typeContains("float"))
        return new DoublePropertyView(description, parent);
    if (typeContains("QColor"))
        return new ColorPropertyView(description, parent);
    if (typeContains("QStringList"))
        return new StringListPropertyView(description, parent);
    span = 2;
    return new StringPropertyView(description, parent);
}

bool BasePropertyListWidget::conditionsHold(
    const AbstractMetaDescription* description, const AbstractMetaDescriptor* descriptor)
{
    if (!description)
        return false;
    for (auto it = description->visibleBound.cbegin(); it != description->visibleBound.cend(); ++it) {
        AbstractMetaDescription* bound = descriptor ? descriptor->propertyByName(it.key()) : nullptr;
        if (!bound)
            continue;
        if (!conditionMatches(bound->getValue().toString(), it.value()))
            return false;
    }
    return true;
}

bool BasePropertyListWidget::conditionMatches(const QString& value, const QString& required)
{
    static const QRegularExpression separators(QStringLiteral("\\||&&"));
    const QStringList pieces = required.split(separators, Qt::SkipEmptyParts);
    const bool any = required.indexOf(QLatin1Char('|'), 1) > 0;
    const auto matches = [&value](QString piece) {
        const bool negated = piece.startsWith(QLatin1Char('!'));
        if (negated)
            piece.remove(0, 1);
        // Two single quotes stand for the empty text, which the condition syntax cannot otherwise write.
        if (piece == QLatin1String("''"))
            piece.clear();
        return negated ? value != piece : value == piece;
    };
    if (pieces.isEmpty())
        return true;
    return any ? std::any_of(pieces.cbegin(), pieces.cend(), matches)
               : std::all_of(pieces.cbegin(), pieces.cend(), matches);
}
