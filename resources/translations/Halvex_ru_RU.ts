<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
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
        <source>%1 (marks: %2)</source>
        <translation>%1 (отметок: %2)</translation>
    </message>
    <message>
        <source>%1 damaged lines skipped</source>
        <translation>Пропущено повреждённых строк: %1</translation>
    </message>
    <message>
        <source>%1 left out</source>
        <translation>не вошло: %1</translation>
    </message>
    <message>
        <source>%1 open records will be exported.</source>
        <translation>Будет экспортировано открытых записей: %1.</translation>
    </message>
    <message>
        <source>%1 on %2: connected</source>
        <translation>%1 на %2: подключён</translation>
    </message>
    <message>
        <source>%1 on %2: lost, waited for</source>
        <translation>%1 на %2: потерян, ожидается</translation>
    </message>
    <message>
        <source>%1 records</source>
        <translation>записей: %1</translation>
    </message>
    <message>
        <source>%1: n = %2</source>
        <translation>%1: n = %2</translation>
    </message>
    <message>
        <source>%1: no mark of this condition</source>
        <translation>%1: нет ни одной отметки этого условия</translation>
    </message>
    <message>
        <source>%1 of %2 bad</source>
        <translation>%1 из %2 плохие</translation>
    </message>
    <message>
        <source>%1 of %2 not known</source>
        <translation>%1 из %2 неизвестны</translation>
    </message>
    <message>
        <source>A band-pass from %1 to %2 Hz with %3 and %4 Hz transition bands needs a sampling rate of at least %5 samples/s; the data have %6.</source>
        <translation>Полосовому фильтру от %1 до %2 Гц с переходными полосами %3 и %4 Гц нужна частота дискретизации не ниже %5 отсчётов/с; у данных — %6.</translation>
    </message>
    <message>
        <source>%1 marks outside the samples left out</source>
        <translation>Отметки вне записанных отсчётов не вошли в файл: %1</translation>
    </message>
    <message>
        <source>A record is running</source>
        <translation>Идёт запись</translation>
    </message>
    <message>
        <source>Acquisition</source>
        <translation>Вариант получения данных</translation>
    </message>
    <message>
        <source>AcquisitionDescription</source>
        <translation>Как значения прибора образуют канал: V, R и IR; R и IR; или R и IR в чередующихся строках</translation>
    </message>
    <message>
        <source>Activation map: mean ΔHbO of %1 from %2 to %3 s</source>
        <translation>Карта активации: среднее ΔHbO для %1 с %2 по %3 с</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Среднее</translation>
    </message>
    <message>
        <source>Average of channel %1 around the marks: HbO solid, HbR dashed, one colour per condition; the band shows ± the standard error. The line marks time 0, the shaded span the baseline.</source>
        <translation>Среднее канала %1 вокруг отметок: HbO сплошной линией, HbR пунктиром, у каждого условия свой цвет; полоса показывает ± стандартную ошибку. Вертикальная линия — момент 0, затенённый участок — базовая линия.</translation>
    </message>
    <message>
        <source>AverageBand</source>
        <translation>Полосовой фильтр</translation>
    </message>
    <message>
        <source>AverageBandDescription</source>
        <translation>Перед усреднением фильтровать HbO и HbR полосовым фильтром Баттерворта (3-го порядка) с нулевой фазой, чтобы убрать медленный дрейф и пульс</translation>
    </message>
    <message>
        <source>AverageBandHigh</source>
        <translation>Полоса до</translation>
    </message>
    <message>
        <source>AverageBandHighDescription</source>
        <translation>Верхняя граница полосового фильтра перед усреднением, Гц; она должна быть ниже половины частоты отсчётов</translation>
    </message>
    <message>
        <source>AverageBandLow</source>
        <translation>Полоса от</translation>
    </message>
    <message>
        <source>AverageBandLowDescription</source>
        <translation>Нижняя граница полосового фильтра перед усреднением, Гц</translation>
    </message>
    <message>
        <source>AverageFrom</source>
        <translation>Эпоха от</translation>
    </message>
    <message>
        <source>AverageFromDescription</source>
        <translation>Начало каждой эпохи в секундах относительно её метки (отрицательное — до метки)</translation>
    </message>
    <message>
        <source>AverageTo</source>
        <translation>Эпоха до</translation>
    </message>
    <message>
        <source>AverageToDescription</source>
        <translation>Конец каждой эпохи в секундах относительно её метки</translation>
    </message>
    <message>
        <source>Averages around the marks</source>
        <translation>Средние вокруг отметок</translation>
    </message>
    <message>
        <source>Averaging the records (%1)…</source>
        <translation>Усреднение записей (%1)…</translation>
    </message>
    <message>
        <source>BIDS validator: %1 errors, %2 warnings</source>
        <translation>Валидатор BIDS: ошибок %1, предупреждений %2</translation>
    </message>
    <message>
        <source>Baseline: %1 s left</source>
        <translation>Базовая линия: осталось %1 с</translation>
    </message>
    <message>
        <source>BaselineFrom</source>
        <translation>Базовая линия от</translation>
    </message>
    <message>
        <source>BaselineFromDescription</source>
        <translation>Начало базовой линии в секундах относительно метки: среднее отсюда до конца базовой линии вычитается из каждой эпохи; она должна лежать внутри эпохи</translation>
    </message>
    <message>
        <source>BaselineSeconds</source>
        <translation>Базовая линия</translation>
    </message>
    <message>
        <source>BaselineSecondsDescription</source>
        <translation>Живой гемоглобин — изменение относительно среднего света за столько секунд после запуска прибора или после «Сбросить базовую линию»</translation>
    </message>
    <message>
        <source>BaselineTo</source>
        <translation>Базовая линия до</translation>
    </message>
    <message>
        <source>BaselineToDescription</source>
        <translation>Конец базовой линии в секундах относительно метки</translation>
    </message>
    <message>
        <source>CV %1 %</source>
        <translation>CV %1 %</translation>
    </message>
    <message>
        <source>CV, the coefficient of variation: how much the raw light varies, in % of its mean. A large value means movement or a loose optode.</source>
        <translation>CV, коэффициент вариации: насколько меняется необработанный свет, в % от его среднего. Большое значение означает движение или плохо прилегающий оптод.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Cannot write the record file %1: %2</source>
        <translation>Не удаётся записать файл записи %1: %2</translation>
    </message>
    <message>
        <source>Channel %1 (%2): mean ΔHbO %3 µM, ΔHbR %4 µM from %5 to %6 s after the marks of %7 (n = %8).</source>
        <translation>Канал %1 (%2): среднее ΔHbO %3 мкМ, ΔHbR %4 мкМ с %5 по %6 с после отметок %7 (n = %8).</translation>
    </message>
    <message>
        <source>Channel %1 (%2): no average of %3 in the response window.</source>
        <translation>Канал %1 (%2): нет среднего для %3 в окне ответа.</translation>
    </message>
    <message>
        <source>Channel %1 of the instrument (R%1 and IR%1 in the record).</source>
        <translation>Канал %1 прибора (R%1 и IR%1 в записи).</translation>
    </message>
    <message>
        <source>Channel1</source>
        <translation>Канал 1</translation>
    </message>
    <message>
        <source>Channel1Description</source>
        <translation>Первый сравниваемый канал: красная кривая Left</translation>
    </message>
    <message>
        <source>Channel2</source>
        <translation>Канал 2</translation>
    </message>
    <message>
        <source>Channel2Description</source>
        <translation>Второй сравниваемый канал: синяя кривая Right; зелёная Diff — это Left − Right</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Каналы</translation>
    </message>
    <message>
        <source>Choose one or more channels to see their averages.</source>
        <translation>Выберите один или несколько каналов, чтобы увидеть их средние.</translation>
    </message>
    <message>
        <source>Choose one or more conditions to see their averages.</source>
        <translation>Выберите одно или несколько условий, чтобы увидеть их средние.</translation>
    </message>
    <message>
        <source>Channels in the record</source>
        <translation>Каналы в записи</translation>
    </message>
    <message>
        <source>Choose the dataset folder.</source>
        <translation>Выберите папку набора данных.</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Выбрать…</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Close every open record</source>
        <translation>Закрыть все открытые записи</translation>
    </message>
    <message>
        <source>ColorTheme</source>
        <translation>Тема</translation>
    </message>
    <message>
        <source>ColorThemeDescription</source>
        <translation>Светлая, тёмная или как в системе</translation>
    </message>
    <message>
        <source>Conditions</source>
        <translation>Условия</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключить</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Не удалось записать %1: %2</translation>
    </message>
    <message>
        <source>Dark: hardly any light reaches the detector. Check the cable and the optode&apos;s contact.</source>
        <translation>Темно: до детектора почти не доходит свет. Проверьте кабель и прилегание оптода.</translation>
    </message>
    <message>
        <source>DarkLevel</source>
        <translation>Уровень темноты</translation>
    </message>
    <message>
        <source>DarkLevelDescription</source>
        <translation>Канал, чей средний свет ниже этого уровня, тёмный: детектор не видит света своего источника</translation>
    </message>
    <message>
        <source>Dataset folder</source>
        <translation>Папка набора данных</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключить</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Экспортировать</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>Экспорт CSV…</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Длительность</translation>
    </message>
    <message>
        <source>Export SNIRF</source>
        <translation>Экспорт SNIRF</translation>
    </message>
    <message>
        <source>Export picture…</source>
        <translation>Экспорт изображения…</translation>
    </message>
    <message>
        <source>Export to BIDS</source>
        <translation>Экспорт в BIDS</translation>
    </message>
    <message>
        <source>Export to BIDS…</source>
        <translation>Экспорт в BIDS…</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Экспортировано в %1</translation>
    </message>
    <message>
        <source>Exporting…</source>
        <translation>Экспорт…</translation>
    </message>
    <message>
        <source>Give up</source>
        <translation>Не ждать</translation>
    </message>
    <message>
        <source>GoodCoupling</source>
        <translation>Хороший контакт</translation>
    </message>
    <message>
        <source>GoodCouplingDescription</source>
        <translation>Канал, чей индекс контакта с кожей (SCI, 0–1) не ниже этого значения, хорошо видит кожу головы; каналы ниже названы плохими</translation>
    </message>
    <message>
        <source>GraphicSpacing</source>
        <translation>Расстояние между графиками</translation>
    </message>
    <message>
        <source>GraphicSpacingDescription</source>
        <translation>Расстояние между соседними графиками, в пикселях</translation>
    </message>
    <message>
        <source>HPF</source>
        <translation>ФВЧ</translation>
    </message>
    <message>
        <source>HPFDescription</source>
        <translation>Частота среза фильтра верхних частот, в Гц; ниже 0,005 Гц кривые не фильтруются</translation>
    </message>
    <message>
        <source>Haemoglobin: HbO and HbR of every channel</source>
        <translation>Гемоглобин: HbO и HbR каждого канала</translation>
    </message>
    <message>
        <source>HbO/HbR</source>
        <translation>HbO/HbR</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Гц</translation>
    </message>
    <message>
        <source>InfraredWavelength</source>
        <translation>Длина волны IR</translation>
    </message>
    <message>
        <source>InfraredWavelengthDescription</source>
        <translation>Длина волны инфракрасного света (IR) в нм для гемоглобина и экспорта SNIRF; должна совпадать с прибором</translation>
    </message>
    <message>
        <source>Instrument lost — waiting for it to return (%1)</source>
        <translation>Прибор потерян — ожидание его возвращения (%1)</translation>
    </message>
    <message>
        <source>It has %1 channels, the records before it %2.</source>
        <translation>В ней %1 каналов, а в записях перед ней — %2.</translation>
    </message>
    <message>
        <source>Its grid has %1 samples/s, the records before it %2: give them one rate.</source>
        <translation>Её сетка — %1 отсчётов/с, а у записей перед ней — %2: задайте им одну частоту.</translation>
    </message>
    <message>
        <source>Lab Streaming Layer: no stream published</source>
        <translation>Lab Streaming Layer: потоки не передаются</translation>
    </message>
    <message>
        <source>Lab Streaming Layer: not built into this program</source>
        <translation>Lab Streaming Layer: не встроен в эту программу</translation>
    </message>
    <message>
        <source>Lab Streaming Layer: publishes %1</source>
        <translation>Lab Streaming Layer: передаются %1</translation>
    </message>
    <message>
        <source>LSL marker streams received:</source>
        <translation>Принимаемые потоки меток LSL:</translation>
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
        <source>LanguageDescription</source>
        <translation>Язык интерфейса; смена вступает в силу после перезапуска</translation>
    </message>
    <message>
        <source>Letters and digits only</source>
        <translation>Только латинские буквы и цифры</translation>
    </message>
    <message>
        <source>Lines of %1 values are dropped: the chosen acquisition variant takes %2 values per channel. Is it the right one for this instrument?</source>
        <translation>Строки из %1 значений отбрасываются: выбранный вариант получения данных берёт по %2 значения на канал. Подходит ли он для этого прибора?</translation>
    </message>
    <message>
        <source>LockCommonVerticalScale</source>
        <translation>Общий верт. масштаб</translation>
    </message>
    <message>
        <source>LockCommonVerticalScaleDescription</source>
        <translation>Все графики используют наибольший вертикальный размах из всех графиков</translation>
    </message>
    <message>
        <source>LslMarkerStreams</source>
        <translation>Потоки меток LSL для записи</translation>
    </message>
    <message>
        <source>LslMarkerStreamsDescription</source>
        <translation>Потоки меток других программ (например, программы стимуляции), метки которых попадают в идущую запись: по одному имени потока или запросу LSL, например type=&apos;Markers&apos;, в строке. Пусто — ни одного</translation>
    </message>
    <message>
        <source>LslOutlet</source>
        <translation>Передавать в Lab Streaming Layer</translation>
    </message>
    <message>
        <source>LslOutletDescription</source>
        <translation>Пока прибор подключён, его отсчёты передаются потоком LSL (тип NIRS), а метки — потоком меток, чтобы LabRecorder и другие программы в сети лаборатории записывали их на общих часах</translation>
    </message>
    <message>
        <source>LslStreamName</source>
        <translation>Имя потока LSL</translation>
    </message>
    <message>
        <source>LslStreamNameDescription</source>
        <translation>Имя потока отсчётов; поток меток называется так же с окончанием «-markers»</translation>
    </message>
    <message>
        <source>Manufacturer</source>
        <translation>Производитель прибора</translation>
    </message>
    <message>
        <source>ManufacturerDescription</source>
        <translation>Производитель прибора, как его указывает набор данных BIDS; пусто, если неизвестен</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Карта</translation>
    </message>
    <message>
        <source>Marks</source>
        <translation>Метки</translation>
    </message>
    <message>
        <source>Marks of the stimulus program&apos;s .log file and of the record&apos;s own events</source>
        <translation>Метки из файла .log программы стимуляции и собственные события записи</translation>
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
        <source>No condition chosen.</source>
        <translation>Не выбрано ни одно условие.</translation>
    </message>
    <message>
        <source>No data from %1 for %2 s: is the instrument switched on and at 115200 baud?</source>
        <translation>Нет данных от %1 уже %2 с: прибор включён и работает на 115200 бод?</translation>
    </message>
    <message>
        <source>No instrument connected</source>
        <translation>Прибор не подключён</translation>
    </message>
    <message>
        <source>No record could be averaged.</source>
        <translation>Ни одну запись не удалось усреднить.</translation>
    </message>
    <message>
        <source>No record is open. Open one or more records to average the haemoglobin around their marks.</source>
        <translation>Нет открытых записей. Откройте одну или несколько записей, чтобы усреднить гемоглобин вокруг их отметок.</translation>
    </message>
    <message>
        <source>No record is open. Double-click one in the list above, or select several and press Enter; Open shows records from elsewhere (.csv files).</source>
        <translation>Ни одна запись не открыта. Дважды щёлкните запись в списке выше или выделите несколько и нажмите Enter; «Открыть» показывает записи из других мест (файлы .csv).</translation>
    </message>
    <message>
        <source>No record is open. Press Open and choose one or more records (.csv files) in the data folder.</source>
        <translation>Нет открытых записей. Нажмите «Открыть» и выберите одну или несколько записей (файлы .csv) в папке данных.</translation>
    </message>
    <message>
        <source>No record matches &quot;%1&quot;.</source>
        <translation>Нет записей, подходящих под «%1».</translation>
    </message>
    <message>
        <source>No records are open.</source>
        <translation>Нет открытых записей.</translation>
    </message>
    <message>
        <source>No records in %1 yet. A record appears here once it is made; Open shows records from elsewhere.</source>
        <translation>В %1 пока нет записей. Запись появится здесь, как только будет сделана; «Открыть» показывает записи из других мест.</translation>
    </message>
    <message>
        <source>No samples yet: connect an instrument.</source>
        <translation>Отсчётов пока нет: подключите прибор.</translation>
    </message>
    <message>
        <source>Not averaged (%1):</source>
        <translation>Не усреднено (%1):</translation>
    </message>
    <message>
        <source>Not exported: %1</source>
        <translation>Не экспортировано: %1</translation>
    </message>
    <message>
        <source>Not known yet: the signal check is still gathering samples (the window&apos;s length, and 11 s more for its band-pass).</source>
        <translation>Пока неизвестно: проверка сигнала ещё собирает отсчёты (длина окна и ещё 11 с для полосового фильтра).</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Не сейчас</translation>
    </message>
    <message>
        <source>Not validated: %1</source>
        <translation>Не проверено: %1</translation>
    </message>
    <message>
        <source>Nothing to average: no condition chosen has a mark inside the records.</source>
        <translation>Нечего усреднять: ни у одного выбранного условия нет отметок внутри записей.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Offset</source>
        <translation>Сдвиг</translation>
    </message>
    <message>
        <source>OffsetDescription</source>
        <translation>Сдвиг кривых относительно меток, в секундах</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Открыть папку</translation>
    </message>
    <message>
        <source>Open one or more records (.csv files) from any folder to compare their channels</source>
        <translation>Открыть одну или несколько записей (файлы .csv) из любой папки, чтобы сравнить их каналы</translation>
    </message>
    <message>
        <source>Open one or more records (.csv files) to compare their channels</source>
        <translation>Открыть одну или несколько записей (файлы .csv), чтобы сравнить их каналы</translation>
    </message>
    <message>
        <source>Optics</source>
        <translation>Оптика</translation>
    </message>
    <message>
        <source>PartialPathlengthFactor</source>
        <translation>Фактор пути</translation>
    </message>
    <message>
        <source>PartialPathlengthFactorDescription</source>
        <translation>Фактор дифференциального пути (PPF) модифицированного закона Бера — Ламберта: во сколько раз путь света в ткани длиннее расстояния источник — детектор; для гемоглобина</translation>
    </message>
    <message>
        <source>Plug in the instrument (USB or Bluetooth serial adapter), switch it on, choose its port in the device list above and press Connect (Ctrl+K).</source>
        <translation>Подключите прибор (через USB или Bluetooth-адаптер последовательного порта), включите его, выберите его порт в списке устройств выше и нажмите «Подключить» (Ctrl+K).</translation>
    </message>
    <message>
        <source>PowerLineFrequency</source>
        <translation>Частота электросети</translation>
    </message>
    <message>
        <source>PowerLineFrequencyDescription</source>
        <translation>Частота электросети там, где сделаны записи (50 или 60 Гц), как её указывает набор данных BIDS</translation>
    </message>
    <message>
        <source>QualityWindowSeconds</source>
        <translation>Окно проверки сигнала</translation>
    </message>
    <message>
        <source>QualityWindowSecondsDescription</source>
        <translation>Проверка сигнала оценивает каждый канал по стольким последним секундам, раз в секунду</translation>
    </message>
    <message>
        <source>REC</source>
        <translation>ЗАПИСЬ</translation>
    </message>
    <message>
        <source>RIRsmoothing</source>
        <translation>Сглаживание R-IR</translation>
    </message>
    <message>
        <source>RIRsmoothingDescription</source>
        <translation>Число отсчётов, по которым усредняются производные значения</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Диапазон</translation>
    </message>
    <message>
        <source>RangeDescription</source>
        <translation>Половина вертикального диапазона: графики показывают от −Range до +Range, в единицах записи</translation>
    </message>
    <message>
        <source>Raw</source>
        <translation>Исходные</translation>
    </message>
    <message>
        <source>ReconnectSeconds</source>
        <translation>Ожидание потерянного прибора</translation>
    </message>
    <message>
        <source>ReconnectSecondsDescription</source>
        <translation>Сколько ждать возвращения потерянного прибора, прежде чем остановить запись, в секундах (0 — не ждать)</translation>
    </message>
    <message>
        <source>Records</source>
        <translation>Записи</translation>
    </message>
    <message>
        <source>Records averaged: %1</source>
        <translation>Усреднено записей: %1</translation>
    </message>
    <message>
        <source>Records with %1 series at %2 samples/s and %3 series at %4 samples/s cannot be averaged together: bring them to one rate and one set of channels first.</source>
        <translation>Записи с %1 рядами при %2 отсчётах/с и %3 рядами при %4 отсчётах/с нельзя усреднить вместе: сначала приведите их к одной частоте и одному набору каналов.</translation>
    </message>
    <message>
        <source>RedWavelength</source>
        <translation>Длина волны R</translation>
    </message>
    <message>
        <source>RedWavelengthDescription</source>
        <translation>Длина волны красного света (R) в нм для гемоглобина и экспорта SNIRF; должна совпадать с прибором</translation>
    </message>
    <message>
        <source>Refresh device list</source>
        <translation>Обновить список устройств</translation>
    </message>
    <message>
        <source>RememberLastDevice</source>
        <translation>Запоминать устройство</translation>
    </message>
    <message>
        <source>RememberLastDeviceDescription</source>
        <translation>При следующем запуске снова подключать последнее устройство</translation>
    </message>
    <message>
        <source>Reset baseline</source>
        <translation>Сбросить базовую линию</translation>
    </message>
    <message>
        <source>ResponseFrom</source>
        <translation>Отклик от</translation>
    </message>
    <message>
        <source>ResponseFromDescription</source>
        <translation>Начало окна отклика в секундах после метки: карта активации показывает среднее ΔHbO отсюда до конца окна</translation>
    </message>
    <message>
        <source>ResponseTo</source>
        <translation>Отклик до</translation>
    </message>
    <message>
        <source>ResponseToDescription</source>
        <translation>Конец окна отклика в секундах после метки</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Прогон</translation>
    </message>
    <message>
        <source>SCI %1</source>
        <translation>SCI %1</translation>
    </message>
    <message>
        <source>SCI, the scalp coupling index: how alike the heartbeat is in the light of the two wavelengths, from −1 to 1. From %1 the optodes see the scalp.</source>
        <translation>SCI, индекс контакта со скальпом: насколько похож пульс в свете двух длин волн, от −1 до 1. Начиная с %1 оптоды видят скальп.</translation>
    </message>
    <message>
        <source>Saturated: the light reaches the top of the instrument&apos;s range. Lower the gain or the source&apos;s power.</source>
        <translation>Насыщение: свет достигает верхней границы диапазона прибора. Уменьшите усиление или мощность источника.</translation>
    </message>
    <message>
        <source>SaturationLevel</source>
        <translation>Уровень насыщения</translation>
    </message>
    <message>
        <source>SaturationLevelDescription</source>
        <translation>Сырые значения от этого уровня и выше считаются насыщенными; 0 — на 2 % ниже наибольшего значения, присланного прибором</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Save the graphs and the map as a picture: SVG (lines stay sharp at any size) or PNG</source>
        <translation>Сохранить графики и карту как изображение: SVG (линии остаются чёткими при любом размере) или PNG</translation>
    </message>
    <message>
        <source>Saved %1 (%2 samples)</source>
        <translation>Сохранено: %1 (отсчётов: %2)</translation>
    </message>
    <message>
        <source>Search records</source>
        <translation>Поиск записей</translation>
    </message>
    <message>
        <source>SendOnEndRecord</source>
        <translation>HTTP-команда по окончанию записи</translation>
    </message>
    <message>
        <source>SendOnEndRecordDescription</source>
        <translation>HTTP-адрес, запрашиваемый при остановке записи (ожидание не более 3 с); пусто — ничего не отправляется</translation>
    </message>
    <message>
        <source>SendOnStartRecord</source>
        <translation>HTTP-команда по началу записи</translation>
    </message>
    <message>
        <source>SendOnStartRecordDescription</source>
        <translation>HTTP-адрес, запрашиваемый при начале записи (ожидание не более 3 с); пусто — ничего не отправляется</translation>
    </message>
    <message>
        <source>Session</source>
        <translation>Сессия</translation>
    </message>
    <message>
        <source>Set default to</source>
        <translation>Значение по умолчанию:</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Shows the records whose title, file name, start date or mark texts hold every word typed here</source>
        <translation>Показывает записи, в названии, имени файла, дате начала или текстах меток которых есть каждое введённое здесь слово</translation>
    </message>
    <message>
        <source>Signal check</source>
        <translation>Проверка сигнала</translation>
    </message>
    <message>
        <source>Signal check: how well each channel sees the scalp</source>
        <translation>Проверка сигнала: насколько хорошо каждый канал видит скальп</translation>
    </message>
    <message>
        <source>SourceDetectorDistance</source>
        <translation>Расстояние источник — детектор</translation>
    </message>
    <message>
        <source>SourceDetectorDistanceDescription</source>
        <translation>Расстояние между источником и детектором каждого канала в мм; для гемоглобина и геометрии в SNIRF</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Начало</translation>
    </message>
    <message>
        <source>Start a new baseline: the next seconds of light become the zero of HbO and HbR. The record does not change.</source>
        <translation>Начать новую базовую линию: свет следующих секунд станет нулём HbO и HbR. Запись не меняется.</translation>
    </message>
    <message>
        <source>Start or stop recording</source>
        <translation>Начать или остановить запись</translation>
    </message>
    <message>
        <source>StartMaximized</source>
        <translation>Запускать на полный экран</translation>
    </message>
    <message>
        <source>StartMaximizedDescription</source>
        <translation>Открывать главное окно развёрнутым на весь экран</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Stop computing the averages</source>
        <translation>Прекратить вычисление средних</translation>
    </message>
    <message>
        <source>Stopped: the averages are not computed.</source>
        <translation>Остановлено: средние не вычислены.</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Испытуемый</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Задание</translation>
    </message>
    <message>
        <source>The LSL marker stream %1 is left out: %2.</source>
        <translation>Поток меток LSL %1 не используется: %2.</translation>
    </message>
    <message>
        <source>The activation map: each channel where the montage places it, coloured by the mean change of its HbO in the response window after the marks of the condition chosen for the map (red a rise, blue a fall).</source>
        <translation>Карта активации: каждый канал на своём месте в монтаже, окрашенный по среднему изменению его HbO в окне ответа после отметок условия, выбранного для карты (красный — рост, синий — спад).</translation>
    </message>
    <message>
        <source>The average haemoglobin response around the marks of the open records, per condition and channel, and where on the head it was largest</source>
        <translation>Средний отклик гемоглобина вокруг меток открытых записей по условиям и каналам, и где на голове он был наибольшим</translation>
    </message>
    <message>
        <source>The average was cancelled.</source>
        <translation>Усреднение отменено.</translation>
    </message>
    <message>
        <source>The band-pass from %1 to %2 Hz cannot be made at %3 samples/s: its edges must lie above 0 Hz and below %4 Hz (half the sampling rate), the low edge below the high one.</source>
        <translation>Полосовой фильтр от %1 до %2 Гц нельзя построить при %3 отсчётах/с: его границы должны лежать выше 0 Гц и ниже %4 Гц (половины частоты отсчётов), нижняя граница — ниже верхней.</translation>
    </message>
    <message>
        <source>The baseline from %1 to %2 s holds no sample at %3 samples/s.</source>
        <translation>В базовый интервал от %1 до %2 с не попадает ни один отсчёт при %3 отсчётах/с.</translation>
    </message>
    <message>
        <source>The baseline from %1 to %2 s must lie inside the window from %3 to %4 s, its start not after its end.</source>
        <translation>Базовый интервал от %1 до %2 с должен лежать внутри окна от %3 до %4 с, его начало — не позже конца.</translation>
    </message>
    <message>
        <source>The condition whose mean HbO change in the response window colours the map</source>
        <translation>Условие, по среднему изменению HbO которого в окне ответа окрашивается карта</translation>
    </message>
    <message>
        <source>The connection to %1 was lost or could not be opened.</source>
        <translation>Связь с %1 потеряна, или порт не удалось открыть.</translation>
    </message>
    <message>
        <source>A record is running: changes of the acquisition variant, RIRsmoothing and the montage take effect when it ends.</source>
        <translation>Идёт запись: изменения варианта получения данных, RIRsmoothing и монтажа вступят в силу после её окончания.</translation>
    </message>
    <message>
        <source>The dataset is as it was.</source>
        <translation>Набор данных не изменён.</translation>
    </message>
    <message>
        <source>The first record&apos;s run number, the others follow; none for a single record of the task</source>
        <translation>Номер прогона первой записи, у остальных следующие; «нет» для единственной записи задания</translation>
    </message>
    <message>
        <source>The mark texts of the open records with the number of their marks. Tick the conditions whose averages the graphs overlay.</source>
        <translation>Тексты отметок в открытых записях и число отметок каждого. Отметьте условия, средние которых графики накладывают друг на друга.</translation>
    </message>
    <message>
        <source>The marks “%1” were left out in every record (%2 in all): their windows run past the start or end of the data or into gaps.</source>
        <translation>Метки «%1» исключены во всех записях (всего %2): их окна выходят за начало или конец данных или попадают в разрывы.</translation>
    </message>
    <message>
        <source>The marks “%2” were all left out (%1): the window from %3 to %4 s runs past the start or end of the data or into a gap.</source>
        <translation>Все метки «%2» исключены (%1): окно от %3 до %4 с выходит за начало или конец данных или попадает в разрыв.</translation>
    </message>
    <message>
        <source>The open records&apos; graphs, one per record</source>
        <translation>Графики открытых записей, по одному на запись</translation>
    </message>
    <message>
        <source>The records of the data folder, newest first. Double-click one, or select several and press Enter, to show them</source>
        <translation>Записи папки данных, новые сверху. Дважды щёлкните запись или выделите несколько и нажмите Enter, чтобы показать их</translation>
    </message>
    <message>
        <source>The sampling rate must be above 0 samples/s, not %1.</source>
        <translation>Частота отсчётов должна быть больше 0 отсчётов/с, а не %1.</translation>
    </message>
    <message>
        <source>The settings cannot be saved (%1). Changes apply until Halvex closes.</source>
        <translation>Не удаётся сохранить настройки (%1). Изменения действуют до закрытия Halvex.</translation>
    </message>
    <message>
        <source>The settings give no average.</source>
        <translation>С этими настройками среднее не получить.</translation>
    </message>
    <message>
        <source>The signal check at the record&apos;s start: channels whose scalp coupling was below the records setting, saturated or dark</source>
        <translation>Проверка сигнала в начале записи: каналы, у которых контакт с кожей был ниже порога настроек записей, с насыщением или без света</translation>
    </message>
    <message>
        <source>The time of the record&apos;s last sample (minutes:seconds)</source>
        <translation>Время последнего отсчёта записи (минуты:секунды)</translation>
    </message>
    <message>
        <source>The title typed before the record started</source>
        <translation>Название, введённое перед началом записи</translation>
    </message>
    <message>
        <source>The window from %1 to %2 s is empty: its start must come first.</source>
        <translation>Окно от %1 до %2 с пусто: его начало должно быть раньше конца.</translation>
    </message>
    <message>
        <source>The window from %1 to %2 s is longer than the data (%3 s): the marks “%5” were all left out (%4).</source>
        <translation>Окно от %1 до %2 с длиннее данных (%3 с): все метки «%5» исключены (%4).</translation>
    </message>
    <message>
        <source>The window from %1 to %2 s is longer than the record (%3 s).</source>
        <translation>Окно от %1 до %2 с длиннее записи (%3 с).</translation>
    </message>
    <message>
        <source>There is no mark “%1”.</source>
        <translation>Меток «%1» нет.</translation>
    </message>
    <message>
        <source>The wavelengths, the partial pathlength factor and the source–detector distance the concentrations are computed with; the records windows use the same.</source>
        <translation>Длины волн, фактор длины оптического пути и расстояние источник–детектор, по которым вычисляются концентрации; окна записей используют те же.</translation>
    </message>
    <message>
        <source>The last %1 s, once a second. Green: SCI from %2; yellow: from %3; red: below; grey: not known yet. Point at a cell for what to do.</source>
        <translation>Последние %1 с, раз в секунду. Зелёный: SCI от %2; жёлтый: от %3; красный: ниже; серый: пока неизвестно. Наведите указатель на ячейку, чтобы узнать, что делать.</translation>
    </message>
    <message>
        <source>There is no record to average.</source>
        <translation>Нет записей для усреднения.</translation>
    </message>
    <message>
        <source>Tick the channels to show as graphs; the map always shows every channel.</source>
        <translation>Отметьте каналы, которые показать графиками; карта всегда показывает все каналы.</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Too low: re-seat the optode and move the hair aside from under it.</source>
        <translation>Слишком низкий: переустановите оптод и отведите волосы из-под него.</translation>
    </message>
    <message>
        <source>VirtualBadChannelEvery</source>
        <translation>Плохие вирт. каналы</translation>
    </message>
    <message>
        <source>VirtualBadChannelEveryDescription</source>
        <translation>Каждый n-й канал модели головы плохо прилегает (без пульса, больше шума); 0 — все прилегают хорошо</translation>
    </message>
    <message>
        <source>VirtualRate</source>
        <translation>Частота вирт. прибора</translation>
    </message>
    <message>
        <source>VirtualRateDescription</source>
        <translation>Отсчётов в секунду у модели головы виртуального прибора</translation>
    </message>
    <message>
        <source>VirtualSignal</source>
        <translation>Виртуальный сигнал</translation>
    </message>
    <message>
        <source>VirtualSignalDescription</source>
        <translation>Что посылает виртуальный прибор: случайное блуждание или модель головы с пульсом, дыханием и ответом на каждую метку события</translation>
    </message>
    <message>
        <source>Weak scalp coupling at the start of the record (SCI below %1): %2. Re-seat these optodes; the signal check shows every channel.</source>
        <translation>Слабый контакт со скальпом в начале записи (SCI ниже %1): %2. Переустановите эти оптоды; проверка сигнала показывает каждый канал.</translation>
    </message>
    <message>
        <source>Write the curves of the chosen conditions as halvex-analyze --average prints them: condition;time_s;n;HbO1;HbO1_se;HbR1;HbR1_se;… in µM</source>
        <translation>Записать кривые выбранных условий так, как их выводит halvex-analyze --average: condition;time_s;n;HbO1;HbO1_se;HbR1;HbR1_se;… в мкМ</translation>
    </message>
    <message>
        <source>When the record started</source>
        <translation>Когда началась запись</translation>
    </message>
    <message>
        <source>Write the open records into a BIDS dataset for publication, checked by the BIDS validator when it is installed</source>
        <translation>Записать открытые записи в набор данных BIDS для публикации с проверкой валидатором BIDS, если он установлен</translation>
    </message>
    <message>
        <source>a parenthesis closes that was not opened</source>
        <translation>закрывается скобка, которая не была открыта</translation>
    </message>
    <message>
        <source>a parenthesis is not closed</source>
        <translation>скобка не закрыта</translation>
    </message>
    <message>
        <source>a quote is not closed</source>
        <translation>кавычка не закрыта</translation>
    </message>
    <message>
        <source>a stream name cannot hold both &apos; and &quot;</source>
        <translation>имя потока не может содержать одновременно &apos; и &quot;</translation>
    </message>
    <message>
        <source>all good</source>
        <translation>все хорошие</translation>
    </message>
    <message>
        <source>channel %1</source>
        <translation>канал %1</translation>
    </message>
    <message>
        <source>dark</source>
        <translation>темно</translation>
    </message>
    <message>
        <source>measuring…</source>
        <translation>измерение…</translation>
    </message>
    <message>
        <source>What the graphs show of the two channels: their values as recorded, or their oxy- and deoxy-haemoglobin (HbO red, HbR blue; the first channel solid, the second dotted and dashed) in µM, computed as halvex-analyze does with the wavelengths, distance and pathlength factor of the records settings</source>
        <translation>Что графики показывают для двух каналов: значения в том виде, в каком они записаны, или окси- и дезоксигемоглобин (HbO красным, HbR синим; первый канал сплошными линиями, второй пунктиром и штрихами) в мкМ, рассчитанные так же, как в halvex-analyze, с длинами волн, расстоянием и коэффициентом длины пути из настроек записей</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>мм</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>not a valid LSL predicate</source>
        <translation>недопустимый предикат LSL</translation>
    </message>
    <message>
        <source>not known</source>
        <translation>неизвестно</translation>
    </message>
    <message>
        <source>samples/s</source>
        <translation>отсч./с</translation>
    </message>
    <message>
        <source>saturated</source>
        <translation>насыщение</translation>
    </message>
    <message>
        <source>the instrument now sends %1 values per sample instead of %2; start a new record for the new layout</source>
        <translation>прибор теперь передаёт %1 значений на отсчёт вместо %2; для новой раскладки начните новую запись</translation>
    </message>
    <message>
        <source>The partial pathlength factor must be above 0, not %1.</source>
        <translation>Фактор парциальной длины пути должен быть больше 0, а не %1.</translation>
    </message>
    <message>
        <source>The record did not start: no instrument is connected.</source>
        <translation>Запись не начата: прибор не подключён.</translation>
    </message>
    <message>
        <source>The record stopped at %1: %2 samples are saved in %3. Cause: %4</source>
        <translation>Запись остановлена на %1: отсчётов сохранено в %3: %2. Причина: %4</translation>
    </message>
    <message>
        <source>The source–detector distance must be above 0 mm, not %1.</source>
        <translation>Расстояние между источником и детектором должно быть больше 0 мм, а не %1.</translation>
    </message>
    <message>
        <source>The stimulus program at %1 answered with HTTP status %2</source>
        <translation>Программа стимуляции по адресу %1 ответила HTTP-статусом %2</translation>
    </message>
    <message>
        <source>The stimulus program at %1 could not be reached: %2</source>
        <translation>Программа стимуляции по адресу %1 недоступна: %2</translation>
    </message>
    <message>
        <source>The stimulus program at %1 did not answer in %2 s</source>
        <translation>Программа стимуляции по адресу %1 не ответила за %2 с</translation>
    </message>
    <message>
        <source>This address is not used: only %1 addresses are requested</source>
        <translation>Этот адрес не используется: запрашиваются только адреса %1</translation>
    </message>
    <message>
        <source>To translate the app to the other language a restart is required. 
