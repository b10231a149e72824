#pragma once

#include "ConnectionHelper.h"

#include <QColor>
#include <QIcon>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class AbstractSettings;
class QLabel;
class QPushButton;
class QWidget;

// The process-wide theme engine: one style-sheet template whose values are "--n-" variable names, a set of named
// themes giving those variables values, and custom values set by code that take precedence over every theme.
// Widgets that paint themselves read colours with ThemeColor() and refresh through Link().
class StyleHelper : public QObject
{
    Q_OBJECT
public:
    enum ColorThemeEnum { System = 0, Light = 1, Dark = 2 };
    Q_ENUM(ColorThemeEnum)

    static StyleHelper* Instance();

    // Runs the function after every theme change (and once now when callNow is set) for as long as the object
    // lives; a null object gets nothing.
    static void Link(QObject* object, const std::function<void()>& function, bool callNow = true);
    // Ties the settings property (a ColorThemeEnum) to the engine: applies it now and on every change.
    static void InterlinkTheme(AbstractSettings* settings, const QString& propertyName);
    static QColor ThemeColor(const QString& name, const QColor& fallback = QColor());
    static QString ThemeValue(const QString& name, const QString& fallback = QString());
    static QColor MainColor();
    static QIcon ColoredIcon(const QString& path, const QColor& darkColor, const QColor& lightColor);
    static void SetButtonIcon(QPushButton* button, const QString& path, const QColor& darkColor = Qt::white);
    static void SetLabelIcon(QLabel* label, const QString& path, const QColor& darkColor = Qt::white);

    // Splits a theme file (":root { --n-name: value; ... }") into its variables.
    static QMap<QString, QString> parseTheme(const QString& text);

    void addStyleFile(const QString& path);
    void addThemeFile(const QString& path, const QString& themeName);
    QStringList themes() const;
    void selectTheme(const QString& themeName);
    QString replaceThemeColors(QString text) const;

    QColor getThemeColor(const QString& name, const QColor& fallback = QColor()) const;
    QString getThemeValue(const QString& name, const QString& fallback = QString()) const;
    bool isDark() const { return m_dark; }
    QString currentTheme() const { return m_currentTheme; }
    QColor mainColor() const { return m_dark ? m_darkMainColor : m_lightMainColor; }

    void setCustomValue(const QString& name, const QString& value);

    void setButtonIcon(QPushButton* button, const QIcon& lightIcon, const QIcon& darkIcon = QIcon());
    void setButtonIcon(QPushButton* button, const QString& path, const QColor& darkColor);
    void setLabelIcon(QLabel* label, const QIcon& lightIcon, const QIcon& darkIcon = QIcon());
    void setLabelIcon(QLabel* label, const QString& path, const QColor& darkColor);
    void setStyledBackground(QWidget* widget, const QString& name, const QColor& fallback = Qt::transparent);

    // The widget style a theme asks for, resolved against the styles this Qt offers; empty when it offers none.
    static QString resolveStyleName(bool dark, const QStringList& available);
    // Whether the platform currently prefers a dark colour scheme.
    static bool systemPrefersDark();

signals:
    void changed();
    // The platform's colour scheme (or its palette, where Qt cannot name the scheme) changed.
    void systemColorSchemeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit StyleHelper(QObject* parent = nullptr);
    void watchSystemColorScheme();
    void checkSystemColorScheme();

    bool m_dark = false;
    QMap<QString, QString> m_themeValues;
    QMap<QString, QMap<QString, QString>> m_themeFiles;
    QMap<QString, QString> m_styleFiles;
    QMap<QString, QString> m_customValues;
    QString m_currentTheme;
    ConnectionHelper m_connections { QStringLiteral("StyleHelper") };
    QColor m_lightMainColor { 0x30, 0x30, 0x30 };
    QColor m_darkMainColor { Qt::white };
    QString m_styleName;
    bool m_systemDark = false;
    bool m_watchingSystem = false;
};
