# Reads a SNIRF export with MNE-Python and h5py and checks its values against the .raw record it came from,
# computed here independently with numpy, and runs the SNIRF validator on it. Fails on what holds for every export;
# prints the rest as one JSON object for the C++ test to compare.
import json
import os
import sys

import h5py
import mne
import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import snirf_validate  # noqa: E402


def is_gap(interval, median):
    """The records' gap rule: longer than five median intervals and at least a second."""
    return (interval > 5 * median) & (interval >= 1000)


def upper_median(times):
    steps = np.diff(times)
    steps = np.sort(steps[steps > 0])
    return steps[len(steps) // 2] if len(steps) else 0.0


def spread_times(stamps):
    """When each line was sampled: lines that arrived in one read share a stamp; each run of them spreads evenly
    back to the stamp before it, the first run and a run after a gap at the median interval (never before the
    stamp before it)."""
    starts = np.r_[0, np.flatnonzero(np.diff(stamps)) + 1]
    ends = np.r_[starts[1:], len(stamps)]
    times = stamps.astype(float)

    def place(start, end, share):
        times[start:end] = stamps[start] - np.arange(end - start - 1, -1, -1) * share

    for start, end in zip(starts[1:], ends[1:]):
        place(start, end, (stamps[start] - stamps[start - 1]) / (end - start))
    median = upper_median(times)
    for start, end in zip(starts, ends):
        interval = stamps[start] - stamps[start - 1] if start else 0
        if start == 0 or is_gap(interval, median):
            place(start, end, median if start == 0 else min(median, interval / (end - start)))
    return times


def in_gaps(grid, t):
    """The grid points strictly inside a gap between two samples."""
    after = np.clip(np.searchsorted(t, grid, side='right'), 1, len(t) - 1)
    return (grid > t[after - 1]) & (grid < t[after]) & is_gap(t[after] - t[after - 1], upper_median(t))


def stimuli_and_gaps(raw, snirf_path, t, zero):
    """What readers get of the stimuli and inside gaps. Fails when MNE drops a stimulus the file holds, or when the
    stretch before the first gap does not give finite haemoglobin."""
    with h5py.File(snirf_path, 'r') as f:
        nirs = f['nirs']
        stimuli = sorted('%.3f %.3f %s' % (row[0], row[1], nirs[key]['name'][()].decode())
                         for key in nirs if key.startswith('stim') for row in np.atleast_2d(nirs[key]['data'][()]))
        time_length = len(nirs['data1']['time'])
        assert np.allclose(nirs['aux1']['time'][()], (t - zero) / 1000), 'aux1 time'
    assert len(raw.annotations) == len(stimuli), (list(raw.annotations.description), stimuli)
    events = mne.events_from_annotations(raw, verbose='error')[0] if len(raw.annotations) else np.zeros((0, 3))
    data = raw.get_data()
    nan = np.isnan(data).any(axis=0)
    if nan.any():
        # A reader takes the stretches between gaps one at a time.
        piece = raw.copy().crop(tmax=raw.times[np.argmax(nan) - 1])
        assert np.isfinite(mne.preprocessing.nirs.optical_density(piece, verbose='error').get_data()).all()
    return {'stimuli': stimuli, 'eventSamples': sorted(int(e) for e in events[:, 0]), 'timeLength': time_length}


snirf_path, raw_path = sys.argv[1], sys.argv[2]
raw = mne.io.read_raw_snirf(snirf_path, preload=True, verbose='error')
hb = mne.preprocessing.nirs.beer_lambert_law(mne.preprocessing.nirs.optical_density(raw, verbose='error'))

with open(raw_path, encoding='utf-8') as f:
    header = f.readline().strip().split(';')
table = np.loadtxt(raw_path, delimiter=';', skiprows=1, ndmin=2)
table = table[np.argsort(table[:, 0], kind='stable')]
times = table[:, 0]
t, rows = spread_times(times), table
steps = np.diff(t)
median = np.median(steps[steps > 0])
grid = t[0] + np.arange(raw.n_times) * 1000.0 / raw.info['sfreq']

numbers = [h[1:] for h in header if h.startswith('R')]
assert raw.ch_names == ['S%d_D%d %d' % (c, c, w) for c in range(1, len(numbers) + 1) for w in (760, 850)], raw.ch_names
data = raw.get_data()
for index, name in enumerate(raw.ch_names):
    letter = 'R' if name.endswith(' 760') else 'IR'
    expected = np.interp(grid, t, rows[:, header.index(letter + numbers[index // 2])])
    expected[in_gaps(grid, t)] = np.nan
    assert np.array_equal(np.isnan(expected), np.isnan(data[index])), name
    both = ~np.isnan(expected)
    assert np.max(np.abs(expected[both] - data[index][both])) < 1e-9, name
assert hb.ch_names[0] == 'S1_D1 hbo' and len(hb.ch_names) == len(raw.ch_names)
# Optical density of a series with a gap is NaN throughout: MNE takes the plain mean.
assert np.isfinite(hb.get_data()).any() == (not np.isnan(data).any())
assert np.allclose(mne.preprocessing.nirs.source_detector_distances(raw.info), 0.03)

with h5py.File(snirf_path, 'r') as f:
    nirs = f['nirs']
    tags = {key: nirs['metaDataTags'][key][()].decode() for key in nirs['metaDataTags']}
    assert (tags['LengthUnit'], tags['TimeUnit'], tags['FrequencyUnit']) == ('mm', 's', 'Hz'), tags
    # Stored compressed: amplitudes take about half their size.
    assert nirs['data1']['dataTimeSeries'].compression == 'gzip'
    assert np.array_equal(nirs['aux1']['dataTimeSeries'][()][:, 0], times)
    aux = sorted('%s %s %d' % (nirs[key]['name'][()].decode(), 'x'.join(map(str, nirs[key]['dataTimeSeries'].shape)),
                               nirs[key]['time'].shape[0]) for key in nirs if key.startswith('aux'))
    # One column of source labels, a list of detector labels; every label unique among both.
    sources, detectors = nirs['probe']['sourceLabels'][()], nirs['probe']['detectorLabels'][()]
    assert sources.ndim == 2 and sources.shape[1] == 1 and detectors.ndim == 1, (sources.shape, detectors.shape)
    labels = [label.decode() for label in list(sources[:, 0]) + list(detectors)]
    assert len(set(labels)) == len(labels), labels

annotations = ['%.3f %s' % (a['onset'], a['description']) for a in raw.annotations]
# Texts are ASCII with Python's escapes for other characters: decoded, they are the record's texts again.
tags = ' '.join(tags[key].encode().decode('unicode_escape') for key in
                ('SubjectID', 'MeasurementDate', 'MeasurementTime', 'Title', 'SoftwareVersion'))
missing = snirf_validate.available()
issues = missing if missing else snirf_validate.validate(snirf_path)
print(json.dumps({'sfreq': float('%.12g' % raw.info['sfreq']), 'medianRate': float('%.12g' % (1000.0 / median)),
                  'annotations': annotations, 'nanCount': int(np.sum(np.isnan(data))), 'labels': labels, 'aux': aux,
                  'tags': tags, 'measDate': raw.info['meas_date'].isoformat(), 'validator': issues,
                  **stimuli_and_gaps(raw, snirf_path, t, t[0])}))
