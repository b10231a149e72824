# Reads SNIRF files with MNE-Python (read_raw_snirf) and prints, as JSON by file, the channel count and every
# stimulus onset (seconds) with its name, as MNE's annotations give them.
import json
import sys

import mne

result = {}
for path in sys.argv[1:]:
    raw = mne.io.read_raw_snirf(path, verbose='error')
    annotations = raw.annotations
    result[path] = {
        'channels': len(raw.ch_names),
        'stimuli': sorted([float(o), str(d)] for o, d in zip(annotations.onset, annotations.description)),
    }
print(json.dumps(result))
