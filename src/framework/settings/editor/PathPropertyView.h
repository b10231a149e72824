#pragma once

#include "BasePropertyView.h"

class QLineEdit;

// A line edit with a file or folder chooser, for the "PickFile" and "PickFolder" special types.
class PathPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit PathPropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QLineEdit* m_edit = nullptr;
};
