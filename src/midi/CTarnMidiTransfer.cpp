#include "midi/CTarnMidiTransfer.h"

#include "data/CEfException.h"
#include "midi/CTarnMidiManager.h"

namespace {

template <class Operation> bool Run(CTarnMidiManager* manager, Operation operation) {
    if (!manager) {
        return false;
    }
    try {
        return operation(*manager);
    } catch (const CEfException& e) {
        e.Report();
        return false;
    }
}

} // namespace

bool CTarnMidiTransfer::Transmit(CTarnMidiManager* manager, CTarnAllData* all) {
    return Run(manager, [&](CTarnMidiManager& m) { return m.TransmitAllData(all); });
}

bool CTarnMidiTransfer::Receive(CTarnMidiManager* manager, CTarnAllData* all) {
    return Run(manager, [&](CTarnMidiManager& m) { return m.ReceiveAllData(all); });
}

bool CTarnMidiTransfer::Transmit(CTarnMidiManager* manager, CTarnGlobalData* global) {
    return Run(manager, [&](CTarnMidiManager& m) { return m.TransmitGlobalData(global); });
}

bool CTarnMidiTransfer::Receive(CTarnMidiManager* manager, CTarnGlobalData* global) {
    return Run(manager, [&](CTarnMidiManager& m) { return m.ReceiveGlobalData(global); });
}

bool CTarnMidiTransfer::Transmit(CTarnMidiManager* manager, CTarnProgramMemorySet* set) {
    return Run(manager, [&](CTarnMidiManager& m) { return m.TransmitProgramMemoryData(set); });
}

bool CTarnMidiTransfer::Receive(CTarnMidiManager* manager, CTarnProgramMemorySet* set) {
    return Run(manager, [&](CTarnMidiManager& m) { return m.ReceiveProgramMemoryData(set); });
}

bool CTarnMidiTransfer::Transmit(CTarnMidiManager* manager, int bank, CTarnSampleData* sample) {
    return Run(manager,
               [&](CTarnMidiManager& m) { return m.TransmitLoopRecorderData(bank, sample); });
}

bool CTarnMidiTransfer::Receive(CTarnMidiManager* manager, int bank, CTarnSampleData* sample) {
    return Run(manager,
               [&](CTarnMidiManager& m) { return m.ReceiveLoopRecorderData(bank, sample); });
}
