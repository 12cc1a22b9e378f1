#pragma once

#include <QByteArray>
#include <optional>
#include <string>
#include <vector>

#include "data/ExtCtrlEntry.h"
#include "ui/pages/global/CTarnGlobalTabLayer.h"

// The External Controller tab's left part: the 18 controller buttons with the summary of their
// assignment, and the pad pattern (pop-up and picture, kept in step). Clicking a button selects
// its row in the host, which switches the parameter layer by the row's kind. Switch and slider
// rows travel as 12-byte "ExtCtrlData" blocks: dragged onto another row of the same kind they
// exchange records (copy from another window or with Ctrl), and the Edit commands copy, paste,
// cut and clear the selected row. A block of the wrong size or kind changes nothing.
class CTarnGlobalExtCtrlLayer : public CTarnGlobalTabLayer {
    Q_OBJECT

public:
    static constexpr int kRows = 18;
    static constexpr int kPadAssignRow = 16;

    explicit CTarnGlobalExtCtrlLayer(CTarnHost& host, QWidget* parent = nullptr);

    // The parameter-layer kind shown for a row: 0 switch (rows 0-13), 1 slider (14, 15), 2 XY
    // pad (16), 3 pad note (17).
    static int LayerKindOfRow(int row);
    // The button key of a row ("A.BankA" ... "A.PadNote").
    static const char* ButtonKey(int row);
    // The text a row's button shows for the current data.
    std::string Summary(int row) const;

    // Selects a row in the host (switching the parameter layer); false when refused.
    bool Select(int row);

    // Edit commands on the selected row.
    void Copy();
    void Cut();
    void Paste();
    void Clear();

    // The block of a switch or slider row, empty for the pad rows.
    QByteArray BlockOf(int row) const;
    // The entry a block carries when it is well formed (12 bytes, a switch or slider row of the
    // kind it names), otherwise nothing.
    static std::optional<ExtCtrlEntry> ParseBlock(const QByteArray& bytes);
    // Writes a block into a row of the same kind; false (nothing changed) otherwise.
    bool WriteBlock(int row, const QByteArray& bytes);

    void Refresh(bool force) override;
    void OnEfControlClicked(CEfControl* control) override;
    void OnEfControlChanged(CEfControl* control, int value) override;
    std::unique_ptr<QMimeData> OnEfControlBeginDrag(CEfControl* control, QPoint position) override;
    EfDropEffect OnEfControlDragOver(CEfControl* control, const CEfDragInfo& info) override;
    EfDropEffect OnEfControlDrop(CEfControl* control, const CEfDragInfo& info) override;

protected:
    bool RefreshesOn(int32_t type) const override;
    void Edited() override;

private:
    void CreateRowButtons();
    std::string MimeType() const;
    // The row a drop onto `control` would change, or -1 when the drop is refused.
    int DropTarget(CEfControl* control, const CEfDragInfo& info,
                   std::optional<ExtCtrlEntry>* entry) const;

    // The list texts the summaries use, read once.
    std::vector<std::string> noteNames_;
    std::vector<std::string> realtimeTexts_;
};
