#pragma once

#include <QObject>

class InstrumentConnection;
class RecordControl;

// What the record does as the instrument comes and goes: a click on Connect or a closing instrument stops it, a
// loss and a return are noted in its events, an instrument not back in time ends it; while it is waited for, the
// record button only stops; while a record hook waits, the instrument is left alone; and every mark reaches the
// virtual instrument.
class RecordWiring : public QObject
{
    Q_OBJECT
public:
    RecordWiring(InstrumentConnection* instrument, RecordControl* control, QObject* parent = nullptr);
};
