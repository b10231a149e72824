#pragma once

#include <QString>
#include <QtGlobal>

// Tags every generated accessor and notify signal so that tools reading the meta-object can tell settings
// properties from other methods. moc sees the bare name and records it as the method tag.
#ifndef Q_MOC_RUN
#define PROPERTY_TAG
#endif

// One line declares a settings property of an NTSettings class: the Qt property, its get/set/reset accessors, the
// changed<Name> notify signal and the class-info the descriptors read. moc expands these macros itself, so the
// meta-object carries the generated members as if they had been written out.
//
//   NT_PROPERTY(bool, StartMaximized, true)
//   NT_INT_PROPERTY(ViewSeconds, 10, 1, 120, 1)      // clamps into [1, 120]
//   NT_PROPERTY(double, HPF, 0.02) NT_BOUNDS(HPF, 0, 10, 0.01)
//
// The default is written as C++ and stored in the class-info as text ("ViewMode::View_Graphics", "\"\"");
// the descriptor normalises that text.
#define NT_PROPERTY_ACCESSORS(T, Name, Adjust)                                                                         \
    Q_PROPERTY(T Name READ get##Name WRITE set##Name RESET reset##Name NOTIFY changed##Name)                           \
public:                                                                                                                \
    PROPERTY_TAG Q_SIGNAL void changed##Name(T value);                                                                 \
    PROPERTY_TAG Q_INVOKABLE T get##Name() const                                                                       \
    {                                                                                                                  \
        return m_##Name;                                                                                               \
    }                                                                                                                  \
    PROPERTY_TAG Q_INVOKABLE void set##Name(T value)                                                                   \
    {                                                                                                                  \
        Adjust if (m_##Name == value) return;                                                                          \
        m_##Name = value;                                                                                              \
        emit changed##Name(value);                                                                                     \
        changedProperty(QStringLiteral(#Name));                                                                        \
    }                                                                                                                  \
    PROPERTY_TAG Q_INVOKABLE void reset##Name()                                                                        \
    {                                                                                                                  \
        set##Name(m_##Name##Default);                                                                                  \
    }                                                                                                                  \
                                                                                                                       \
private:

// A property without Editable "true": described, but neither saved, loaded nor defaulted.
#define NT_PROPERTY_HIDDEN(T, Name, Initial)                                                                           \
    Q_CLASSINFO(#Name "Default", #Initial)                                                                             \
    NT_PROPERTY_ACCESSORS(T, Name, )                                                                                   \
    T m_##Name##Default = Initial;                                                                                     \
    T m_##Name = Initial;                                                                                              \
                                                                                                                       \
public:

#define NT_PROPERTY(T, Name, Initial)                                                                                  \
    Q_CLASSINFO(#Name "Editable", "true")                                                                              \
    NT_PROPERTY_HIDDEN(T, Name, Initial)

#define NT_INT_PROPERTY(Name, Initial, Low, High, Increment)                                                           \
    Q_CLASSINFO(#Name "Editable", "true")                                                                              \
    Q_CLASSINFO(#Name "Default", #Initial)                                                                             \
    NT_BOUNDS(Name, Low, High, Increment)                                                                              \
    NT_PROPERTY_ACCESSORS(int, Name, value = qBound(m_##Name##Minimum, value, m_##Name##Maximum);)                     \
    int m_##Name##Default = Initial;                                                                                   \
    int m_##Name##Minimum = Low;                                                                                       \
    int m_##Name##Maximum = High;                                                                                      \
    int m_##Name##Step = Increment;                                                                                    \
    int m_##Name = Initial;                                                                                            \
                                                                                                                       \
public:

// Bounds for the editor only; the setter of a non-int property does not clamp.
#define NT_BOUNDS(Name, Low, High, Increment)                                                                          \
    Q_CLASSINFO(#Name "Minimum", #Low)                                                                                 \
    Q_CLASSINFO(#Name "Maximum", #High)                                                                                \
    Q_CLASSINFO(#Name "Step", #Increment)
