#pragma once

// Lets pending user-interface events run without waiting, between the steps of a long operation
// that runs on the user-interface thread (transfers, conversions).
class CEfMessagePump {
public:
    virtual ~CEfMessagePump() = default;
    virtual void DispatchPending() = 0;
};
