#pragma once

#include <string>

#include "sim/CTarnSimFault.h"

// The virtual instrument's fault modes by name, for command lines: MODE[:STAGE[:SKIP]].
namespace tarn {

// Fills plan from text such as "busy-usb:global-request" or "no-reply". Without a stage, a fault
// of the identity reply fires on the inquiry, a sample data fault on the sample data request and
// any other fault on the first request. False, with the reason in error, on an unknown name.
bool ParseSimFault(const std::string& text, CTarnSimFaultPlan& plan, std::string& error);

// The modes and stages, one line each, for a tool's help text.
std::string SimFaultHelp();

} // namespace tarn
