# What MNE-Python 1.3 and scipy make of the cases in a request file (written by MneReference.h), one answer a line,
# led by the case's name: od_red C …, od_infrared C …, oxy C …, deoxy C … (µM), sci C S, cv C RED INFRARED,
# filter RATE h… (none where MNE refuses the rate), extinction W HBO HB; scipy's Butterworth band-pass butter_b 0 b…,
# butter_a 0 a… (none where scipy refuses the band) and filtfilt K y… of every series to filter; MNE's epochs of the
# haemoglobin series per condition C: n_C 0 N DROPPED, kept_C 0 MARK… (indices into the marks), mean_C S …, se_C S ….
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
from scipy.signal import butter, filtfilt

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
        elif key in ('red', 'infrared', 'to_filter', 'hb'):
            cases[-1][1].setdefault(key, []).append(np.array([float(v) for v in values]))
        elif key == 'conditions':
            cases[-1][1][key] = values
        else:
            cases[-1][1][key] = [float(v) for v in values]
out = []


def runs(series):
    """The (start, stop) of every run of samples between gaps."""
    edges = np.flatnonzero(np.diff(np.r_[0, (~np.isnan(series)).astype(int), 0]))
    return zip(edges[::2], edges[1::2])


def band_pass(request, emit):
    """scipy's butter and filtfilt with their defaults; a run between gaps that filtfilt refuses stays NaN."""
    try:
        b, a = butter(3, request['band'], 'bandpass', fs=request['rate'][0])
    except ValueError:
        return  # refused: no coefficients
    emit('butter_b', 0, *b)
    emit('butter_a', 0, *a)
    for k, series in enumerate(request.get('to_filter', [])):
        filtered = np.full(series.shape, np.nan)
        for start, stop in runs(series):
            try:
                filtered[start:stop] = filtfilt(b, a, series[start:stop])
            except ValueError:
                pass
        emit('filtfilt', k, *filtered)


def epochs(request, emit):
    """MNE's average of the haemoglobin series (HbO and HbR of each channel in turn) around the marks of each
    condition, the events at the samples MNE finds nearest; epochs holding a gap (NaN) are dropped by the caller's
    rule, which MNE leaves to its user."""
    tmin, tmax, bmin, bmax, start = request['window']
    rate = request['rate'][0]
    hb = np.array(request['hb'])
    names = ['S%d_D%d %s' % (i // 2 + 1, i // 2 + 1, ('hbo', 'hbr')[i % 2]) for i in range(len(hb))]
    raw = mne.io.RawArray(hb, mne.create_info(names, rate, [('hbo', 'hbr')[i % 2] for i in range(len(hb))]))
    times = np.array(request.get('marks', []))
    conditions = request.get('conditions', [])
    for condition in dict.fromkeys(conditions):
        marks = [i for i, c in enumerate(conditions) if c == condition]
        samples = raw.time_as_index(times[marks] - start, use_rounding=True)
        events = np.array([[s, 0, 1] for s in samples])
        found = mne.Epochs(raw, events, {condition: 1}, tmin=tmin, tmax=tmax, baseline=(bmin, bmax), detrend=None,
                           reject_by_annotation=False, preload=True)
        if len(found):
            found.drop(np.isnan(found.get_data()).any(axis=(1, 2)), reason='GAP')
        emit('n_' + condition, 0, len(found), len(marks) - len(found))
        emit('kept_' + condition, 0, *[marks[i] for i in found.selection])
        if not len(found):
            continue
        data = found.get_data()
        mean = found.average().data
        se = data.std(axis=0, ddof=1) / np.sqrt(len(found))
        for k in range(len(hb)):
            emit('mean_' + condition, k, *mean[k])
            emit('se_' + condition, k, *se[k])


def answer(name, request):
    def emit(key, *values):
        out.append(' '.join([name, key] + [v if isinstance(v, str) else repr(float(v)) for v in values]))

    if 'band' in request:
        band_pass(request, emit)
    if 'hb' in request:
        epochs(request, emit)

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
