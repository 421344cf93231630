#pragma once

#include "analysis/Analysis.h"
#include "analysis/ProtocolMatching.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QTextStream>

#include <optional>
#include <stdexcept>

namespace qern::cli {

// A problem with the input, named for the user.
struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One measurement as `qern-cli analyse` and `qern-cli diagram` read it.
struct AnalysisInput {
    AnalysedMeasurement Measurement;
    Coefficients UserCoefficients = Coefficients(1.0);
    int CompensationMode = 0;
    QDate Today;
    std::optional<QList<ProtocolRecord>> Protocols;

    Coefficients CoefficientsInForce() const { return SelectCoefficients(CompensationMode, UserCoefficients); }
};

// Throws BadInput on anything that is not the contract's JSON.
AnalysisInput ParseAnalysisInput(const QByteArray& text);

// Reads the input from stdin; on bad input prints one line for `command` and
// returns false.
bool ReadAnalysisInput(const QString& command, QTextStream& err, AnalysisInput& in);

} // namespace qern::cli
