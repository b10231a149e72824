# What MNE-Python 1.3 and scipy make of the cases in a request file (written by MneReference.h), one answer a line,
# led by the case's name: od_red C …, od_infrared C …, oxy C …, deoxy C … (µM), sci C S, cv C RED INFRARED,
# filter RATE h… (none where MNE refuses the rate), extinction W HBO HB.
# Gaps are aligned across all series (a gap in a record has no value in any column): MNE gets the series without
# them and the results are put back around them; each run between gaps is band-passed alone, as Raw.filter does
# with the runs between its skipped annotations.
import os
import sys
import warnings

import mne
import numpy as np
from mne.preprocessing.nirs import beer_lambert_law, optical_density, scalp_coupling_index
from scipy.interpolate import interp1d
from scipy.io import loadmat

mne.set_log_level('error')
warnings.simplefilter('ignore')
TABLE = loadmat(os.path.join(os.path.dirname(mne.__file__), 'data', 'extinction_coef.mat'))['extinct_coef']
BAND = dict(l_freq=0.7, h_freq=1.5, l_trans_bandwidth=0.3, h_trans_bandwidth=0.3, fir_design='firwin')

cases = []
with open(sys.argv[1], encoding='utf-8') as f:
    for line in f:
        key, *values = line.split()
        if key == 'case':
            cases.append((values[0], {'red': [], 'infrared': []}))
        elif key in ('red', 'infrared'):
            cases[-1][1][key].append(np.array([float(v) for v in values]))
        else:
            cases[-1][1][key] = [float(v) for v in values]
out = []


def answer(name, request):
    def emit(key, *values):
        out.append(' '.join([name, key] + [v if isinstance(v, str) else repr(float(v)) for v in values]))

    for wavelength in request.get('extinction', []):
        try:
            emit('extinction', wavelength, *[interp1d(TABLE[:, 0], TABLE[:, i])(wavelength) for i in (1, 2)])
        except ValueError:
            emit('extinction', wavelength, 'nan', 'nan')
    rate = request['rate'][0]
    if 'filter' in request:
        try:
            emit('filter', rate, *mne.filter.create_filter(None, rate, **BAND))
        except ValueError:
            pass  # refused: no coefficients
    channels = len(request['red'])
    if not channels:
        return
    red, infrared = np.array(request['red']), np.array(request['infrared'])
    data = np.array([s for c in range(channels) for s in (red[c], infrared[c])])
    names = ['S%d_D%d %d' % (i // 2 + 1, i // 2 + 1, round(request['wavelengths'][i % 2]))  # MNE pairs by whole nm
             for i in range(2 * channels)]
    kept = ~np.isnan(data).any(axis=0)
    assert np.array_equal(np.isnan(data), np.broadcast_to(~kept, data.shape)), 'gaps must be aligned'
    info = mne.create_info(names, rate, 'fnirs_cw_amplitude')
    for i, ch in enumerate(info['chs']):
        ch['loc'][3:6] = [0.05 * (i // 2), 0, 0]
        ch['loc'][6:9] = [0.05 * (i // 2) + request['distance_mm'][0] / 1000.0, 0, 0]
        ch['loc'][9] = request['wavelengths'][i % 2]
    od = optical_density(mne.io.RawArray(data[:, kept], info))
    full_od, full_hb = np.full(data.shape, np.nan), np.full(data.shape, np.nan)
    full_od[:, kept] = od.get_data()
    full_hb[:, kept] = beer_lambert_law(od, ppf=request['ppf'][0]).get_data() * 1e6
    for c in range(channels):
        for key, series in (('od_red', full_od[2 * c]), ('od_infrared', full_od[2 * c + 1]),
                            ('oxy', full_hb[2 * c]), ('deoxy', full_hb[2 * c + 1])):
            emit(key, c, *series)
        emit('cv', c, *[100 * np.nanstd(s) / abs(np.nanmean(s)) for s in (red[c], infrared[c])])
    if rate <= 2 * 1.8:
        return
    if kept.all():
        sci = scalp_coupling_index(od)
        # MNE puts 0 only at a wavelength whose optical density has no spread; take that entry where there is one.
        zero = np.std(od.get_data(), axis=-1) == 0
        for c in range(channels):
            emit('sci', c, sci[2 * c + 1] if zero[2 * c + 1] and not zero[2 * c] else sci[2 * c])
        return
    edges = np.flatnonzero(np.diff(np.r_[0, kept.astype(int), 0]))
    filtered = np.full(data.shape, np.nan)
    for start, stop in zip(edges[::2], edges[1::2]):
        filtered[:, start:stop] = mne.filter.filter_data(full_od[:, start:stop], rate, pad='reflect_limited', **BAND)
    for c in range(channels):
        r = np.corrcoef(filtered[2 * c][kept], filtered[2 * c + 1][kept])[0][1]
        emit('sci', c, r if np.isfinite(r) else 0)


for name, request in cases:
    try:
        answer(name, request)
    except Exception as e:
        sys.exit('%s: %s' % (name, e))
print('\n'.join(out))
