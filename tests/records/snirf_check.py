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

snirf_path, raw_path = sys.argv[1], sys.argv[2]
raw = mne.io.read_raw_snirf(snirf_path, preload=True, verbose='error')
hb = mne.preprocessing.nirs.beer_lambert_law(mne.preprocessing.nirs.optical_density(raw, verbose='error'))

with open(raw_path, encoding='utf-8') as f:
    header = f.readline().strip().split(';')
table = np.loadtxt(raw_path, delimiter=';', skiprows=1, ndmin=2)
table = table[np.argsort(table[:, 0], kind='stable')]
times = table[:, 0]
# Of lines sharing a time, the last one counts.
last = np.r_[times[1:] != times[:-1], True]
t, rows = times[last], table[last]
steps = np.diff(t)
median = np.median(steps[steps > 0])
grid = t[0] + np.arange(raw.n_times) * 1000.0 / raw.info['sfreq']

numbers = [h[1:] for h in header if h.startswith('R')]
assert raw.ch_names == ['S%d_D%d %d' % (c, c, w) for c in range(1, len(numbers) + 1) for w in (760, 850)], raw.ch_names
data = raw.get_data()
for index, name in enumerate(raw.ch_names):
    letter = 'R' if name.endswith(' 760') else 'IR'
    expected = np.interp(grid, t, rows[:, header.index(letter + numbers[index // 2])])
    after = np.clip(np.searchsorted(t, grid, side='right'), 1, len(t) - 1)
    expected[(grid > t[after - 1]) & (grid < t[after]) & ((t[after] - t[after - 1]) > 3 * median)] = np.nan
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
print(json.dumps({'sfreq': raw.info['sfreq'], 'medianRate': 1000.0 / median, 'annotations': annotations,
                  'nanCount': int(np.sum(np.isnan(data))), 'labels': labels, 'aux': aux, 'tags': tags,
                  'measDate': raw.info['meas_date'].isoformat(), 'validator': issues}))
