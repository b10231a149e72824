#pragma once

#include "AbstractMetaDescriptor.h"
#include "BasePropertyListWidget.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QStringList>

class AbstractSettings;
class QHBoxLayout;
class QLabel;
class QLayout;
class QScrollArea;
class QVBoxLayout;

// The editor generated from a settings object's descriptor: one row per editable, visible property (or the rows of
// one category, or a single property), each view writing straight into the property and following its changes.
class PropertyListControl : public BasePropertyListWidget
{
    Q_OBJECT
public:
    enum ViewMode { ViewAll = 0, ViewSingleCategory = 1, ViewSingleProperty = 2, ViewAllNoScrollArea = 3 };
    Q_ENUM(ViewMode)

    // name is a category for ViewSingleCategory, a property name (any case) for ViewSingleProperty.
    explicit PropertyListControl(AbstractSettings* settings, const QString& name = QString(), ViewMode mode = ViewAll,
        QWidget* parent = nullptr);

    ViewMode mode() const { return m_mode; }
    AbstractMetaDescriptor* descriptor() const { return m_descriptor; }

    // Replaces the title of the named row; the old title is deleted.
    void substituteHeader(const QString& name, QWidget* widget, Qt::Alignment alignment = Qt::Alignment());
    // Replaces the view of the named row; the old view is deleted.
    void substituteEditor(const QString& name, QWidget* widget);
    void showHeader(const QString& name, bool show);
    void showHeaders(bool show);
    void showDefaultButtons(bool show);
    void setEditorsEnabled(bool enabled);

    // Extra content above or below the rows.
    void addWidgetToFirstRow(QWidget* widget);
    void addWidgetToLastRow(QWidget* widget);
    void addLayoutToFirstRow(QLayout* layout);
    void addLayoutToLastRow(QLayout* layout);

    void setPadding(int left, int top, int right, int bottom);
    void setPadding(int padding) { setPadding(padding, padding, padding, padding); }
    void setMinimumEditorWidth(int width);
    void setMaximumHeaderColumnWidth(int width);

    void setManageCategoryVisibility(bool manage);
    bool manageCategoryVisibility() const { return m_manageCategoryVisibility; }

    // Gives the keyboard focus to the editor of the named row (or of the first visible row).
    bool setFocusAt(const QString& name);
    bool setFocusAtFirst();

    void hideItems(const QStringList& names);
    void showItems(const QStringList& names, bool show = true);
    int visibleProperties() const;

signals:
    void propertyVisibilityChanged(int visibleProperties);
    void manageCategoryVisibilityChanged();

private:
    void build(AbstractSettings* settings);
    void addCategoryTitle(const QString& category);
    void bindVisibility(AbstractMetaDescription* description);
    void evaluateRow(AbstractMetaDescription* description);
    void evaluateAll();
    void updateCategoryTitles();
    void applyRowVisibility(const PropertyWidgetInfo& info);
    void setTabOrder();
    void finishLayout();
    int rowIndex(const QString& name) const;

    QPointer<AbstractMetaDescriptor> m_descriptor;
    QList<QString> m_categories;
    QMap<QString, QList<AbstractMetaDescription*>> m_byCategory;
    QMap<QString, AbstractMetaDescription*> m_byName;
    QMap<QString, QLabel*> m_categoryTitles;
    QString m_name;
    ViewMode m_mode = ViewAll;
    QSet<QString> m_hiddenItems;
    QMap<QString, bool> m_headersShown;
    int m_maximumHeaderWidth = QWIDGETSIZE_MAX;
    bool m_manageCategoryVisibility = false;
    QVBoxLayout* m_outer = nullptr;
    QWidget* m_inner = nullptr;
    QGridLayout* m_grid = nullptr;
    QScrollArea* m_scrollArea = nullptr;
};
