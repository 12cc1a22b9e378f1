#include "ui/app/CTarnSingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include "framework/EfTrace.h"

namespace {

const QByteArray kMagic = "TALVEX-HANDOVER 1\n";
constexpr int kTimeoutMs = 2000;
// A peer's message is the magic, the path and a line end; anything longer is garbage.
constexpr qint64 kMaxMessage = 18 + CTarnSingleInstance::kMaxPathBytes + 1;

} // namespace

QString CTarnSingleInstance::DefaultName() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) {
        user = QString::number(qHash(QDir::homePath()));
    }
    return QStringLiteral("TalvexProEditor-") + user;
}

CTarnSingleInstance::CTarnSingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

CTarnSingleInstance::~CTarnSingleInstance() = default;

bool CTarnSingleInstance::IsListening() const {
    return server_ && server_->isListening();
}

QByteArray CTarnSingleInstance::Encode(const QString& path) {
    const QByteArray bytes = path.toUtf8();
    if (bytes.size() > kMaxPathBytes) {
        return {};
    }
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20) {
            return {};
        }
    }
    return kMagic + bytes + '\n';
}

bool CTarnSingleInstance::Decode(const QByteArray& message, QString& path) {
    if (!message.startsWith(kMagic) || !message.endsWith('\n') || message.size() > kMaxMessage) {
        return false;
    }
    const QByteArray bytes = message.mid(kMagic.size(), message.size() - kMagic.size() - 1);
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    const QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes) {
        return false;
    }
    path = text;
    return true;
}

CTarnSingleInstance::Role CTarnSingleInstance::Start(const QString& path) {
    // Serialises the check-then-listen of editors started together; a lock left by a crashed
    // editor is taken over once its process is gone.
    QLockFile lock(QDir::temp().filePath(name_ + ".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(kTimeoutMs)) {
        EfTrace("CTarnSingleInstance - The start-up lock stays taken.");
    }
    if (HandOver(path)) {
        return Role::kHandedOver;
    }
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // Nobody answered, so whatever occupies the name is left from a crashed editor.
        EfTrace("CTarnSingleInstance - Removing a stale socket (%s).",
                server_->errorString().toStdString().c_str());
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) {
            EfTrace("CTarnSingleInstance - Cannot listen: %s",
                    server_->errorString().toStdString().c_str());
            server_.reset();
            return Role::kFailed;
        }
    }
    connect(server_.get(), &QLocalServer::newConnection, this,
            &CTarnSingleInstance::OnNewConnection);
    return Role::kFirst;
}

bool CTarnSingleInstance::HandOver(const QString& path) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kTimeoutMs)) {
        return false;
    }
    QByteArray message = Encode(path);
    if (message.isEmpty()) {
        EfTrace("CTarnSingleInstance - The file name cannot be handed over; only raising.");
        message = Encode(QString());
    }
    socket.write(message);
    const bool written = socket.waitForBytesWritten(kTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(kTimeoutMs);
    }
    return written;
}

void CTarnSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        auto finish = [this, socket, buffer] {
            if (socket->property("handled").toBool()) {
                return;
            }
            socket->setProperty("handled", true);
            QString path;
            if (Decode(*buffer, path)) {
                emit Activated(path);
            } else {
                EfTrace("CTarnSingleInstance - Ignoring %lld bytes from a peer.",
                        static_cast<long long>(buffer->size()));
            }
            socket->deleteLater();
        };
        connect(socket, &QLocalSocket::readyRead, this, [socket, buffer, finish] {
            buffer->append(socket->readAll());
            if (buffer->size() > kMaxMessage ||
                (buffer->endsWith('\n') && buffer->size() > kMagic.size())) {
                finish();
            }
        });
        connect(socket, &QLocalSocket::disconnected, this, [socket, buffer, finish] {
            if (socket->bytesAvailable() > 0) {
                buffer->append(socket->readAll());
            }
            finish();
        });
        // A peer that neither finishes nor leaves is dropped.
        QTimer::singleShot(kTimeoutMs, socket, [socket, finish] {
            finish();
            socket->abort();
        });
        if (socket->bytesAvailable() > 0) {
            buffer->append(socket->readAll());
        }
    }
}
