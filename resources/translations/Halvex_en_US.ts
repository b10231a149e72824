<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
        <translation>Dark</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
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
        <source>%1 (marks: %2)</source>
        <translation>%1 (marks: %2)</translation>
    </message>
    <message>
        <source>%1 damaged lines skipped</source>
        <translation>%1 damaged lines skipped</translation>
    </message>
    <message>
        <source>%1 left out</source>
        <translation>%1 left out</translation>
    </message>
    <message>
        <source>%1 open records will be exported.</source>
        <translation>%1 open records will be exported.</translation>
    </message>
    <message>
        <source>%1 on %2: connected</source>
        <translation>%1 on %2: connected</translation>
    </message>
    <message>
        <source>%1 on %2: lost, waited for</source>
        <translation>%1 on %2: lost, waited for</translation>
    </message>
    <message>
        <source>%1 records</source>
        <translation>%1 records</translation>
    </message>
    <message>
        <source>%1: n = %2</source>
        <translation>%1: n = %2</translation>
    </message>
    <message>
        <source>%1: no mark of this condition</source>
        <translation>%1: no mark of this condition</translation>
    </message>
    <message>
        <source>%1 of %2 bad</source>
        <translation>%1 of %2 bad</translation>
    </message>
    <message>
        <source>%1 of %2 not known</source>
        <translation>%1 of %2 not known</translation>
    </message>
    <message>
        <source>A band-pass from %1 to %2 Hz with %3 and %4 Hz transition bands needs a sampling rate of at least %5 samples/s; the data have %6.</source>
        <translation>A band-pass from %1 to %2 Hz with %3 and %4 Hz transition bands needs a sampling rate of at least %5 samples/s; the data have %6.</translation>
    </message>
    <message>
        <source>%1 marks outside the samples left out</source>
        <translation>%1 marks outside the samples left out</translation>
    </message>
    <message>
        <source>A record is running</source>
        <translation>A record is running</translation>
    </message>
    <message>
        <source>Acquisition</source>
        <translation>Acquisition variant</translation>
    </message>
    <message>
        <source>AcquisitionDescription</source>
        <translation>How the instrument&apos;s values make up a channel: V, R and IR; R and IR; or R and IR in alternate lines</translation>
    </message>
    <message>
        <source>Activation map: mean ΔHbO of %1 from %2 to %3 s</source>
        <translation>Activation map: mean ΔHbO of %1 from %2 to %3 s</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Average</translation>
    </message>
    <message>
        <source>Average of channel %1 around the marks: HbO solid, HbR dashed, one colour per condition; the band shows ± the standard error. The line marks time 0, the shaded span the baseline.</source>
        <translation>Average of channel %1 around the marks: HbO solid, HbR dashed, one colour per condition; the band shows ± the standard error. The line marks time 0, the shaded span the baseline.</translation>
    </message>
    <message>
        <source>AverageBand</source>
        <translation>Band-pass</translation>
    </message>
    <message>
        <source>AverageBandDescription</source>
        <translation>Filter HbO and HbR with a zero-phase Butterworth band-pass (order 3) before averaging, to remove slow drift and the heartbeat</translation>
    </message>
    <message>
        <source>AverageBandHigh</source>
        <translation>Band to</translation>
    </message>
    <message>
        <source>AverageBandHighDescription</source>
        <translation>Upper edge of the band-pass before averaging, in Hz; it must stay below half the sampling rate</translation>
    </message>
    <message>
        <source>AverageBandLow</source>
        <translation>Band from</translation>
    </message>
    <message>
        <source>AverageBandLowDescription</source>
        <translation>Lower edge of the band-pass before averaging, in Hz</translation>
    </message>
    <message>
        <source>AverageFrom</source>
        <translation>Epoch from</translation>
    </message>
    <message>
        <source>AverageFromDescription</source>
        <translation>Where each epoch starts, in seconds relative to its mark (negative: before the mark)</translation>
    </message>
    <message>
        <source>AverageTo</source>
        <translation>Epoch to</translation>
    </message>
    <message>
        <source>AverageToDescription</source>
        <translation>Where each epoch ends, in seconds relative to its mark</translation>
    </message>
    <message>
        <source>Averages around the marks</source>
        <translation>Averages around the marks</translation>
    </message>
    <message>
        <source>Averaging the records (%1)…</source>
        <translation>Averaging the records (%1)…</translation>
    </message>
    <message>
        <source>BIDS validator: %1 errors, %2 warnings</source>
        <translation>BIDS validator: %1 errors, %2 warnings</translation>
    </message>
    <message>
        <source>Baseline: %1 s left</source>
        <translation>Baseline: %1 s left</translation>
    </message>
    <message>
        <source>BaselineFrom</source>
        <translation>Baseline from</translation>
    </message>
    <message>
        <source>BaselineFromDescription</source>
        <translation>Start of the baseline, in seconds relative to the mark: the mean from here to the baseline&apos;s end is taken away from each epoch; it must lie inside the epoch</translation>
    </message>
    <message>
        <source>BaselineSeconds</source>
        <translation>Baseline</translation>
    </message>
    <message>
        <source>BaselineSecondsDescription</source>
        <translation>The live haemoglobin is the change from the mean light of this many seconds after the instrument starts or after &quot;Reset baseline&quot;</translation>
    </message>
    <message>
        <source>BaselineTo</source>
        <translation>Baseline to</translation>
    </message>
    <message>
        <source>BaselineToDescription</source>
        <translation>End of the baseline, in seconds relative to the mark</translation>
    </message>
    <message>
        <source>CV %1 %</source>
        <translation>CV %1 %</translation>
    </message>
    <message>
        <source>CV, the coefficient of variation: how much the raw light varies, in % of its mean. A large value means movement or a loose optode.</source>
        <translation>CV, the coefficient of variation: how much the raw light varies, in % of its mean. A large value means movement or a loose optode.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Cannot write the record file %1: %2</source>
        <translation>Cannot write the record file %1: %2</translation>
    </message>
    <message>
        <source>Channel %1 (%2): mean ΔHbO %3 µM, ΔHbR %4 µM from %5 to %6 s after the marks of %7 (n = %8).</source>
        <translation>Channel %1 (%2): mean ΔHbO %3 µM, ΔHbR %4 µM from %5 to %6 s after the marks of %7 (n = %8).</translation>
    </message>
    <message>
        <source>Channel %1 (%2): no average of %3 in the response window.</source>
        <translation>Channel %1 (%2): no average of %3 in the response window.</translation>
    </message>
    <message>
        <source>Channel %1 of the instrument (R%1 and IR%1 in the record).</source>
        <translation>Channel %1 of the instrument (R%1 and IR%1 in the record).</translation>
    </message>
    <message>
        <source>Channel1</source>
        <translation>Channel 1</translation>
    </message>
    <message>
        <source>Channel1Description</source>
        <translation>First compared channel: the red Left curve</translation>
    </message>
    <message>
        <source>Channel2</source>
        <translation>Channel 2</translation>
    </message>
    <message>
        <source>Channel2Description</source>
        <translation>Second compared channel: the blue Right curve; the green Diff is Left − Right</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>Choose one or more channels to see their averages.</source>
        <translation>Choose one or more channels to see their averages.</translation>
    </message>
    <message>
        <source>Choose one or more conditions to see their averages.</source>
        <translation>Choose one or more conditions to see their averages.</translation>
    </message>
    <message>
        <source>Channels in the record</source>
        <translation>Channels in the record</translation>
    </message>
    <message>
        <source>Choose the dataset folder.</source>
        <translation>Choose the dataset folder.</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Choose…</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Close every open record</source>
        <translation>Close every open record</translation>
    </message>
    <message>
        <source>ColorTheme</source>
        <translation>Theme</translation>
    </message>
    <message>
        <source>ColorThemeDescription</source>
        <translation>Light, dark, or following the system&apos;s colour scheme</translation>
    </message>
    <message>
        <source>Conditions</source>
        <translation>Conditions</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Could not write %1: %2</translation>
    </message>
    <message>
        <source>Dark: hardly any light reaches the detector. Check the cable and the optode&apos;s contact.</source>
        <translation>Dark: hardly any light reaches the detector. Check the cable and the optode&apos;s contact.</translation>
    </message>
    <message>
        <source>DarkLevel</source>
        <translation>Dark level</translation>
    </message>
    <message>
        <source>DarkLevelDescription</source>
        <translation>A channel whose mean light stays below this is dark: the detector sees no light from its source</translation>
    </message>
    <message>
        <source>Dataset folder</source>
        <translation>Dataset folder</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Export SNIRF</source>
        <translation>Export SNIRF</translation>
    </message>
    <message>
        <source>Export picture…</source>
        <translation>Export picture…</translation>
    </message>
    <message>
        <source>Export to BIDS</source>
        <translation>Export to BIDS</translation>
    </message>
    <message>
        <source>Export to BIDS…</source>
        <translation>Export to BIDS…</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exported to %1</translation>
    </message>
    <message>
        <source>Exporting…</source>
        <translation>Exporting…</translation>
    </message>
    <message>
        <source>Give up</source>
        <translation>Give up</translation>
    </message>
    <message>
        <source>GoodCoupling</source>
        <translation>Good coupling</translation>
    </message>
    <message>
        <source>GoodCouplingDescription</source>
        <translation>A channel whose scalp coupling index (SCI, 0–1) reaches this sees the scalp well; below it the channel is named as bad</translation>
    </message>
    <message>
        <source>GraphicSpacing</source>
        <translation>Graph spacing</translation>
    </message>
    <message>
        <source>GraphicSpacingDescription</source>
        <translation>Space between neighbouring graphs, in pixels</translation>
    </message>
    <message>
        <source>HPF</source>
        <translation>High-pass</translation>
    </message>
    <message>
        <source>HPFDescription</source>
        <translation>High-pass cut-off of the curves, in Hz; below 0.005 Hz the curves are not filtered</translation>
    </message>
    <message>
        <source>Haemoglobin: HbO and HbR of every channel</source>
        <translation>Haemoglobin: HbO and HbR of every channel</translation>
    </message>
    <message>
        <source>HbO/HbR</source>
        <translation>HbO/HbR</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>InfraredWavelength</source>
        <translation>Infrared wavelength</translation>
    </message>
    <message>
        <source>InfraredWavelengthDescription</source>
        <translation>Wavelength of the infrared light (IR) in nm, for haemoglobin and the SNIRF export; must match the instrument</translation>
    </message>
    <message>
        <source>Instrument lost — waiting for it to return (%1)</source>
        <translation>Instrument lost — waiting for it to return (%1)</translation>
    </message>
    <message>
        <source>It has %1 channels, the records before it %2.</source>
        <translation>It has %1 channels, the records before it %2.</translation>
    </message>
    <message>
        <source>Its grid has %1 samples/s, the records before it %2: give them one rate.</source>
        <translation>Its grid has %1 samples/s, the records before it %2: give them one rate.</translation>
    </message>
    <message>
        <source>Lab Streaming Layer: no stream published</source>
        <translation>Lab Streaming Layer: no stream published</translation>
    </message>
    <message>
        <source>Lab Streaming Layer: not built into this program</source>
        <translation>Lab Streaming Layer: not built into this program</translation>
    </message>
    <message>
        <source>Lab Streaming Layer: publishes %1</source>
        <translation>Lab Streaming Layer: publishes %1</translation>
    </message>
    <message>
        <source>LSL marker streams received:</source>
        <translation>LSL marker streams received:</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Language change</source>
        <translation>Language change</translation>
    </message>
    <message>
        <source>LanguageDescription</source>
        <translation>Language of the interface; a change takes effect after a restart</translation>
    </message>
    <message>
        <source>Letters and digits only</source>
        <translation>Letters and digits only</translation>
    </message>
    <message>
        <source>Lines of %1 values are dropped: the chosen acquisition variant takes %2 values per channel. Is it the right one for this instrument?</source>
        <translation>Lines of %1 values are dropped: the chosen acquisition variant takes %2 values per channel. Is it the right one for this instrument?</translation>
    </message>
    <message>
        <source>LockCommonVerticalScale</source>
        <translation>Common vertical scale</translation>
    </message>
    <message>
        <source>LockCommonVerticalScaleDescription</source>
        <translation>Every graph uses the largest vertical span of all graphs</translation>
    </message>
    <message>
        <source>LslMarkerStreams</source>
        <translation>LSL marker streams to record</translation>
    </message>
    <message>
        <source>LslMarkerStreamsDescription</source>
        <translation>Marker streams of other programs (a stimulus program, for example) whose markers go into the running record: one stream name, or an LSL query such as type=&apos;Markers&apos;, per line. Empty: none</translation>
    </message>
    <message>
        <source>LslOutlet</source>
        <translation>Publish on the Lab Streaming Layer</translation>
    </message>
    <message>
        <source>LslOutletDescription</source>
        <translation>While an instrument is connected, its samples go out as an LSL stream (type NIRS) and the marks as a marker stream, so that LabRecorder and other programs on the lab&apos;s network record them on one clock</translation>
    </message>
    <message>
        <source>LslStreamName</source>
        <translation>LSL stream name</translation>
    </message>
    <message>
        <source>LslStreamNameDescription</source>
        <translation>The name of the samples&apos; stream; the marks&apos; stream is named after it with &quot;-markers&quot;</translation>
    </message>
    <message>
        <source>Manufacturer</source>
        <translation>Instrument maker</translation>
    </message>
    <message>
        <source>ManufacturerDescription</source>
        <translation>The maker of the instrument, as a BIDS dataset states it; empty when not known</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Map</translation>
    </message>
    <message>
        <source>Marks</source>
        <translation>Marks</translation>
    </message>
    <message>
        <source>Marks of the stimulus program&apos;s .log file and of the record&apos;s own events</source>
        <translation>Marks of the stimulus program&apos;s .log file and of the record&apos;s own events</translation>
    </message>
    <message>
        <source>Montage</source>
        <translation>Montage</translation>
    </message>
    <message>
        <source>MontageDescription</source>
        <translation>Every text line becomes its own row of graphs.&lt;br&gt;
