#pragma once

#include "BasePropertyView.h"

class QDoubleSpinBox;

// Two spin boxes for one property: a point (x, y) or size, or a range whose lower end never passes its upper end.
// A point or size is written as such; a range is a QPointF (from, to) or, for a text property, "from;to".
class DualDoubleSpinBox : public BasePropertyView
{
    Q_OBJECT
public:
    enum Mode { PointMode, RangeMode };
    Q_ENUM(Mode)

    explicit DualDoubleSpinBox(AbstractMetaDescription* description, Mode mode, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    QDoubleSpinBox* first() const { return m_first; }
    QDoubleSpinBox* second() const { return m_second; }

    void nullifyEditor() override;

    // The two numbers of a value of any of the supported forms; false when there are not two.
    static bool split(const QVariant& value, double& first, double& second);

public slots:
    void metaValueChanged(QVariant value) override;

private:
    void write();

    Mode m_mode = PointMode;
    QDoubleSpinBox* m_first = nullptr;
    QDoubleSpinBox* m_second = nullptr;
};
