# What MNE-Python 1.3 makes of SNIRF files that halvex-export wrote: for every argument "PPF:FILE", one answer a
# line, led by the file: distance C MM (source-detector distance of channel C, from 0), oxy C … and deoxy C … (µM,
# read_raw_snirf → optical_density → beer_lambert_law(ppf)), sci C S (scalp_coupling_index), cv C PERCENT (numpy's,
# of the light, the larger of the two wavelengths'), times ….
# A file with gaps (NaN in every channel at once) is NaN throughout for MNE, whose optical density takes the plain
# mean: MNE gets the samples between the gaps instead and the results are put back around them, and each run
# between gaps is band-passed alone, as Raw.filter does with the runs between its skipped annotations.
import sys
import warnings

import mne
import numpy as np
from mne.preprocessing.nirs import beer_lambert_law, optical_density, scalp_coupling_index, source_detector_distances

mne.set_log_level('error')
warnings.simplefilter('ignore')
BAND = dict(l_freq=0.7, h_freq=1.5, l_trans_bandwidth=0.3, h_trans_bandwidth=0.3, fir_design='firwin')
out = []


def answer(name, ppf):
    def emit(key, *values):
        out.append(' '.join([name, key] + [repr(float(v)) for v in values]))

    raw = mne.io.read_raw_snirf(name, preload=True)
    emit('times', *raw.times)
    for c, distance in enumerate(source_detector_distances(raw.info)[::2]):
        emit('distance', c, distance * 1000)
    data = raw.get_data()
    kept = ~np.isnan(data).any(axis=0)
    assert np.array_equal(np.isnan(data), np.broadcast_to(~kept, data.shape)), 'gaps must be aligned'
    od = optical_density(mne.io.RawArray(data[:, kept], raw.info))
    full_od, full_hb = np.full(data.shape, np.nan), np.full(data.shape, np.nan)
    full_od[:, kept] = od.get_data()
    full_hb[:, kept] = beer_lambert_law(od, ppf=ppf).get_data() * 1e6
    channels = len(raw.ch_names) // 2
    for c in range(channels):
        emit('oxy', c, *full_hb[2 * c])
        emit('deoxy', c, *full_hb[2 * c + 1])
        emit('cv', c, max(100 * np.nanstd(s) / abs(np.nanmean(s)) for s in data[2 * c:2 * c + 2]))
    if raw.info['sfreq'] <= 2 * 1.8:
        return
    # MNE gives 0 only at a wavelength whose optical density has no spread: the channel's index is then 0.
    zero = np.std(od.get_data(), axis=-1) == 0
    if kept.all():
        sci = scalp_coupling_index(od)
        for c in range(channels):
            emit('sci', c, 0 if zero[2 * c] or zero[2 * c + 1] else sci[2 * c])
        return
    edges = np.flatnonzero(np.diff(np.r_[0, kept.astype(int), 0]))
    filtered = np.full(data.shape, np.nan)
    for start, stop in zip(edges[::2], edges[1::2]):
        filtered[:, start:stop] = mne.filter.filter_data(full_od[:, start:stop], raw.info['sfreq'],
                                                         pad='reflect_limited', **BAND)
    for c in range(channels):
        r = np.corrcoef(filtered[2 * c][kept], filtered[2 * c + 1][kept])[0][1]
        emit('sci', c, 0 if zero[2 * c] or zero[2 * c + 1] or not np.isfinite(r) else r)


for argument in sys.argv[1:]:
    ppf, name = argument.split(':', 1)
    try:
        answer(name, float(ppf))
    except Exception as e:
        sys.exit('%s: %s' % (name, e))
print('\n'.join(out))
