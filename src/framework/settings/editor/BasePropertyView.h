#pragma once

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include "AbstractMetaDescription.h"
class QHBoxLayout;
class QPushButton;

// The base of every editing view: it follows the description's value (queued, so the view catches up after the
// current event), carries the optional default button to the right of the editor and applies MinWidth.
class BasePropertyView : public QWidget
{
    Q_OBJECT
public:
    explicit BasePropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    virtual void up();
    virtual void down();
    virtual QWidget* getEditor() const { return m_editor; }
    // Forgets the editor without deleting it, for a caller that takes it over.
    virtual void nullifyEditor();

    void showDefaultButton(bool show);
    QPushButton* defaultButton() const { return m_defaultButton; }
    QHBoxLayout* getEditingLayout() const { return m_layout; }
    AbstractMetaDescription* description() const { return m_description; }

    static QString translatedSuffixOrPrefix(const QString& value);

public slots:
    virtual void metaValueChanged(QVariant value) = 0;

protected:
    // equal: the shown value equals the default; the button is checked while it differs.
    void setDefaultButtonChecked(bool equal);
    // Puts the editor at the front of the layout, before the default button.
    void setEditor(QWidget* editor, int stretch = 0);
    // Writes the value into the property after the current event, for editors whose every keystroke is an edit.
    void setValueQueued(const QVariant& value);
    void setValue(const QVariant& value);

    QPointer<AbstractMetaDescription> m_description;
    QHBoxLayout* m_layout = nullptr;
    QWidget* m_editor = nullptr;
    QPushButton* m_defaultButton = nullptr;

private:
    int m_pendingWrites = 0;
};
