#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The BIDS community's validator (the npm package bids-validator, run by Node.js) on a dataset: found as
// "bids-validator" on the PATH, or where scripts/install-deps puts it for this checkout (build/node).
class BidsValidator
{
public:
    struct Verdict
    {
        bool ran = false; // false: problem says why
        QString problem;
        int errors = 0;
        int warnings = 0;
        // One line per issue, errors first: "error CODE: reason (file)".
        QStringList lines;
    };

    // The program and its leading arguments; empty when no validator can run here, and missing() says why.
    static QStringList command();
    static QString missing();

    // Runs the validator on the dataset (seconds: it reads every file) and reads its verdict.
    static Verdict run(const QString& dataset, int timeoutMs = 600000);
    // The verdict of the validator's "--json" output.
    static Verdict parse(const QByteArray& json);
};
