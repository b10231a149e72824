#include "PropertyListControl.h"

#include "AbstractMetaDescription.h"
#include "AbstractMetaDescriptor.h"
#include "AbstractSettings.h"
#include "BasePropertyView.h"

#include <QCoreApplication>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

PropertyListControl::PropertyListControl(
    AbstractSettings* settings, const QString& name, ViewMode mode, QWidget* parent)
    : BasePropertyListWidget(parent)
    , m_name(name)
    , m_mode(mode)
    , m_outer(new QVBoxLayout(this))
    , m_inner(new QWidget(this))
    , m_grid(new QGridLayout(m_inner))
{
    m_outer->setContentsMargins(0, 0, 0, 0);
    m_outer->setSpacing(0);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setSpacing(4);
    build(settings);
}

void PropertyListControl::build(AbstractSettings* settings)
{
    m_descriptor = settings ? settings->metaDescriptor() : nullptr;
    if (m_descriptor) {
        for (AbstractMetaDescription* description : std::as_const(m_descriptor->descriptions)) {
            if (!description->editable || !description->visible)
                continue;
            if (!m_byCategory.contains(description->category))
                m_categories.append(description->category);
            m_byCategory[description->category].append(description);
            m_byName.insert(description->name, description);
        }
    }

    QList<AbstractMetaDescription*> added;
    switch (m_mode) {
    case ViewAll:
    case ViewAllNoScrollArea:
        for (const QString& category : std::as_const(m_categories)) {
            if (m_categories.size() > 1)
                addCategoryTitle(category);
            for (AbstractMetaDescription* description : m_byCategory.value(category)) {
                addPropertyToLayout(description, m_grid);
                added.append(description);
            }
        }
        break;
    case ViewSingleCategory:
        for (AbstractMetaDescription* description : m_byCategory.value(m_name)) {
            addPropertyToLayout(description, m_grid);
            added.append(description);
        }
        break;
    case ViewSingleProperty:
        if (AbstractMetaDescription* description = m_descriptor ? m_descriptor->propertyByName(m_name) : nullptr) {
            addPropertyToLayout(description, m_grid);
            added.append(description);
        }
        break;
    }
    for (AbstractMetaDescription* description : std::as_const(added))
        bindVisibility(description);
    // A conditional row must not show until its first bound change: evaluate every condition once now.
    for (AbstractMetaDescription* description : std::as_const(added)) {
        if (!description->visibleBound.isEmpty())
            evaluateRow(description);
    }
    setTabOrder();
    finishLayout();
}

void PropertyListControl::addCategoryTitle(const QString& category)
{
    const QString source = category.isEmpty() ? QStringLiteral("Other") : category;
    auto* title = new QLabel(QCoreApplication::translate("Generic", source.toUtf8().constData()), m_inner);
    title->setObjectName(QStringLiteral("propertyCategoryLabel"));
    title->setStyleSheet(QStringLiteral("font-weight: bold"));
    title->setContentsMargins(0, 10, 0, 0);
    m_grid->addWidget(title, m_grid->count() == 0 ? 0 : m_grid->rowCount(), 0);
    m_categoryTitles.insert(category, title);
}

void PropertyListControl::bindVisibility(AbstractMetaDescription* description)
{
    const QPointer<AbstractMetaDescription> guarded(description);
    for (auto it = description->visibleBound.cbegin(); it != description->visibleBound.cend(); ++it) {
        AbstractMetaDescription* bound = m_descriptor ? m_descriptor->propertyByName(it.key()) : nullptr;
        if (!bound) {
            qDebug() << (m_mode == ViewSingleCategory ? "Prop not found" : "Property not found") << it.key();
            continue;
        }
        connect(bound, &AbstractMetaDescription::valueChanged, this, [this, guarded] {
            if (guarded)
                evaluateRow(guarded);
        });
    }
}

void PropertyListControl::evaluateRow(AbstractMetaDescription* description)
{
    const int index = rowIndex(description->name);
    if (index < 0)
        return;
    const int before = visibleProperties();
    // The single-property editor shows its property whatever its flags; only its conditions hide it.
    description->shown
        = (description->visible || m_mode == ViewSingleProperty) && conditionsHold(description, m_descriptor);
    applyRowVisibility(m_rows.at(index));
    if (m_manageCategoryVisibility)
        updateCategoryTitles();
    const int after = visibleProperties();
    if (after != before)
        emit propertyVisibilityChanged(after);
}

