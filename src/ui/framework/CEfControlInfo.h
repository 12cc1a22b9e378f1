#pragma once

#include <cstdint>

// What a control stands for, chosen by the page: the page dispatches events and refreshes bound
// controls from these five fields alone.
struct CEfControlInfo {
    // Data parameter number; -1 none, -2 the row selected in the host.
    int32_t parameter = -1;
    // Sub-value of a record-valued parameter; -1 none.
    int32_t subValue = -1;
    // Which memory, bank, pad or controller row.
    int32_t index = 0;
    // Small integer the page uses for dispatch; -1 none.
    int32_t group = -1;
    // Whether a refresh writes the data value into the control.
    bool bound = false;
};
