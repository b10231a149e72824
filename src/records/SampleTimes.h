#pragma once

#include <QtGlobal>

#include <vector>

// When each line of a record was sampled. The serial device stamps lines by their arrival, so the lines of one read
// share a stamp although the instrument took them one sampling interval apart; taken at their stamps, they would
// collapse into one point (and paired arrivals would halve the measured rate). Each run of equal stamps is spread
// evenly back to the stamp before it: the last line keeps the stamp, the others take equal shares of the interval.
// A run with nothing before it, or after a gap (RecordGaps), is spread back at the record's median interval
// instead, never further than the stamp before it.
class SampleTimes
{
public:
    // stamps ascending, in ms. The result has one time per stamp, ascending, strictly so unless every stamp is the
    // same.
    static std::vector<double> spread(const std::vector<qint64>& stamps);
};