void PropertyListControl::evaluateAll()
{
    for (const PropertyWidgetInfo& info : std::as_const(m_rows)) {
        if (AbstractMetaDescription* description = m_descriptor ? m_descriptor->propertyByName(info.name) : nullptr)
            evaluateRow(description);
    }
    updateCategoryTitles();
}

void PropertyListControl::updateCategoryTitles()
{
    for (auto it = m_categoryTitles.cbegin(); it != m_categoryTitles.cend(); ++it) {
        bool any = !m_manageCategoryVisibility;
        for (AbstractMetaDescription* description : m_byCategory.value(it.key())) {
            const PropertyWidgetInfo info = getWidgetInfo(description->name);
            any = any || (info.view && !info.view->isHidden());
        }
        it.value()->setVisible(any);
    }
}

void PropertyListControl::applyRowVisibility(const PropertyWidgetInfo& info)
{
    const AbstractMetaDescription* description = m_descriptor ? m_descriptor->propertyByName(info.name) : nullptr;
    const bool shown = (!description || description->shown) && !m_hiddenItems.contains(info.name.toLower());
    if (info.header)
        info.header->setVisible(shown && m_headersShown.value(info.name.toLower(), true));
    if (info.view)
        info.view->setVisible(shown);
}

int PropertyListControl::rowIndex(const QString& name) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// Tab walks down the rows: each editor, then its default button, then the next row's editor.
void PropertyListControl::setTabOrder()
{
    QWidget* previous = nullptr;
    for (const PropertyWidgetInfo& info : std::as_const(m_rows)) {
        auto* view = qobject_cast<BasePropertyView*>(info.view.data());
        QList<QWidget*> chain;
        if (view && view->getEditor())
            chain.append(view->getEditor());
        else if (info.view)
            chain.append(info.view);
        if (view && view->defaultButton())
            chain.append(view->defaultButton());
        for (QWidget* widget : std::as_const(chain)) {
            if (previous)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
    }
}

void PropertyListControl::finishLayout()
{
    m_grid->setColumnStretch(2, 100);
    if (m_mode == ViewSingleProperty || m_mode == ViewAllNoScrollArea) {
        if (m_mode == ViewSingleProperty)
            m_grid->setSpacing(0);
        m_outer->addWidget(m_inner, 100);
        return;
    }
    m_grid->setRowStretch(m_grid->rowCount(), 100);
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setMinimumSize(30, 20);
    m_scrollArea->setContentsMargins(0, 0, 0, 0);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setAttribute(Qt::WA_TranslucentBackground);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    m_scrollArea->setStyleSheet(QStringLiteral(
        "QScrollArea { background: transparent; border: 0; } QScrollArea > QWidget > QWidget { background: "
        "transparent; }                                   QScrollArea > QWidget > QScrollBar { background: "
        "palette(base)}"));
    m_scrollArea->setWidget(m_inner);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_outer->addWidget(m_scrollArea, 100);
}

void PropertyListControl::substituteHeader(const QString& name, QWidget* widget, Qt::Alignment alignment)
{
    const int index = rowIndex(name);
    if (index < 0 || !widget)
        return;
    PropertyWidgetInfo& info = m_rows[index];
    if (info.header) {
        // The new header explains the row as the old one did.
        if (widget->toolTip().isEmpty())
            widget->setToolTip(info.header->toolTip());
        m_grid->removeWidget(info.header);
        info.header->deleteLater();
    }
    widget->setMaximumWidth(qMin(widget->maximumWidth(), m_maximumHeaderWidth));
    m_grid->addWidget(widget, info.row, 0, alignment);
    info.header = widget;
    applyRowVisibility(info);
}

void PropertyListControl::substituteEditor(const QString& name, QWidget* widget)
{
    const int index = rowIndex(name);
    if (index < 0 || !widget)
        return;
    PropertyWidgetInfo& info = m_rows[index];
    int columnSpan = 1;
    if (info.view) {
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        const int layoutIndex = m_grid->indexOf(info.view.data());
        if (layoutIndex >= 0)
            m_grid->getItemPosition(layoutIndex, &row, &column, &rowSpan, &columnSpan);
        m_grid->removeWidget(info.view);
        info.view->deleteLater();
    }
    m_grid->addWidget(widget, info.row, 1, 1, columnSpan);
    info.view = widget;
    applyRowVisibility(info);
    setTabOrder();
}

void PropertyListControl::showHeader(const QString& name, bool show)
{
    const int index = rowIndex(name);
    if (index < 0)
        return;
    m_headersShown.insert(m_rows.at(index).name.toLower(), show);
    applyRowVisibility(m_rows.at(index));
}

void PropertyListControl::showHeaders(bool show)
{
    for (const PropertyWidgetInfo& info : std::as_const(m_rows)) {
        m_headersShown.insert(info.name.toLower(), show);
        applyRowVisibility(info);
    }
}

void PropertyListControl::showDefaultButtons(bool show)
{
    for (const PropertyWidgetInfo& info : std::as_const(m_rows)) {
        if (auto* view = qobject_cast<BasePropertyView*>(info.view.data()))
            view->showDefaultButton(show);
    }
}

void PropertyListControl::setEditorsEnabled(bool enabled)
{
    for (const PropertyWidgetInfo& info : std::as_const(m_rows)) {
        const AbstractMetaDescription* description = m_descriptor ? m_descriptor->propertyByName(info.name) : nullptr;
        if (info.view)
            info.view->setEnabled(enabled && !(description && description->readOnly));
    }
}

void PropertyListControl::addWidgetToFirstRow(QWidget* widget)
{
    m_outer->insertWidget(0, widget);
}

void PropertyListControl::addWidgetToLastRow(QWidget* widget)
{
    m_outer->addWidget(widget);
}

void PropertyListControl::addLayoutToFirstRow(QLayout* layout)
{
    m_outer->insertLayout(0, layout);
}

void PropertyListControl::addLayoutToLastRow(QLayout* layout)
{
    m_outer->addLayout(layout);
}

void PropertyListControl::setPadding(int left, int top, int right, int bottom)
{
    m_grid->setContentsMargins(left, top, right, bottom);
}

void PropertyListControl::setMinimumEditorWidth(int width)
{
    m_grid->setColumnMinimumWidth(1, width);
}

void PropertyListControl::setMaximumHeaderColumnWidth(int width)
{
    m_maximumHeaderWidth = width;
    for (const PropertyWidgetInfo& info : std::as_const(m_rows)) {
        if (info.header)
            info.header->setMaximumWidth(width);
    }
}

void PropertyListControl::setManageCategoryVisibility(bool manage)
{
    if (m_manageCategoryVisibility == manage)
        return;
    m_manageCategoryVisibility = manage;
    emit manageCategoryVisibilityChanged();
    evaluateAll();
}

bool PropertyListControl::setFocusAt(const QString& name)
{
    const int index = rowIndex(name);
    if (index < 0 || !m_rows.at(index).view || m_rows.at(index).view->isHidden())
        return false;
    m_rows.at(index).view->setFocus(Qt::OtherFocusReason);
    return true;
}

bool PropertyListControl::setFocusAtFirst()
{
    for (const PropertyWidgetInfo& info : std::as_const(m_rows)) {
        if (info.view && !info.view->isHidden() && info.view->isEnabled()) {
            info.view->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

void PropertyListControl::hideItems(const QStringList& names)
{
    showItems(names, false);
}

void PropertyListControl::showItems(const QStringList& names, bool show)
{
    const int before = visibleProperties();
    for (const QString& name : names) {
        if (show)
            m_hiddenItems.remove(name.toLower());
        else
            m_hiddenItems.insert(name.toLower());
        const int index = rowIndex(name);
        if (index >= 0)
            applyRowVisibility(m_rows.at(index));
    }
    if (m_manageCategoryVisibility)
        updateCategoryTitles();
    const int after = visibleProperties();
    if (after != before)
        emit propertyVisibilityChanged(after);
}

int PropertyListControl::visibleProperties() const
{
    return int(std::count_if(m_rows.cbegin(), m_rows.cend(),
        [](const PropertyWidgetInfo& info) { return info.view && !info.view->isHidden(); }));
}
