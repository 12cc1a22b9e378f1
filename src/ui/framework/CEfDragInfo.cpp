#include "ui/framework/CEfDragInfo.h"

#include <QMimeData>
#include <QUrl>
#include <algorithm>

#include "ui/framework/CEfControl.h"
#include "ui/framework/CEfResourceResolver.h"

namespace {
constexpr const char* kEditorFormats[] = {"SampleData", "ProgramMemory", "ExtCtrlData"};
}

CEfDragInfo CEfDragInfo::From(const QMimeData* data, Qt::KeyboardModifiers modifiers,
                              const QObject* source, CEfResourceResolver* resolver) {
    CEfDragInfo info;
    info.data = data;
    info.modifiers = modifiers;
    info.source = qobject_cast<const CEfControl*>(source);
    if (data == nullptr) {
        return info;
    }
    if (resolver != nullptr) {
        for (const char* format : kEditorFormats) {
            const std::string mime = resolver->GetMimeType(format);
            if (!mime.empty() && data->hasFormat(QString::fromStdString(mime))) {
                info.formats.emplace_back(format);
                info.mimeTypes.push_back(mime);
            }
        }
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            info.files.push_back(url.toLocalFile().toStdString());
        }
    }
    return info;
}

bool CEfDragInfo::HasFormat(const std::string& shortName) const {
    return std::find(formats.begin(), formats.end(), shortName) != formats.end();
}

QByteArray CEfDragInfo::Bytes(const std::string& shortName) const {
    auto it = std::find(formats.begin(), formats.end(), shortName);
    if (it == formats.end() || data == nullptr) {
        return {};
    }
    const size_t index = static_cast<size_t>(it - formats.begin());
    if (index >= mimeTypes.size()) {
        return {};
    }
    return data->data(QString::fromStdString(mimeTypes[index]));
}
