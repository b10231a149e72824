<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutAppWidget</name>
    <message>
        <source>-bit</source>
        <translation>-bit</translation>
    </message>
    <message>
        <source>App info</source>
        <translation>App info</translation>
    </message>
    <message>
        <source>ChangeLog</source>
        <translation>ChangeLog</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Developers</source>
        <translation>Developers</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>Happy birthday!</source>
        <translation>Happy birthday!</translation>
    </message>
    <message>
        <source>IP address</source>
        <translation>IP address</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>OS</source>
        <translation>OS</translation>
    </message>
    <message>
        <source>Open API in browser</source>
        <translation>Open API in browser</translation>
    </message>
    <message>
        <source>Open app manual</source>
        <translation>Open app manual</translation>
    </message>
    <message>
        <source>Open change log</source>
        <translation>Open change log</translation>
    </message>
    <message>
        <source>Open link</source>
        <translation>Open link</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>built on </source>
        <translation>built on </translation>
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
        <translation>R-IR alternating</translation>
    </message>
</context>
<context>
    <name>ColorThemeEnum</name>
    <message>
        <source>Dark</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Light</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Developer</name>
    <message>
        <source>Acquisition</source>
        <translation>Acquisition</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>Interface</translation>
    </message>
    <message>
        <source>Record review</source>
        <translation>Record review</translation>
    </message>
</context>
<context>
    <name>EDFReader</name>
    <message>
        <source>Hz</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ColorTheme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GraphicSpacing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LockCommonVerticalScale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Montage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MontageDescription</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RIRsmoothing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RememberLastDevice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SendOnEndRecord</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SendOnStartRecord</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>StartMaximized</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UseMontage</source>
        <translation>Use montage</translation>
    </message>
    <message>
        <source>UseVirtualDevice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ViewSeconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VirtualDeviceChannels</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Open records folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отображение в виде графика</source>
        <translation>Display as graphics</translation>
    </message>
    <message>
        <source>Отображение в виде таблицы</source>
        <translation>Display as table</translation>
    </message>
</context>
<context>
    <name>NewVersionChecker</name>
    <message>
        <source>Click to download new version</source>
        <translation>Click to download new version</translation>
    </message>
</context>
<context>
    <name>Portal</name>
    <message>
        <source>Hz</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SpecialPropertyView</name>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ViewMode</name>
    <message>
        <source>View_Graphics</source>
        <translation>Graphics</translation>
    </message>
    <message>
        <source>View_Table</source>
        <translation>Table</translation>
    </message>
</context>
</TS>