The first channel is written as &quot;1&quot;.&lt;br&gt;
For example,
&lt;div style=&quot;font-family: &apos;Courier New&apos;, monospace&quot;&gt;2&lt;br&gt;1;4&lt;/div&gt;
shows 2 rows of graphs,&lt;br&gt;the upper row with channel 2,&lt;br&gt;the lower row with channels 1 and 4.&lt;br&gt;&lt;br&gt;
Channels can be named as &quot;N=Name;M=Name&quot;, for example &quot;15=FpZ-AF7;14=FpZ-AF8&quot;</translation>
    </message>
    <message>
        <source>New version</source>
        <translation>New version</translation>
    </message>
    <message>
        <source>No condition chosen.</source>
        <translation>No condition chosen.</translation>
    </message>
    <message>
        <source>No data from %1 for %2 s: is the instrument switched on and at 115200 baud?</source>
        <translation>No data from %1 for %2 s: is the instrument switched on and at 115200 baud?</translation>
    </message>
    <message>
        <source>No instrument connected</source>
        <translation>No instrument connected</translation>
    </message>
    <message>
        <source>No record could be averaged.</source>
        <translation>No record could be averaged.</translation>
    </message>
    <message>
        <source>No record is open. Open one or more records to average the haemoglobin around their marks.</source>
        <translation>No record is open. Open one or more records to average the haemoglobin around their marks.</translation>
    </message>
    <message>
        <source>No record is open. Double-click one in the list above, or select several and press Enter; Open shows records from elsewhere (.csv files).</source>
        <translation>No record is open. Double-click one in the list above, or select several and press Enter; Open shows records from elsewhere (.csv files).</translation>
    </message>
    <message>
        <source>No record is open. Press Open and choose one or more records (.csv files) in the data folder.</source>
        <translation>No record is open. Press Open and choose one or more records (.csv files) in the data folder.</translation>
    </message>
    <message>
        <source>No record matches &quot;%1&quot;.</source>
        <translation>No record matches &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>No records are open.</source>
        <translation>No records are open.</translation>
    </message>
    <message>
        <source>No records in %1 yet. A record appears here once it is made; Open shows records from elsewhere.</source>
        <translation>No records in %1 yet. A record appears here once it is made; Open shows records from elsewhere.</translation>
    </message>
    <message>
        <source>No samples yet: connect an instrument.</source>
        <translation>No samples yet: connect an instrument.</translation>
    </message>
    <message>
        <source>Not averaged (%1):</source>
        <translation>Not averaged (%1):</translation>
    </message>
    <message>
        <source>Not exported: %1</source>
        <translation>Not exported: %1</translation>
    </message>
    <message>
        <source>Not known yet: the signal check is still gathering samples (the window&apos;s length, and 11 s more for its band-pass).</source>
        <translation>Not known yet: the signal check is still gathering samples (the window&apos;s length, and 11 s more for its band-pass).</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Not now</translation>
    </message>
    <message>
        <source>Not validated: %1</source>
        <translation>Not validated: %1</translation>
    </message>
    <message>
        <source>Nothing to average: no condition chosen has a mark inside the records.</source>
        <translation>Nothing to average: no condition chosen has a mark inside the records.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Offset</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>OffsetDescription</source>
        <translation>Shift of the curves against the marks, in seconds</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>Open one or more records (.csv files) from any folder to compare their channels</source>
        <translation>Open one or more records (.csv files) from any folder to compare their channels</translation>
    </message>
    <message>
        <source>Open one or more records (.csv files) to compare their channels</source>
        <translation>Open one or more records (.csv files) to compare their channels</translation>
    </message>
    <message>
        <source>Optics</source>
        <translation>Optics</translation>
    </message>
    <message>
        <source>PartialPathlengthFactor</source>
        <translation>Pathlength factor</translation>
    </message>
    <message>
        <source>PartialPathlengthFactorDescription</source>
        <translation>Partial pathlength factor (PPF) of the modified Beer–Lambert law: how much longer than the source–detector distance the light&apos;s path through the tissue is, for haemoglobin</translation>
    </message>
    <message>
        <source>Plug in the instrument (USB or Bluetooth serial adapter), switch it on, choose its port in the device list above and press Connect (Ctrl+K).</source>
        <translation>Plug in the instrument (USB or Bluetooth serial adapter), switch it on, choose its port in the device list above and press Connect (Ctrl+K).</translation>
    </message>
    <message>
        <source>PowerLineFrequency</source>
        <translation>Power line frequency</translation>
    </message>
    <message>
        <source>PowerLineFrequencyDescription</source>
        <translation>The mains frequency where the records are made (50 or 60 Hz), as a BIDS dataset states it</translation>
    </message>
    <message>
        <source>QualityWindowSeconds</source>
        <translation>Signal check window</translation>
    </message>
    <message>
        <source>QualityWindowSecondsDescription</source>
        <translation>The signal check judges each channel on this many last seconds, once a second</translation>
    </message>
    <message>
        <source>REC</source>
        <translation>REC</translation>
    </message>
    <message>
        <source>RIRsmoothing</source>
        <translation>R-IR smoothing</translation>
    </message>
    <message>
        <source>RIRsmoothingDescription</source>
        <translation>Number of samples averaged for the derived values</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>RangeDescription</source>
        <translation>Half height of the vertical range: the graphs show −Range to +Range, in the record&apos;s units</translation>
    </message>
    <message>
        <source>Raw</source>
        <translation>Raw</translation>
    </message>
    <message>
        <source>ReconnectSeconds</source>
        <translation>Wait for a lost instrument</translation>
    </message>
    <message>
        <source>ReconnectSecondsDescription</source>
        <translation>How long to wait for a lost serial instrument to return before the record stops, in seconds (0: not at all)</translation>
    </message>
    <message>
        <source>Records</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>Records averaged: %1</source>
        <translation>Records averaged: %1</translation>
    </message>
    <message>
        <source>Records with %1 series at %2 samples/s and %3 series at %4 samples/s cannot be averaged together: bring them to one rate and one set of channels first.</source>
        <translation>Records with %1 series at %2 samples/s and %3 series at %4 samples/s cannot be averaged together: bring them to one rate and one set of channels first.</translation>
    </message>
    <message>
        <source>RedWavelength</source>
        <translation>Red wavelength</translation>
    </message>
    <message>
        <source>RedWavelengthDescription</source>
        <translation>Wavelength of the red light (R) in nm, for haemoglobin and the SNIRF export; must match the instrument</translation>
    </message>
    <message>
        <source>Refresh device list</source>
        <translation>Refresh device list</translation>
    </message>
    <message>
        <source>RememberLastDevice</source>
        <translation>Remember the instrument</translation>
    </message>
    <message>
        <source>RememberLastDeviceDescription</source>
        <translation>Connect the last instrument again at the next start</translation>
    </message>
    <message>
        <source>Reset baseline</source>
        <translation>Reset baseline</translation>
    </message>
    <message>
        <source>ResponseFrom</source>
        <translation>Response from</translation>
    </message>
    <message>
        <source>ResponseFromDescription</source>
        <translation>Start of the response window, in seconds after the mark: the activation map shows the mean ΔHbO from here to the window&apos;s end</translation>
    </message>
    <message>
        <source>ResponseTo</source>
        <translation>Response to</translation>
    </message>
    <message>
        <source>ResponseToDescription</source>
        <translation>End of the response window, in seconds after the mark</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>SCI %1</source>
        <translation>SCI %1</translation>
    </message>
    <message>
        <source>SCI, the scalp coupling index: how alike the heartbeat is in the light of the two wavelengths, from −1 to 1. From %1 the optodes see the scalp.</source>
        <translation>SCI, the scalp coupling index: how alike the heartbeat is in the light of the two wavelengths, from −1 to 1. From %1 the optodes see the scalp.</translation>
    </message>
    <message>
        <source>Saturated: the light reaches the top of the instrument&apos;s range. Lower the gain or the source&apos;s power.</source>
        <translation>Saturated: the light reaches the top of the instrument&apos;s range. Lower the gain or the source&apos;s power.</translation>
    </message>
    <message>
        <source>SaturationLevel</source>
        <translation>Saturation level</translation>
    </message>
    <message>
        <source>SaturationLevelDescription</source>
        <translation>Raw values from this level up count as saturated; 0 takes 2 % below the largest value the instrument has sent</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Save the graphs and the map as a picture: SVG (lines stay sharp at any size) or PNG</source>
        <translation>Save the graphs and the map as a picture: SVG (lines stay sharp at any size) or PNG</translation>
    </message>
    <message>
        <source>Saved %1 (%2 samples)</source>
        <translation>Saved %1 (%2 samples)</translation>
    </message>
    <message>
        <source>Search records</source>
        <translation>Search records</translation>
    </message>
    <message>
        <source>SendOnEndRecord</source>
        <translation>Address at record end</translation>
    </message>
    <message>
        <source>SendOnEndRecordDescription</source>
        <translation>HTTP address requested when a record stops (waits at most 3 s); empty: nothing is sent</translation>
    </message>
    <message>
        <source>SendOnStartRecord</source>
        <translation>Address at record start</translation>
    </message>
    <message>
        <source>SendOnStartRecordDescription</source>
        <translation>HTTP address requested when a record starts (waits at most 3 s); empty: nothing is sent</translation>
    </message>
    <message>
        <source>Session</source>
        <translation>Session</translation>
    </message>
    <message>
        <source>Set default to</source>
        <translation>Set default to</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Shows the records whose title, file name, start date or mark texts hold every word typed here</source>
        <translation>Shows the records whose title, file name, start date or mark texts hold every word typed here</translation>
    </message>
    <message>
        <source>Signal check</source>
        <translation>Signal check</translation>
    </message>
    <message>
        <source>Signal check: how well each channel sees the scalp</source>
        <translation>Signal check: how well each channel sees the scalp</translation>
    </message>
    <message>
        <source>SourceDetectorDistance</source>
        <translation>Source–detector distance</translation>
    </message>
    <message>
        <source>SourceDetectorDistanceDescription</source>
        <translation>Distance between each channel&apos;s source and detector in mm, for haemoglobin and the SNIRF probe</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Start a new baseline: the next seconds of light become the zero of HbO and HbR. The record does not change.</source>
        <translation>Start a new baseline: the next seconds of light become the zero of HbO and HbR. The record does not change.</translation>
    </message>
    <message>
        <source>Start or stop recording</source>
        <translation>Start or stop recording</translation>
    </message>
    <message>
        <source>StartMaximized</source>
        <translation>Start maximised</translation>
    </message>
    <message>
        <source>StartMaximizedDescription</source>
        <translation>Open the main window maximised</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Stop computing the averages</source>
        <translation>Stop computing the averages</translation>
    </message>
    <message>
        <source>Stopped: the averages are not computed.</source>
        <translation>Stopped: the averages are not computed.</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Subject</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Task</translation>
    </message>
    <message>
        <source>The LSL marker stream %1 is left out: %2.</source>
        <translation>The LSL marker stream %1 is left out: %2.</translation>
    </message>
    <message>
        <source>The activation map: each channel where the montage places it, coloured by the mean change of its HbO in the response window after the marks of the condition chosen for the map (red a rise, blue a fall).</source>
        <translation>The activation map: each channel where the montage places it, coloured by the mean change of its HbO in the response window after the marks of the condition chosen for the map (red a rise, blue a fall).</translation>
    </message>
    <message>
        <source>The average haemoglobin response around the marks of the open records, per condition and channel, and where on the head it was largest</source>
        <translation>The average haemoglobin response around the marks of the open records, per condition and channel, and where on the head it was largest</translation>
    </message>
    <message>
        <source>The average was cancelled.</source>
        <translation>The average was cancelled.</translation>
    </message>
    <message>
        <source>The band-pass from %1 to %2 Hz cannot be made at %3 samples/s: its edges must lie above 0 Hz and below %4 Hz (half the sampling rate), the low edge below the high one.</source>
        <translation>The band-pass from %1 to %2 Hz cannot be made at %3 samples/s: its edges must lie above 0 Hz and below %4 Hz (half the sampling rate), the low edge below the high one.</translation>
    </message>
    <message>
        <source>The baseline from %1 to %2 s holds no sample at %3 samples/s.</source>
        <translation>The baseline from %1 to %2 s holds no sample at %3 samples/s.</translation>
    </message>
    <message>
        <source>The baseline from %1 to %2 s must lie inside the window from %3 to %4 s, its start not after its end.</source>
        <translation>The baseline from %1 to %2 s must lie inside the window from %3 to %4 s, its start not after its end.</translation>
    </message>
    <message>
        <source>The condition whose mean HbO change in the response window colours the map</source>
        <translation>The condition whose mean HbO change in the response window colours the map</translation>
    </message>
    <message>
        <source>The connection to %1 was lost or could not be opened.</source>
        <translation>The connection to %1 was lost or could not be opened.</translation>
    </message>
    <message>
        <source>A record is running: changes of the acquisition variant, RIRsmoothing and the montage take effect when it ends.</source>
        <translation>A record is running: changes of the acquisition variant, RIRsmoothing and the montage take effect when it ends.</translation>
    </message>
    <message>
        <source>The dataset is as it was.</source>
        <translation>The dataset is as it was.</translation>
    </message>
    <message>
        <source>The first record&apos;s run number, the others follow; none for a single record of the task</source>
        <translation>The first record&apos;s run number, the others follow; none for a single record of the task</translation>
    </message>
    <message>
        <source>The mark texts of the open records with the number of their marks. Tick the conditions whose averages the graphs overlay.</source>
        <translation>The mark texts of the open records with the number of their marks. Tick the conditions whose averages the graphs overlay.</translation>
    </message>
    <message>
        <source>The marks “%1” were left out in every record (%2 in all): their windows run past the start or end of the data or into gaps.</source>
        <translation>The marks “%1” were left out in every record (%2 in all): their windows run past the start or end of the data or into gaps.</translation>
    </message>
    <message>
        <source>The marks “%2” were all left out (%1): the window from %3 to %4 s runs past the start or end of the data or into a gap.</source>
        <translation>The marks “%2” were all left out (%1): the window from %3 to %4 s runs past the start or end of the data or into a gap.</translation>
    </message>
    <message>
        <source>The open records&apos; graphs, one per record</source>
        <translation>The open records&apos; graphs, one per record</translation>
    </message>
    <message>
        <source>The records of the data folder, newest first. Double-click one, or select several and press Enter, to show them</source>
        <translation>The records of the data folder, newest first. Double-click one, or select several and press Enter, to show them</translation>
    </message>
    <message>
        <source>The sampling rate must be above 0 samples/s, not %1.</source>
        <translation>The sampling rate must be above 0 samples/s, not %1.</translation>
    </message>
    <message>
        <source>The settings cannot be saved (%1). Changes apply until Halvex closes.</source>
        <translation>The settings cannot be saved (%1). Changes apply until Halvex closes.</translation>
    </message>
    <message>
        <source>The settings give no average.</source>
        <translation>The settings give no average.</translation>
    </message>
    <message>
        <source>The signal check at the record&apos;s start: channels whose scalp coupling was below the records setting, saturated or dark</source>
        <translation>The signal check at the record&apos;s start: channels whose scalp coupling was below the records setting, saturated or dark</translation>
    </message>
    <message>
        <source>The time of the record&apos;s last sample (minutes:seconds)</source>
        <translation>The time of the record&apos;s last sample (minutes:seconds)</translation>
    </message>
    <message>
        <source>The title typed before the record started</source>
        <translation>The title typed before the record started</translation>
    </message>
    <message>
        <source>The window from %1 to %2 s is empty: its start must come first.</source>
        <translation>The window from %1 to %2 s is empty: its start must come first.</translation>
    </message>
    <message>
        <source>The window from %1 to %2 s is longer than the data (%3 s): the marks “%5” were all left out (%4).</source>
        <translation>The window from %1 to %2 s is longer than the data (%3 s): the marks “%5” were all left out (%4).</translation>
    </message>
    <message>
        <source>The window from %1 to %2 s is longer than the record (%3 s).</source>
        <translation>The window from %1 to %2 s is longer than the record (%3 s).</translation>
    </message>
    <message>
        <source>There is no mark “%1”.</source>
        <translation>There is no mark “%1”.</translation>
    </message>
    <message>
        <source>The wavelengths, the partial pathlength factor and the source–detector distance the concentrations are computed with; the records windows use the same.</source>
        <translation>The wavelengths, the partial pathlength factor and the source–detector distance the concentrations are computed with; the records windows use the same.</translation>
    </message>
    <message>
        <source>The last %1 s, once a second. Green: SCI from %2; yellow: from %3; red: below; grey: not known yet. Point at a cell for what to do.</source>
        <translation>The last %1 s, once a second. Green: SCI from %2; yellow: from %3; red: below; grey: not known yet. Point at a cell for what to do.</translation>
    </message>
    <message>
        <source>There is no record to average.</source>
        <translation>There is no record to average.</translation>
    </message>
    <message>
        <source>Tick the channels to show as graphs; the map always shows every channel.</source>
        <translation>Tick the channels to show as graphs; the map always shows every channel.</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Too low: re-seat the optode and move the hair aside from under it.</source>
        <translation>Too low: re-seat the optode and move the hair aside from under it.</translation>
    </message>
    <message>
        <source>VirtualBadChannelEvery</source>
        <translation>Bad virtual channels</translation>
    </message>
    <message>
        <source>VirtualBadChannelEveryDescription</source>
        <translation>Every n-th channel of the model head is badly coupled (no pulse, more noise); 0 couples them all</translation>
    </message>
    <message>
        <source>VirtualRate</source>
        <translation>Virtual rate</translation>
    </message>
    <message>
        <source>VirtualRateDescription</source>
        <translation>Samples per second of the virtual instrument&apos;s model head</translation>
    </message>
    <message>
        <source>VirtualSignal</source>
        <translation>Virtual signal</translation>
    </message>
    <message>
        <source>VirtualSignalDescription</source>
        <translation>What the virtual instrument sends: a random walk, or a model head with a pulse, breathing and a response to every event mark</translation>
    </message>
    <message>
        <source>Weak scalp coupling at the start of the record (SCI below %1): %2. Re-seat these optodes; the signal check shows every channel.</source>
        <translation>Weak scalp coupling at the start of the record (SCI below %1): %2. Re-seat these optodes; the signal check shows every channel.</translation>
    </message>
    <message>
        <source>Write the curves of the chosen conditions as halvex-analyze --average prints them: condition;time_s;n;HbO1;HbO1_se;HbR1;HbR1_se;… in µM</source>
        <translation>Write the curves of the chosen conditions as halvex-analyze --average prints them: condition;time_s;n;HbO1;HbO1_se;HbR1;HbR1_se;… in µM</translation>
    </message>
    <message>
        <source>When the record started</source>
        <translation>When the record started</translation>
    </message>
    <message>
        <source>Write the open records into a BIDS dataset for publication, checked by the BIDS validator when it is installed</source>
        <translation>Write the open records into a BIDS dataset for publication, checked by the BIDS validator when it is installed</translation>
    </message>
    <message>
        <source>a parenthesis closes that was not opened</source>
        <translation>a parenthesis closes that was not opened</translation>
    </message>
    <message>
        <source>a parenthesis is not closed</source>
        <translation>a parenthesis is not closed</translation>
    </message>
    <message>
        <source>a quote is not closed</source>
        <translation>a quote is not closed</translation>
    </message>
    <message>
        <source>a stream name cannot hold both &apos; and &quot;</source>
        <translation>a stream name cannot hold both &apos; and &quot;</translation>
    </message>
    <message>
        <source>all good</source>
        <translation>all good</translation>
    </message>
    <message>
        <source>channel %1</source>
        <translation>channel %1</translation>
    </message>
    <message>
        <source>dark</source>
        <translation>dark</translation>
    </message>
    <message>
        <source>measuring…</source>
        <translation>measuring…</translation>
    </message>
    <message>
        <source>What the graphs show of the two channels: their values as recorded, or their oxy- and deoxy-haemoglobin (HbO red, HbR blue; the first channel solid, the second dotted and dashed) in µM, computed as halvex-analyze does with the wavelengths, distance and pathlength factor of the records settings</source>
        <translation>What the graphs show of the two channels: their values as recorded, or their oxy- and deoxy-haemoglobin (HbO red, HbR blue; the first channel solid, the second dotted and dashed) in µM, computed as halvex-analyze does with the wavelengths, distance and pathlength factor of the records settings</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>not a valid LSL predicate</source>
        <translation>not a valid LSL predicate</translation>
    </message>
    <message>
        <source>not known</source>
        <translation>not known</translation>
    </message>
    <message>
        <source>samples/s</source>
        <translation>samples/s</translation>
    </message>
    <message>
        <source>saturated</source>
        <translation>saturated</translation>
    </message>
    <message>
        <source>the instrument now sends %1 values per sample instead of %2; start a new record for the new layout</source>
        <translation>the instrument now sends %1 values per sample instead of %2; start a new record for the new layout</translation>
    </message>
    <message>
        <source>The partial pathlength factor must be above 0, not %1.</source>
        <translation>The partial pathlength factor must be above 0, not %1.</translation>
    </message>
    <message>
        <source>The record did not start: no instrument is connected.</source>
        <translation>The record did not start: no instrument is connected.</translation>
    </message>
    <message>
        <source>The record stopped at %1: %2 samples are saved in %3. Cause: %4</source>
        <translation>The record stopped at %1: %2 samples are saved in %3. Cause: %4</translation>
    </message>
    <message>
        <source>The source–detector distance must be above 0 mm, not %1.</source>
        <translation>The source–detector distance must be above 0 mm, not %1.</translation>
    </message>
    <message>
        <source>The stimulus program at %1 answered with HTTP status %2</source>
        <translation>The stimulus program at %1 answered with HTTP status %2</translation>
    </message>
    <message>
        <source>The stimulus program at %1 could not be reached: %2</source>
        <translation>The stimulus program at %1 could not be reached: %2</translation>
    </message>
    <message>
        <source>The stimulus program at %1 did not answer in %2 s</source>
        <translation>The stimulus program at %1 did not answer in %2 s</translation>
    </message>
    <message>
        <source>This address is not used: only %1 addresses are requested</source>
        <translation>This address is not used: only %1 addresses are requested</translation>
    </message>
    <message>
        <source>To translate the app to the other language a restart is required. 
