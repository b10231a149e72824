# What MNE-Python 1.3 and scipy 1.10 make of the averages around the marks, on SNIRF files that halvex-export wrote.
# The argument names a JSON file: a list of requests {"files": [...], "conditions": [...], "window": [T0, T1],
# "baseline": [B0, B1], "band": [L, H] or null, "ppf": P}. The answer, on the standard output, is a JSON list of the
# same length: per request and condition {"times": [...], "n": ..., "dropped": ..., "mean": [...], "se": [...]},
# series in MNE's channel order (HbO, HbR of the first channel, then of the next), µM, null for NaN; and per request
# "scale": per series the largest |value| of the haemoglobin series that were averaged (filtered where asked), µM.
# Per file: read_raw_snirf → optical_density → beer_lambert_law(ppf); with a band, scipy's
# filtfilt(butter(3, [L, H], 'bandpass', fs)) of every haemoglobin series; then
# events_from_annotations → Epochs(tmin=T0, tmax=T1, baseline=(B0, B1), detrend=None, reject_by_annotation=False,
# preload=True).average(), and the standard error epochs.get_data().std(axis=0, ddof=1) / sqrt(n).
# Gaps (NaN in every channel at once) would make MNE's optical density NaN throughout: it gets the samples between
# the gaps and the results are put back around them; each run between gaps is filtered alone; the epochs holding
# a gap are dropped, as MNE drops those that run past the data. Several files: the mean of the files' averages and
# its standard error over the files.
import json
import sys
import warnings

import mne
import numpy as np
import scipy.signal
from mne.preprocessing.nirs import beer_lambert_law, optical_density

mne.set_log_level('error')
warnings.simplefilter('ignore')


def haemoglobin(name, ppf, band):
    raw = mne.io.read_raw_snirf(name, preload=True)
    data = raw.get_data()
    kept = ~np.isnan(data).any(axis=0)
    od = optical_density(mne.io.RawArray(data[:, kept], raw.info))
    hb = beer_lambert_law(od, ppf=ppf)
    full = np.full(data.shape, np.nan)
    full[:, kept] = hb.get_data()
    if band:
        b, a = scipy.signal.butter(3, band, 'bandpass', fs=raw.info['sfreq'])
        edges = np.flatnonzero(np.diff(np.r_[0, kept.astype(int), 0]))
        for start, stop in zip(edges[::2], edges[1::2]):
            if stop - start > 3 * max(len(a), len(b)):
                full[:, start:stop] = scipy.signal.filtfilt(b, a, full[:, start:stop], axis=1)
            else:
                full[:, start:stop] = np.nan
    scales.append(np.nanmax(np.abs(full), axis=1) * 1e6)
    out = mne.io.RawArray(full, hb.info)
    out.set_annotations(raw.annotations)
    return out


def epochs_of(raw, condition, request):
    if condition not in set(raw.annotations.description):
        return None, 0
    events, ids = mne.events_from_annotations(raw, event_id={condition: 1})
    epochs = mne.Epochs(raw, events, event_id={condition: 1}, tmin=request['window'][0],
                        tmax=request['window'][1], baseline=tuple(request['baseline']), detrend=None,
                        reject_by_annotation=False, preload=True)
    holes = np.isnan(epochs.get_data()).any(axis=(1, 2))
    if holes.any():
        epochs.drop(np.flatnonzero(holes))
    return epochs, len(events)


def listed(array):
    return [None if np.isnan(v) else float(v) for v in array]


def answer(request):
    global scales
    scales = []
    raws = [haemoglobin(name, request['ppf'], request['band']) for name in request['files']]
    result = {}
    for condition in request['conditions']:
        means, errors, n, dropped, times = [], [], 0, 0, None
        for raw in raws:
            epochs, count = epochs_of(raw, condition, request)
            if epochs is None:
                continue
            dropped += count - len(epochs)
            if len(epochs) == 0:
                continue
            data = epochs.get_data() * 1e6
            means.append(epochs.average(picks='all').data * 1e6)
            errors.append(data.std(axis=0, ddof=1) / np.sqrt(len(epochs)))
            n += len(epochs)
            times = epochs.times
        if not means:
            result[condition] = {'n': 0, 'dropped': dropped}
            continue
        if len(means) == 1:
            mean, se = means[0], errors[0]
        else:
            stack = np.array(means)
            mean, se = stack.mean(axis=0), stack.std(axis=0, ddof=1) / np.sqrt(len(means))
        result[condition] = {'times': listed(times), 'n': n, 'records': len(means), 'dropped': dropped,
                             'mean': [listed(s) for s in mean], 'se': [listed(s) for s in se]}
    result['scale'] = listed(np.max(scales, axis=0))
    return result


with open(sys.argv[1]) as f:
    requests = json.load(f)
print(json.dumps([answer(r) for r in requests], allow_nan=False))
