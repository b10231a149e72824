#include "StyleHelper.h"

#include "AbstractSettings.h"
#include "MediaHelper.h"

#include <QApplication>
#include <QDebug>
#include <QEvent>
#include <QFile>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleHints>

namespace {

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_');
}

// Replaces the variable only where it stands as a whole name, so that "--n-grid-time" never eats the front of
// "--n-grid-time-text", and a value that mentions its own name cannot make the replacement run forever.
void replaceVariable(QString& text, const QString& name, const QString& value)
{
    if (name.isEmpty())
        return;
    int from = 0;
    while ((from = text.indexOf(name, from, Qt::CaseSensitive)) >= 0) {
        const int end = from + int(name.size());
        if (end < text.size() && isNameCharacter(text.at(end))) {
            from = end;
            continue;
        }
        text.replace(from, name.size(), value);
        from += int(value.size());
    }
}

QString fontPixelSize(const QFont& font)
{
    int pixels = font.pixelSize();
    // A font given in points has no pixel size; the style sheet still needs one.
    if (pixels <= 0)
        pixels = qRound(font.pointSizeF() * 96.0 / 72.0);
    return QString::number(pixels) + QStringLiteral("px");
}

} // namespace

StyleHelper::StyleHelper(QObject* parent)
    : QObject(parent)
{
    const QFont font = QGuiApplication::font();
    setCustomValue(QStringLiteral("--n-font-family"), QLatin1Char('\'') + font.family() + QLatin1Char('\''));
    setCustomValue(QStringLiteral("--n-font-size"), fontPixelSize(font));
    setCustomValue(QStringLiteral("--n-font-weight"), QStringLiteral("normal"));
    setCustomValue(QStringLiteral("--n-min-btn-size"), QStringLiteral("16px"));
    setCustomValue(QStringLiteral("--n-opt-btn-size"), QStringLiteral("24px"));
    setCustomValue(QStringLiteral("--n-min-height"), QString::number(20.8, 'g', 6) + QStringLiteral("px"));
}

StyleHelper* StyleHelper::Instance()
{
    static StyleHelper* instance = new StyleHelper;
    return instance;
}

void StyleHelper::Link(QObject* object, const std::function<void()>& function, bool callNow)
{
    if (!object || !function)
        return;
    StyleHelper* self = Instance();
    self->m_connections << connect(self, &StyleHelper::changed, object, function);
    if (callNow)
        function();
}

void StyleHelper::InterlinkTheme(AbstractSettings* settings, const QString& propertyName)
{
    if (!settings || propertyName.isEmpty())
        return;
    StyleHelper* self = Instance();
    self->watchSystemColorScheme();

    const auto holdsSystem = [settings, propertyName]() {
        bool isNumber = false;
        const int value = settings->getValue(propertyName).toInt(&isNumber);
        return isNumber && value == System;
    };
    const auto apply = [self, settings, propertyName]() {
        const QVariant value = settings->getValue(propertyName);
        bool isNumber = false;
        const int number = value.toInt(&isNumber);
        bool dark = false;
        if (isNumber && number == System)
            dark = systemPrefersDark();
        else if (isNumber && number == Dark)
            dark = true;
        else
            dark = value.toString().contains(QLatin1String("dark"), Qt::CaseInsensitive);
        self->selectTheme(dark ? QStringLiteral("dark") : QStringLiteral("light"));
    };
    apply();
    self->m_connections << connect(
        settings, &AbstractSettings::propertyChanged, settings, [apply, propertyName](const QString& name) {
            if (name == propertyName)
                apply();
        });
    self->m_connections << connect(self, &StyleHelper::systemColorSchemeChanged, settings, [apply, holdsSystem]() {
        if (holdsSystem())
            apply();
    });
}

QColor StyleHelper::ThemeColor(const QString& name, const QColor& fallback)
{
    return Instance()->getThemeColor(name, fallback);
}

QString StyleHelper::ThemeValue(const QString& name, const QString& fallback)
{
    return Instance()->getThemeValue(name, fallback);
}

QColor StyleHelper::MainColor()
{
    return Instance()->mainColor();
}

QIcon StyleHelper::ColoredIcon(const QString& path, const QColor& darkColor, const QColor& lightColor)
{
    const QColor& color = Instance()->isDark() ? darkColor : lightColor;
    return MediaHelper::iconColored(path, color.name(), QStringLiteral("#303030"));
}

void StyleHelper::SetButtonIcon(QPushButton* button, const QString& path, const QColor& darkColor)
{
    Instance()->setButtonIcon(button, path, darkColor);
}

void StyleHelper::SetLabelIcon(QLabel* label, const QString& path, const QColor& darkColor)
{
    Instance()->setLabelIcon(label, path, darkColor);
}

QMap<QString, QString> StyleHelper::parseTheme(const QString& text)
{
    QString body = text;
    body.remove(QStringLiteral(":root {"), Qt::CaseSensitive);
    body.remove(QLatin1Char('}'), Qt::CaseSensitive);

    QMap<QString, QString> values;
    const QStringList lines = body.split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    for (const QString& rawLine : lines) {
        QString line = rawLine.trimmed();
        if (line.endsWith(QLatin1Char(';')))
            line.chop(1);
        const QStringList parts = line.split(QStringLiteral(": "), Qt::KeepEmptyParts);
        if (parts.size() == 2)
            values.insert(parts.at(0).trimmed(), parts.at(1).trimmed());
    }
    return values;
}

void StyleHelper::addStyleFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "STYLE FILE NOT ADDED" << path;
        return;
    }
    m_styleFiles.insert(path, QString::fromUtf8(file.readAll()));
}

