#pragma once

#include "PropertyWidgetInfo.h"

#include <QList>
#include <QWidget>

class AbstractMetaDescription;
class AbstractMetaDescriptor;
class QGridLayout;

// The rows of a generated property editor: one title and one editing view per property description, the choice
// of the view for a description, and the test of a row's visibility conditions.
class BasePropertyListWidget : public QWidget
{
    Q_OBJECT
public:
    explicit BasePropertyListWidget(QWidget* parent = nullptr);

    PropertyWidgetInfo getWidgetInfo(int index) const;
    PropertyWidgetInfo getWidgetInfo(const QString& name) const;
    int rowCount() const { return m_rows.size(); }

    // Places title and view of the description at the next row of the grid; returns that row or -1.
    int addPropertyToLayout(AbstractMetaDescription* description, QGridLayout* grid);
    // The editing view for the description; span receives the number of grid columns the view takes.
    static QWidget* getPropertyView(AbstractMetaDescription* description, int& span, QWidget* parent = nullptr);

    // Whether every visibility condition of the description holds against the descriptor's current values.
    // A condition naming a property the descriptor lacks holds.
    static bool conditionsHold(const AbstractMetaDescription* description, const AbstractMetaDescriptor* descriptor);
    // Whether the value text satisfies one required text ("true", "!x", "a|b", "a&&!b", "''" for the empty text).
    static bool conditionMatches(const QString& value, const QString& required);

protected:
    QList<PropertyWidgetInfo> m_rows;
};
