#pragma once

// Receives each formatted diagnostic trace line (without a line ending). Called from any thread,
// one line at a time.
class CEfTraceSink {
public:
    virtual ~CEfTraceSink() = default;
    virtual void OnEfTrace(const char* line) = 0;
};
