# Runs the SNIRF community's validator (pysnirf2, kept beside the source tree in shared/tools/pysnirf2, as a test
# tool only) on SNIRF files. Importable (validate()) and as a command: snirf_validate.py FILE... exits 0 when every
# file passes, 1 with the issues on stderr, 77 with the reason when the validator is not there.
import os
import sys
import tempfile

import h5py


def _find_validator():
    folder = os.path.dirname(os.path.abspath(__file__))
    while True:
        candidate = os.path.join(folder, 'shared', 'tools', 'pysnirf2')
        if os.path.isfile(os.path.join(candidate, 'snirf', '__init__.py')):
            return candidate
        parent = os.path.dirname(folder)
        if parent == folder:
            return None
        folder = parent


_snirf = None


def available():
    """None when the validator can run, else why not."""
    global _snirf
    if _snirf is not None:
        return None
    folder = _find_validator()
    if folder is None:
        return 'SNIRF validator not found: no shared/tools/pysnirf2 in any folder above ' + os.path.dirname(
            os.path.abspath(__file__))
    sys.path.insert(0, folder)
    # It opens its log file (pysnirf2.log) in the current folder on import.
    here = os.getcwd()
    with tempfile.TemporaryDirectory() as scratch:
        os.chdir(scratch)
        try:
            import snirf
        finally:
            os.chdir(here)
    _snirf = snirf
    return None


def validate(path):
    """The issues of severity 2 (warning) and 3 (fatal) as "severity location name" lines."""
    result = _snirf.validateSnirf(path)
    issues = []
    with h5py.File(path, 'r') as f:
        for issue in result.issues:
            if issue.severity < 2:
                continue
            # The format allows `time` as [start, spacing]; validator 0.8.0 takes it for a vector of the wrong
            # length. The data export writes that form, so this one message, for two elements, is excused.
            if issue.name == 'INVALID_TIME' and issue.location in f and f[issue.location].size == 2:
                continue
            issues.append('%d %s %s' % (issue.severity, issue.location, issue.name))
    return issues


if __name__ == '__main__':
    missing = available()
    if missing:
        print(missing, file=sys.stderr)
        sys.exit(77)
    failed = False
    for path in sys.argv[1:]:
        for issue in validate(path):
            print('%s: %s' % (path, issue), file=sys.stderr)
            failed = True
    sys.exit(1 if failed else 0)
