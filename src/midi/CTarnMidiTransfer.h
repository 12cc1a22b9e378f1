#pragma once

class CTarnAllData;
class CTarnGlobalData;
class CTarnMidiManager;
class CTarnProgramMemorySet;
class CTarnSampleData;

// The Transmit and Receive of each data class as the user starts them: run the transfer
// manager's operation on the item, show a failure's message and give false. A null manager (no
// MIDI in this run) gives false without a message. The caller sets and clears the host's busy
// flag around the call.
class CTarnMidiTransfer {
public:
    static bool Transmit(CTarnMidiManager* manager, CTarnAllData* all);
    static bool Receive(CTarnMidiManager* manager, CTarnAllData* all);
    static bool Transmit(CTarnMidiManager* manager, CTarnGlobalData* global);
    static bool Receive(CTarnMidiManager* manager, CTarnGlobalData* global);
    static bool Transmit(CTarnMidiManager* manager, CTarnProgramMemorySet* set);
    static bool Receive(CTarnMidiManager* manager, CTarnProgramMemorySet* set);
    static bool Transmit(CTarnMidiManager* manager, int bank, CTarnSampleData* sample);
    static bool Receive(CTarnMidiManager* manager, int bank, CTarnSampleData* sample);
};