void StyleHelper::addThemeFile(const QString& path, const QString& themeName)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    m_themeFiles.insert(themeName, parseTheme(QString::fromUtf8(file.readAll())));
}

QStringList StyleHelper::themes() const
{
    return m_themeFiles.keys();
}

void StyleHelper::selectTheme(const QString& themeName)
{
    const auto theme = m_themeFiles.constFind(themeName);
    if (theme == m_themeFiles.constEnd()) {
        emit changed();
        return;
    }
    m_currentTheme = themeName;
    m_dark = themeName.contains(QLatin1String("dark"), Qt::CaseInsensitive);
    m_themeValues = *theme;

    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QString sheet;
        for (const QString& styleTemplate : std::as_const(m_styleFiles))
            sheet += replaceThemeColors(styleTemplate) + QStringLiteral("\r\n");
        app->setStyleSheet(sheet);

        const QString style = resolveStyleName(m_dark, QStyleFactory::keys());
        // With a style sheet installed QApplication::style() is the sheet's wrapper, which has no name of its own;
        // so the engine remembers what it set and spares the widgets a needless re-polish.
        if (!style.isEmpty() && style != m_styleName) {
            QApplication::setStyle(style);
            m_styleName = style;
        }
    }
    emit changed();
}

QString StyleHelper::replaceThemeColors(QString text) const
{
    for (auto it = m_customValues.cbegin(); it != m_customValues.cend(); ++it)
        replaceVariable(text, it.key(), it.value());
    for (auto it = m_themeValues.cbegin(); it != m_themeValues.cend(); ++it)
        replaceVariable(text, it.key(), it.value());
    return text;
}

QColor StyleHelper::getThemeColor(const QString& name, const QColor& fallback) const
{
    const QString value = getThemeValue(name);
    if (value.isNull())
        return fallback;
    return QColor(value);
}

QString StyleHelper::getThemeValue(const QString& name, const QString& fallback) const
{
    auto custom = m_customValues.constFind(name);
    if (custom != m_customValues.constEnd())
        return *custom;
    auto theme = m_themeValues.constFind(name);
    if (theme != m_themeValues.constEnd())
        return *theme;
    return fallback;
}

void StyleHelper::setCustomValue(const QString& name, const QString& value)
{
    m_customValues.insert(name, value);
    emit changed();
}

void StyleHelper::setButtonIcon(QPushButton* button, const QIcon& lightIcon, const QIcon& darkIcon)
{
    if (!button)
        return;
    if (darkIcon.isNull()) {
        button->setIcon(lightIcon);
        return;
    }
    Link(button, [this, button, lightIcon, darkIcon]() { button->setIcon(m_dark ? darkIcon : lightIcon); });
}

void StyleHelper::setButtonIcon(QPushButton* button, const QString& path, const QColor& darkColor)
{
    setButtonIcon(button, MediaHelper::icon(path), MediaHelper::iconColored(path, darkColor.name()));
}

void StyleHelper::setLabelIcon(QLabel* label, const QIcon& lightIcon, const QIcon& darkIcon)
{
    if (!label)
        return;
    const QSize size = label->size();
    if (darkIcon.isNull()) {
        label->setPixmap(lightIcon.pixmap(size));
        return;
    }
    Link(label,
        [this, label, size, lightIcon, darkIcon]() { label->setPixmap((m_dark ? darkIcon : lightIcon).pixmap(size)); });
}

void StyleHelper::setLabelIcon(QLabel* label, const QString& path, const QColor& darkColor)
{
    setLabelIcon(label, MediaHelper::icon(path), MediaHelper::iconColored(path, darkColor.name()));
}

void StyleHelper::setStyledBackground(QWidget* widget, const QString& name, const QColor& fallback)
{
    Link(widget, [this, widget, name, fallback]() {
        QPalette palette = widget->palette();
        palette.setBrush(QPalette::All, QPalette::Window, getThemeColor(name, fallback));
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    });
}

QString StyleHelper::resolveStyleName(bool dark, const QStringList& available)
{
    QString preferred = dark ? QStringLiteral("Fusion") : QStringLiteral("windowsvista");
    if (available.contains(preferred))
        return preferred;
    for (const QString& key : available) {
        if (preferred.contains(key, Qt::CaseInsensitive)) {
            preferred = key;
            break;
        }
    }
    if (available.contains(preferred))
        return preferred;
    return available.value(0);
}

bool StyleHelper::systemPrefersDark()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    const Qt::ColorScheme scheme = QGuiApplication::styleHints()->colorScheme();
    if (scheme != Qt::ColorScheme::Unknown)
        return scheme == Qt::ColorScheme::Dark;
#endif
    // The application never sets a palette of its own, so the application palette is the platform's.
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

void StyleHelper::watchSystemColorScheme()
{
    if (m_watchingSystem || !QCoreApplication::instance())
        return;
    m_watchingSystem = true;
    m_systemDark = systemPrefersDark();
    QCoreApplication::instance()->installEventFilter(this);
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    connect(
        QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, this, [this]() { checkSystemColorScheme(); });
#endif
}

void StyleHelper::checkSystemColorScheme()
{
    const bool dark = systemPrefersDark();
    if (dark == m_systemDark)
        return;
    m_systemDark = dark;
    emit systemColorSchemeChanged();
}

bool StyleHelper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == QCoreApplication::instance()
        && (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::ThemeChange))
        checkSystemColorScheme();
    return QObject::eventFilter(watched, event);
}
