# Reads a SNIRF export with MNE-Python and h5py and checks its values against the .raw record it came from,
# computed here independently with numpy. Prints one JSON object; the C++ test compares it with what it expects.
import json
import sys

import h5py
import mne
import numpy as np

snirf_path, raw_path = sys.argv[1], sys.argv[2]
raw = mne.io.read_raw_snirf(snirf_path, preload=True, verbose='error')
od = mne.preprocessing.nirs.optical_density(raw, verbose='error')
hb = mne.preprocessing.nirs.beer_lambert_law(od)

with open(raw_path, encoding='utf-8') as f:
    header = f.readline().strip().split(';')
table = np.loadtxt(raw_path, delimiter=';', skiprows=1, ndmin=2)
order = np.argsort(table[:, 0], kind='stable')
table = table[order]
times = table[:, 0]
# Of lines sharing a time, the last one counts.
last = np.r_[times[1:] != times[:-1], True]
t, rows = times[last], table[last]
steps = np.diff(t)
median = np.median(steps[steps > 0])
grid = t[0] + np.arange(raw.n_times) * 1000.0 / raw.info['sfreq']

errors, nan_mismatch = [], 0
data = raw.get_data()
for index, name in enumerate(raw.ch_names):
    pair, wavelength = name.split(' ')
    source = int(pair.split('_')[0][1:])
    numbers = sorted({int(h.lstrip('VIR')) for h in header[1:] if h.startswith('R')})
    letter = 'R' if wavelength == str(int(raw.info['chs'][0]['loc'][9])) else 'IR'
    column = header.index(letter + str(numbers[source - 1]))
    expected = np.interp(grid, t, rows[:, column])
    after = np.clip(np.searchsorted(t, grid, side='right'), 1, len(t) - 1)
    inside = (grid > t[after - 1]) & (grid < t[after]) & ((t[after] - t[after - 1]) > 3 * median)
    expected[inside] = np.nan
    nan_mismatch += int(np.sum(np.isnan(expected) != np.isnan(data[index])))
    both = ~np.isnan(expected) & ~np.isnan(data[index])
    errors.append(float(np.max(np.abs(expected[both] - data[index][both]))))

with h5py.File(snirf_path, 'r') as f:
    nirs = f['nirs']
    tags = {key: nirs['metaDataTags'][key][()].decode() for key in nirs['metaDataTags']}
    aux = {nirs[key]['name'][()].decode(): (nirs[key]['dataTimeSeries'].shape[0], nirs[key]['time'].shape[0])
           for key in nirs if key.startswith('aux')}
    elapsed_exact = bool(np.array_equal(nirs['aux1']['dataTimeSeries'][()], times))
    labels = [label.decode() for label in nirs['probe']['sourceLabels'][()]]
    positions = nirs['probe']['sourcePos2D'][()].tolist()

distances = mne.preprocessing.nirs.source_detector_distances(raw.info)
print(json.dumps({
    'channels': raw.ch_names,
    'sfreq': raw.info['sfreq'],
    'medianRate': 1000.0 / median,
    'annotations': ['%.3f %s' % (a['onset'], a['description']) for a in raw.annotations],
    'maxError': max(errors),
    'nanMismatch': nan_mismatch,
    'nanCount': int(np.sum(np.isnan(data))),
    'hb': hb.ch_names,
    'hbFinite': bool(np.isfinite(hb.get_data()).any()),
    'distances': sorted(set(np.round(distances, 6).tolist())),
    'labels': labels,
    'positions': positions,
    'tags': tags,
    'aux': sorted('%s %d %d' % (name, size, time) for name, (size, time) in aux.items()),
    'elapsedExact': elapsed_exact,
}))