Restart now?</source>
        <translation>To translate the app to the other language a restart is required. 
Restart now?</translation>
    </message>
    <message>
        <source>The wavelength %1 nm lies outside the table of haemoglobin extinction coefficients (%2 to %3 nm).</source>
        <translation>The wavelength %1 nm lies outside the table of haemoglobin extinction coefficients (%2 to %3 nm).</translation>
    </message>
    <message>
        <source>The wavelengths %1 and %2 nm cannot tell oxy- from deoxy-haemoglobin: choose two different ones.</source>
        <translation>The wavelengths %1 and %2 nm cannot tell oxy- from deoxy-haemoglobin: choose two different ones.</translation>
    </message>
    <message>
        <source>Use the virtual instrument</source>
        <translation>Use the virtual instrument</translation>
    </message>
    <message>
        <source>UseMontage</source>
        <translation>Use montage</translation>
    </message>
    <message>
        <source>UseMontageDescription</source>
        <translation>Arrange the graphs in the rows of the montage text</translation>
    </message>
    <message>
        <source>UseVirtualDevice</source>
        <translation>Virtual instrument</translation>
    </message>
    <message>
        <source>UseVirtualDeviceDescription</source>
        <translation>Offer &quot;Virtual FNIR&quot;, a simulated instrument sending random-walk data, in the device list</translation>
    </message>
    <message>
        <source>View</source>
        <translation>View</translation>
    </message>
    <message>
        <source>ViewDescription</source>
        <translation>Graphs of every channel, or a table of the latest values</translation>
    </message>
    <message>
        <source>ViewSeconds</source>
        <translation>Time window</translation>
    </message>
    <message>
        <source>ViewSecondsDescription</source>
        <translation>Width of the visible time window, in seconds</translation>
    </message>
    <message>
        <source>VirtualDeviceChannels</source>
        <translation>Virtual channels</translation>
    </message>
    <message>
        <source>VirtualDeviceChannelsDescription</source>
        <translation>Number of channels the virtual instrument sends (1 to 100)</translation>
    </message>
    <message>
        <source>Write every open record as a SNIRF file beside it (.snirf)</source>
        <translation>Write every open record as a SNIRF file beside it (.snirf)</translation>
    </message>
    <message>
        <source>nm</source>
        <translation>nm</translation>
    </message>
    <message>
        <source>px</source>
        <translation>px</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>samples</source>
        <translation>samples</translation>
    </message>
    <message>
        <source>the connection to %1 was lost</source>
        <translation>the connection to %1 was lost</translation>
    </message>
    <message>
        <source>the connection to %1 was lost: %2</source>
        <translation>the connection to %1 was lost: %2</translation>
    </message>
    <message>
        <source>the picture could not be encoded</source>
        <translation>the picture could not be encoded</translation>
    </message>
    <message>
        <source>µM</source>
        <translation>µM</translation>
    </message>
    <message>
        <source>ΔHbO 0 µM</source>
        <translation>ΔHbO 0 µM</translation>
    </message>
    <message>
        <source>Название</source>
        <translation>Experiment title</translation>
    </message>
    <message>
        <source>Mark</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>Text of the mark (may stay empty):</source>
        <translation>Text of the mark (may stay empty):</translation>
    </message>
    <message>
        <source>Put a mark into the record, with an optional text; F1 to F9 put the marks F1 to F9</source>
        <translation>Put a mark into the record, with an optional text; F1 to F9 put the marks F1 to F9</translation>
    </message>
    <message>
        <source>Marks from other programs are off: port %1 cannot be opened (%2). Close the program that uses it or choose another MarkPort in the settings.</source>
        <translation>Marks from other programs are off: port %1 cannot be opened (%2). Close the program that uses it or choose another MarkPort in the settings.</translation>
    </message>
    <message>
        <source>MarkPort</source>
        <translation>Mark port</translation>
    </message>
    <message>
        <source>MarkPortDescription</source>
        <translation>Port on 127.0.0.1 and ::1 on which other programs put marks into the running record (GET /mark?text=…); 0 turns it off</translation>
    </message>
    <message>
        <source>MarkAllowedOrigins</source>
        <translation>Web pages allowed to mark</translation>
    </message>
    <message>
        <source>MarkAllowedOriginsDescription</source>
        <translation>Web pages (origins as the browser names them, for example http://localhost:8000; one a line) that may put marks into the record and read the answers. Any other page is refused; scripts and programs that are not browsers need no entry</translation>
    </message>
    <message>
        <source>MarkRequireToken</source>
        <translation>Marks need the token</translation>
    </message>
    <message>
        <source>MarkRequireTokenDescription</source>
        <translation>Other programs must send this token (header X-Halvex-Token or parameter token=) with every /mark and /status request. Turn it on where other people use this computer</translation>
    </message>
    <message>
        <source>The mark token could not be kept in %1 (%2): it changes at the next start.</source>
        <translation>The mark token could not be kept in %1 (%2): it changes at the next start.</translation>
    </message>
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
    <message>
        <source>only http and https addresses are requested</source>
        <translation>only http and https addresses are requested</translation>
    </message>
    <message>
        <source>the answer is longer than %1 KiB</source>
        <translation>the answer is longer than %1 KiB</translation>
    </message>
    <message>
        <source>… and %1 more</source>
        <translation>… and %1 more</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Open records folder</source>
        <translation>Open records folder</translation>
    </message>
    <message>
        <source>Open settings</source>
        <translation>Open settings</translation>
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
    <name>ViewMode</name>
    <message>
        <source>View_Graphics</source>
        <translation>Graphics</translation>
    </message>
    <message>
        <source>View_Haemoglobin</source>
        <translation>Haemoglobin</translation>
    </message>
    <message>
        <source>View_Table</source>
        <translation>Table</translation>
    </message>
</context>
<context>
    <name>VirtualSignalModel</name>
    <message>
        <source>Head</source>
        <translation>Model head</translation>
    </message>
    <message>
        <source>RandomWalk</source>
        <translation>Random walk</translation>
    </message>
</context>
</TS>
