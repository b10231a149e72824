#pragma once

#include <QMap>
#include <QString>

// What a record's headers and ".ini" file are made from, taken from the window and its settings at the start.
struct RecordLayout
{
    // The values of the acquisition variant setting.
    enum Variant { Acquire_VRIR = 0, Acquire_RIR = 1, Acquire_aRIR = 2 };

    QString title; // the experiment title, as typed
    int variant = Acquire_aRIR;
    int channelCount = 0;
    bool montageActive = false;
    QMap<int, QString> montageNames; // zero-based channel number to label
    int smoothing = 20;
    bool useMontage = false;
    QString montageText;
};