Restart now?</source>
        <translation>Чтобы перевести программу на другой язык, нужен перезапуск. 
Перезапустить сейчас?</translation>
    </message>
    <message>
        <source>The wavelength %1 nm lies outside the table of haemoglobin extinction coefficients (%2 to %3 nm).</source>
        <translation>Длина волны %1 нм лежит вне таблицы коэффициентов экстинкции гемоглобина (от %2 до %3 нм).</translation>
    </message>
    <message>
        <source>The wavelengths %1 and %2 nm cannot tell oxy- from deoxy-haemoglobin: choose two different ones.</source>
        <translation>По длинам волн %1 и %2 нм нельзя различить окси- и дезоксигемоглобин: выберите две разные длины волны.</translation>
    </message>
    <message>
        <source>Use the virtual instrument</source>
        <translation>Использовать виртуальное устройство</translation>
    </message>
    <message>
        <source>UseMontage</source>
        <translation>Использовать монтаж</translation>
    </message>
    <message>
        <source>UseMontageDescription</source>
        <translation>Располагать графики по строкам текста монтажа</translation>
    </message>
    <message>
        <source>UseVirtualDevice</source>
        <translation>Вирт. устройство</translation>
    </message>
    <message>
        <source>UseVirtualDeviceDescription</source>
        <translation>Предлагать в списке устройств «Virtual FNIR» — имитацию прибора со случайными данными</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вид</translation>
    </message>
    <message>
        <source>ViewDescription</source>
        <translation>Графики всех каналов или таблица последних значений</translation>
    </message>
    <message>
        <source>ViewSeconds</source>
        <translation>Гор. масштаб</translation>
    </message>
    <message>
        <source>ViewSecondsDescription</source>
        <translation>Ширина видимого окна времени, в секундах</translation>
    </message>
    <message>
        <source>VirtualDeviceChannels</source>
        <translation>Вирт. каналов</translation>
    </message>
    <message>
        <source>VirtualDeviceChannelsDescription</source>
        <translation>Число каналов виртуального устройства (от 1 до 100)</translation>
    </message>
    <message>
        <source>Write every open record as a SNIRF file beside it (.snirf)</source>
        <translation>Записать каждую открытую запись файлом SNIRF рядом с ней (.snirf)</translation>
    </message>
    <message>
        <source>nm</source>
        <translation>нм</translation>
    </message>
    <message>
        <source>px</source>
        <translation>пикс.</translation>
    </message>
    <message>
        <source>s</source>
        <translation>с</translation>
    </message>
    <message>
        <source>samples</source>
        <translation>отсч.</translation>
    </message>
    <message>
        <source>the connection to %1 was lost</source>
        <translation>связь с %1 потеряна</translation>
    </message>
    <message>
        <source>the connection to %1 was lost: %2</source>
        <translation>связь с %1 потеряна: %2</translation>
    </message>
    <message>
        <source>the picture could not be encoded</source>
        <translation>не удалось закодировать изображение</translation>
    </message>
    <message>
        <source>µM</source>
        <translation>мкМ</translation>
    </message>
    <message>
        <source>ΔHbO 0 µM</source>
        <translation>ΔHbO 0 мкМ</translation>
    </message>
    <message>
        <source>Название</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Mark</source>
        <translation>Метка</translation>
    </message>
    <message>
        <source>Text of the mark (may stay empty):</source>
        <translation>Текст метки (можно оставить пустым):</translation>
    </message>
    <message>
        <source>Put a mark into the record, with an optional text; F1 to F9 put the marks F1 to F9</source>
        <translation>Поставить метку в запись, с необязательным текстом; клавиши F1–F9 ставят метки F1–F9</translation>
    </message>
    <message>
        <source>Marks from other programs are off: port %1 cannot be opened (%2). Close the program that uses it or choose another MarkPort in the settings.</source>
        <translation>Метки от других программ отключены: порт %1 не открывается (%2). Закройте программу, которая его занимает, или выберите другой порт меток в настройках.</translation>
    </message>
    <message>
        <source>MarkPort</source>
        <translation>Порт меток</translation>
    </message>
    <message>
        <source>MarkPortDescription</source>
        <translation>Порт на 127.0.0.1 и ::1, через который другие программы ставят метки в идущую запись (GET /mark?text=…); 0 выключает</translation>
    </message>
    <message>
        <source>MarkAllowedOrigins</source>
        <translation>Веб-страницы, которым разрешены метки</translation>
    </message>
    <message>
        <source>MarkAllowedOriginsDescription</source>
        <translation>Веб-страницы (источники так, как их называет браузер, например http://localhost:8000; по одной в строке), которые могут ставить метки в запись и читать ответы. Остальным страницам отказано; скриптам и программам, которые не являются браузерами, запись не нужна</translation>
    </message>
    <message>
        <source>MarkRequireToken</source>
        <translation>Метки только с ключом</translation>
    </message>
    <message>
        <source>MarkRequireTokenDescription</source>
        <translation>Другие программы должны передавать этот ключ (заголовок X-Halvex-Token или параметр token=) в каждом запросе /mark и /status. Включите, если этим компьютером пользуются другие люди</translation>
    </message>
    <message>
        <source>The mark token could not be kept in %1 (%2): it changes at the next start.</source>
        <translation>Ключ меток не удалось сохранить в %1 (%2): при следующем запуске он будет другим.</translation>
    </message>
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
    <message>
        <source>only http and https addresses are requested</source>
        <translation>запрашиваются только адреса http и https</translation>
    </message>
    <message>
        <source>the answer is longer than %1 KiB</source>
        <translation>ответ длиннее %1 КиБ</translation>
    </message>
    <message>
        <source>… and %1 more</source>
        <translation>… и ещё %1</translation>
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
        <source>Отображение в виде графика</source>
        <translation>Отображение в виде графика</translation>
    </message>
    <message>
        <source>Отображение в виде таблицы</source>
        <translation>Отображение в виде таблицы</translation>
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
    <name>ViewMode</name>
    <message>
        <source>View_Graphics</source>
        <translation>Графики</translation>
    </message>
    <message>
        <source>View_Haemoglobin</source>
        <translation>Гемоглобин</translation>
    </message>
    <message>
        <source>View_Table</source>
        <translation>Таблица</translation>
    </message>
</context>
<context>
    <name>VirtualSignalModel</name>
    <message>
        <source>Head</source>
        <translation>Модель головы</translation>
    </message>
    <message>
        <source>RandomWalk</source>
        <translation>Случайное блуждание</translation>
    </message>
</context>
</TS>
