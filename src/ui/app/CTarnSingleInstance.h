#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

// One editor per user: the first start listens on a per-user local socket; a later start hands
// its file (or nothing, to bring the window to the front) to it and ends. A socket left by a
// crashed editor is removed. The check and the listening happen under a lock file, so two
// editors started at the same moment end as one.
//
// Hand-over: "TALVEX-HANDOVER 1\n", then the path (UTF-8, at most 1023 bytes, no control
// characters) and "\n". Anything else a peer sends is ignored with a trace.
class CTarnSingleInstance : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxPathBytes = 1023;

    // The per-user name of the socket.
    static QString DefaultName();

    explicit CTarnSingleInstance(QString name = DefaultName(), QObject* parent = nullptr);
    ~CTarnSingleInstance() override;

    enum class Role { kFirst, kHandedOver, kFailed };
    // Becomes the first instance (listening), or hands `path` (may be empty) to the running one.
    // kFailed: neither worked; the editor then starts on its own.
    Role Start(const QString& path);
    bool IsListening() const;
    const QString& Name() const { return name_; }

    // The message for a path; empty when the path cannot be handed over.
    static QByteArray Encode(const QString& path);
    // The path of a message; false for garbage.
    static bool Decode(const QByteArray& message, QString& path);

signals:
    // A later start wants the window in front and, when path is not empty, the file opened.
    void Activated(const QString& path);

private:
    bool HandOver(const QString& path);
    void OnNewConnection();

    QString name_;
    std::unique_ptr<QLocalServer> server_;
};
