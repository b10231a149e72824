<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutAppWidget</name>
    <message>
        <source>-bit</source>
        <translation>-бит</translation>
    </message>
    <message>
        <source>App info</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>ChangeLog</source>
        <translation>Изменения</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Developers</source>
        <translation>Разработчики</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>Обратная связь</translation>
    </message>
    <message>
        <source>Happy birthday!</source>
        <translation>С днём рождения!</translation>
    </message>
    <message>
        <source>IP address</source>
        <translation>IP-адрес</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Руководство</translation>
    </message>
    <message>
        <source>OS</source>
        <translation>ОС</translation>
    </message>
    <message>
        <source>Open API in browser</source>
        <translation>Открыть API в браузере</translation>
    </message>
    <message>
        <source>Open app manual</source>
        <translation>Открыть руководство</translation>
    </message>
    <message>
        <source>Open change log</source>
        <translation>Открыть список изменений</translation>
    </message>
    <message>
        <source>Open link</source>
        <translation>Открыть ссылку</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Версия</translation>
    </message>
    <message>
        <source>built on </source>
        <translation>сборка от </translation>
    </message>
</context>
<context>
    <name>AcquisitionVariant</name>
    <message>
        <source>Acquire_RIR</source>
        <translation>R-IR</translation>
    </message>
    <message>
        <source>Acquire_VRIR</source>
        <translation>V-R-IR</translation>
    </message>
    <message>
        <source>Acquire_aRIR</source>
        <translation>R-IR перемежающиеся</translation>
    </message>
</context>
<context>
    <name>ColorThemeEnum</name>
    <message>
        <source>Dark</source>
        <translation>Тёмная</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Светлая</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Системная</translation>
    </message>
</context>
<context>
    <name>Developer</name>
    <message>
        <source>Acquisition</source>
        <translation>Получение данных</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>Интерфейс</translation>
    </message>
    <message>
        <source>Record review</source>
        <translation>Просмотр записей</translation>
    </message>
</context>
<context>
    <name>EDFReader</name>
    <message>
        <source>Hz</source>
        <translation>Гц</translation>
    </message>
</context>
<context>
    <name>HalvexLanguage</name>
    <message>
        <source>en_US</source>
        <translation>English</translation>
    </message>
    <message>
        <source>ru_RU</source>
        <translation>Русский</translation>
    </message>
</context>
<context>
    <name>Generic</name>
    <message>
        <source>Acquisition</source>
        <translation>Вариант получения данных</translation>
    </message>
    <message>
        <source>ColorTheme</source>
        <translation>Тема</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключить</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключить</translation>
    </message>
    <message>
        <source>GraphicSpacing</source>
        <translation>Расстояние между графиками</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Гц</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>Language change</source>
        <translation>Смена языка</translation>
    </message>
    <message>
        <source>LockCommonVerticalScale</source>
        <translation>Общий верт. масштаб</translation>
    </message>
    <message>
        <source>Montage</source>
        <translation>Монтаж</translation>
    </message>
    <message>
        <source>MontageDescription</source>
        <translation>Каждая текстовая строка будет отдельной строкой графиков на отображении.&lt;br&gt;
Первый канал записывается как &quot;1&quot;.&lt;br&gt;
Если написать, например:
&lt;div style=&quot;font-family: &apos;Courier New&apos;, monospace&quot;&gt;2&lt;br&gt;1;4&lt;/div&gt;
то будет отображено 2 ряда графиков,&lt;br&gt;в верхнем ряду - данные от 2 канала,&lt;br&gt;в нижнем ряду - данные от 1 и 4 каналов.&lt;br&gt;&lt;br&gt;
Можно указывать название канала &quot;N=Название;M=Название&quot;, например &quot;15=FpZ-AF7;14=FpZ-AF8&quot;</translation>
    </message>
    <message>
        <source>New version</source>
        <translation>Новая версия</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Не сейчас</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>RIRsmoothing</source>
        <translation>Сглаживание R-IR</translation>
    </message>
    <message>
        <source>RememberLastDevice</source>
        <translation>Запоминать устройство</translation>
    </message>
    <message>
        <source>SendOnEndRecord</source>
        <translation>HTTP-команда по окончанию записи</translation>
    </message>
    <message>
        <source>SendOnStartRecord</source>
        <translation>HTTP-команда по началу записи</translation>
    </message>
    <message>
        <source>StartMaximized</source>
        <translation>Запускать на полный экран</translation>
    </message>
    <message>
        <source>UseMontage</source>
        <translation>Использовать монтаж</translation>
    </message>
    <message>
        <source>UseVirtualDevice</source>
        <translation>Вирт. устройство</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вид</translation>
    </message>
    <message>
        <source>ViewSeconds</source>
        <translation>Гор. масштаб</translation>
    </message>
    <message>
        <source>VirtualDeviceChannels</source>
        <translation>Вирт. каналов</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Open records folder</source>
        <translation>Открыть папку записей</translation>
    </message>
    <message>
        <source>Open settings</source>
        <translation>Открыть настройки</translation>
    </message>
    <message>
        <source>Records</source>
        <translation>Записи</translation>
    </message>
    <message>
        <source>Отображение в виде графика</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отображение в виде таблицы</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NewVersionChecker</name>
    <message>
        <source>Click to download new version</source>
        <translation>Нажмите, чтобы скачать новую версию</translation>
    </message>
</context>
<context>
    <name>Portal</name>
    <message>
        <source>Hz</source>
        <translation>Гц</translation>
    </message>
</context>
<context>
    <name>SpecialPropertyView</name>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
</context>
<context>
    <name>ViewMode</name>
    <message>
        <source>View_Graphics</source>
        <translation>Графики</translation>
    </message>
    <message>
        <source>View_Table</source>
        <translation>Таблица</translation>
    </message>
</context>
</TS>
