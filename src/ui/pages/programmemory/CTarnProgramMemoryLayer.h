#pragma once

#include <QByteArray>
#include <memory>
#include <string>

#include "app/CTarnHostListener.h"
#include "ui/framework/CTarnLayerBase.h"

class CTarnHost;
class CTarnProgramMemoryData;
class CTarnProgramMemoryMenu;
class CTarnProgramMemorySet;

// Page 1, the Program Memory page: the eight program memories of the edited data set, each with
// its program (name, program menu, stepping), scale, key and note range; loading, saving,
// receiving and transmitting the eight; Cut, Copy, Paste and Clear on the selected memory through
// the "ProgramMemory" clipboard block; dragging a memory onto another to exchange or copy it.
// Every edit ends with the host's set modified (true).
class CTarnProgramMemoryLayer : public CTarnLayerBase, public CTarnHostListener {
    Q_OBJECT

public:
    static constexpr int kPageNumber = 1;
    static constexpr int kMemoryCount = 8;

    // Control groups (the information record's group field).
    enum Group : int {
        kGroupMemory = 0,
        kGroupName = 1,
        kGroupScale = 3,
        kGroupKey = 4,
        kGroupNoteRange = 5,
    };

    // Registers with the host for its lifetime.
    explicit CTarnProgramMemoryLayer(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnProgramMemoryLayer() override;

    int GetTarnHostPageNumber() const override { return kPageNumber; }

    // The selected memory, 0 to 7; it survives page switches.
    int SelectedMemory() const { return selected_; }
    // The memory name as the page shows it: "[L.000]  Pulse Verb".
    std::string NameText(int memory) const;
    // The menu a click on a memory name shows (tests hand in a scripted one).
    void SetProgramMenu(std::unique_ptr<CTarnProgramMemoryMenu> menu);

    // Reads every control from the program memories.
    void Refresh();

    // Host listener: the edit commands act on the selected memory.
    void OnTarnHostCut() override;
    void OnTarnHostCopy() override;
    void OnTarnHostPaste() override;
    void OnTarnHostClear() override;

    // Controls.
    void OnEfControlClicked(CEfControl* control) override;
    void OnEfControlChanged(CEfControl* control, int value) override;
    std::unique_ptr<QMimeData> OnEfControlBeginDrag(CEfControl* control, QPoint position) override;
    EfDropEffect OnEfControlDragOver(CEfControl* control, const CEfDragInfo& info) override;
    EfDropEffect OnEfControlDrop(CEfControl* control, const CEfDragInfo& info) override;

    // Messages 0 (all data replaced) and 2 (program memories changed) refresh the page.
    bool OnEfMessageReceived(CEfMessageManagerApp* manager, int32_t type, int32_t p1, int32_t p2,
                             int32_t p3, int32_t p4, CEfMessageManagerListener* sender) override;
    void OnEfLayerShown() override;

    // The four header commands; false when refused, cancelled or failed.
    bool LoadFile();
    bool SaveFile();
    bool Receive();
    bool Transmit();

private:
    CTarnProgramMemorySet* Programs() const;
    CTarnProgramMemoryData* Memory(int index) const;
    int ProgramNameCount() const;

    void RefreshNames();
    void RefreshGroup(int group);
    void RefreshSelection();
    void SelectMemory(int memory);
    void OpenProgramMenu(CEfControl* nameControl, int memory);
    void StepProgram(int memory, int reported);
    void SetProgram(int memory, int program);

    // The memory's 40-byte block, empty when it cannot be built.
    QByteArray BlockOf(int memory) const;
    // Loads a block into a memory; false (trace only, memory unchanged) for a wrong size or tag.
    bool LoadBlock(int memory, const QByteArray& block);
    bool CopyToClipboard(int memory);
    // Resets a memory to what it holds in a new data set.
    void ResetMemory(int memory);
    // Whether a drag's source control belongs to this page.
    bool StartedHere(const CEfDragInfo& info) const;

    CTarnHost& host_;
    int selected_ = 0;
    std::unique_ptr<CTarnProgramMemoryMenu> menu_;
};
