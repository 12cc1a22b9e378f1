#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSemaphore>
#include <QThread>
#include <set>

#include "ui/app/CTarnSingleInstance.h"

namespace {

QString UniqueName() {
    static int counter = 0;
    return QStringLiteral("TalvexEditorTest-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

// Runs the event loop until `done` or the time passed.
template <class F> void WaitFor(F done, int ms = 2000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// A second start runs on its own thread here, as it would be its own process.
class SecondStart : public QThread {
public:
    SecondStart(QString name, QString path) : name_(std::move(name)), path_(std::move(path)) {}
    CTarnSingleInstance::Role role = CTarnSingleInstance::Role::kFailed;

protected:
    void run() override {
        CTarnSingleInstance instance(name_);
        role = instance.Start(path_);
    }

private:
    QString name_;
    QString path_;
};

} // namespace

TEST(SingleInstance, ASecondStartHandsItsFileToTheFirst) {
    const QString name = UniqueName();
    CTarnSingleInstance first(name);
    ASSERT_EQ(first.Start(QString()), CTarnSingleInstance::Role::kFirst);
    ASSERT_TRUE(first.IsListening());
    QStringList received;
    QObject::connect(&first, &CTarnSingleInstance::Activated,
                     [&](const QString& path) { received << path; });

    SecondStart second(name, "/home/user/sets/global settings.t2g");
    second.start();
    WaitFor([&] { return second.isFinished() && !received.isEmpty(); });
    second.wait();
    EXPECT_EQ(second.role, CTarnSingleInstance::Role::kHandedOver);
    EXPECT_EQ(received, QStringList{"/home/user/sets/global settings.t2g"});

    // Without a file it only asks for the window.
    SecondStart third(name, QString());
    third.start();
    WaitFor([&] { return third.isFinished() && received.size() == 2; });
    third.wait();
    EXPECT_EQ(third.role, CTarnSingleInstance::Role::kHandedOver);
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[1], QString());
}

TEST(SingleInstance, AStaleSocketDoesNotBlockStartUp) {
    const QString name = UniqueName();
    // A crashed editor leaves its socket's file behind with nobody listening.
    const QString socketPath = QDir::temp().filePath(name);
    {
        QFile stale(socketPath);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    QElapsedTimer timer;
    timer.start();
    CTarnSingleInstance editor(name);
    EXPECT_EQ(editor.Start(QString()), CTarnSingleInstance::Role::kFirst);
    EXPECT_TRUE(editor.IsListening());
    EXPECT_LT(timer.elapsed(), 1000);
}

TEST(SingleInstance, TwoStartsAtOnceEndAsOne) {
    const QString name = UniqueName();
    QSemaphore started;
    QSemaphore finish;
    struct Start : QThread {
        Start(const QString& n, QSemaphore& s, QSemaphore& f) : name(n), started(s), finish(f) {}
        void run() override {
            CTarnSingleInstance instance(name);
            role = instance.Start(QString());
            started.release();
            // Stays alive (and listening, if it won) until both have decided.
            finish.acquire();
        }
        QString name;
        QSemaphore& started;
        QSemaphore& finish;
        CTarnSingleInstance::Role role = CTarnSingleInstance::Role::kFailed;
    };
    Start a(name, started, finish);
    Start b(name, started, finish);
    a.start();
    b.start();
    ASSERT_TRUE(started.tryAcquire(2, 10000));
    finish.release(2);
    a.wait();
    b.wait();
    const std::set<CTarnSingleInstance::Role> roles{a.role, b.role};
    EXPECT_EQ(roles, (std::set<CTarnSingleInstance::Role>{CTarnSingleInstance::Role::kFirst,
                                                          CTarnSingleInstance::Role::kHandedOver}));
}

TEST(SingleInstance, GarbageFromAPeerIsIgnored) {
    const QString name = UniqueName();
    CTarnSingleInstance first(name);
    ASSERT_EQ(first.Start(QString()), CTarnSingleInstance::Role::kFirst);
    int activations = 0;
    QObject::connect(&first, &CTarnSingleInstance::Activated, [&] { ++activations; });

    for (const QByteArray& junk :
         {QByteArray("hello\n"), QByteArray(5000, 'x'),
          QByteArray("TALVEX-HANDOVER 1\n/tmp/a\x01.t2a\n"),
          QByteArray("TALVEX-HANDOVER 1\n") + QByteArray(1024, 'a') + "\n"}) {
        QLocalSocket socket;
        socket.connectToServer(name);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(junk);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
        WaitFor([] { return false; }, 200);
    }
    EXPECT_EQ(activations, 0);
    EXPECT_TRUE(first.IsListening());
}

TEST(SingleInstance, MessagesRoundTripAndRejectBadPaths) {
    QString path;
    ASSERT_TRUE(CTarnSingleInstance::Decode(CTarnSingleInstance::Encode("/tmp/ä ö.t2a"), path));
    EXPECT_EQ(path, "/tmp/ä ö.t2a");
    EXPECT_TRUE(CTarnSingleInstance::Encode(QString(1024, 'a')).isEmpty());
    EXPECT_FALSE(CTarnSingleInstance::Encode(QString(1023, 'a')).isEmpty());
    EXPECT_TRUE(CTarnSingleInstance::Encode("a\nb").isEmpty());
    EXPECT_FALSE(CTarnSingleInstance::Decode("TALVEX-HANDOVER 1\n\xff\xfe\n", path));
}
