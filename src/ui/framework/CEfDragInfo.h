#pragma once

#include <QByteArray>
#include <QPoint>
#include <Qt>
#include <string>
#include <vector>

class CEfControl;
class CEfResourceResolver;
class QMimeData;
class QObject;

// The answer to a drag over or a drop.
enum class EfDropEffect { kNone, kCopy, kMove };

// What a drag offers, as a layer's listener sees it.
struct CEfDragInfo {
    // The editor's clipboard formats present in the data, by short name ("ProgramMemory").
    std::vector<std::string> formats;
    // Local paths of the dragged files, in order.
    std::vector<std::string> files;
    // The keys held; the copy modifier is Ctrl.
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    // The control the drag started on, when it started in this program; null otherwise.
    const CEfControl* source = nullptr;
    // Pointer position in the coordinates of the control under it (of the layer when none).
    QPoint position;
    // The dragged data; valid only during the call.
    const QMimeData* data = nullptr;
    // MIME types of the formats above, parallel to `formats`.
    std::vector<std::string> mimeTypes;

    // Reads the editor's formats (through the resolver's MIME types) and the local file paths
    // of the data; `source` is the QDrag's source object.
    static CEfDragInfo From(const QMimeData* data, Qt::KeyboardModifiers modifiers,
                            const QObject* source, CEfResourceResolver* resolver);

    bool CopyModifier() const { return modifiers.testFlag(Qt::ControlModifier); }
    bool HasFormat(const std::string& shortName) const;
    // The bytes carried under a format, or empty.
    QByteArray Bytes(const std::string& shortName) const;
};
