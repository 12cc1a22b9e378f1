#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <thread>

#include "RecordingLayer.h"
#include "TestResources.h"
#include "framework/CEfMessageManagerApp.h"
#include "ui/framework/CEfWindow.h"

namespace {

// A window whose own listener writes to the shared log after its layers.
class LoggingWindow : public CEfWindow {
public:
    LoggingWindow(std::vector<std::string>* log, std::string name)
        : log_(log), name_(std::move(name)) {}
    bool OnEfMessageReceived(CEfMessageManagerApp*, int32_t type, int32_t p1, int32_t, int32_t,
                             int32_t, CEfMessageManagerListener*) override {
        log_->push_back(name_ + ":" + std::to_string(type) + ":" + std::to_string(p1));
        return false;
    }

private:
    std::vector<std::string>* log_;
    std::string name_;
};

void ProcessEvents() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

struct Fixture {
    Fixture() {
        manager.Initialize();
        main.SetMessageManager(&manager);
        about.SetMessageManager(&manager);
        container->AddLayer(shownChild, true);
        container->AddLayer(hiddenChild, false);
        main.AddLayer(container);
        main.AddLayer(toolbar);
        about.AddLayer(aboutLayer);
    }

    TestResources resources;
    std::vector<std::string> log;
    CEfMessageManagerApp manager;
    LoggingWindow main{&log, "main"};
    LoggingWindow about{&log, "about"};
    RecordingLayer* container = new RecordingLayer(&log, "container");
    RecordingLayer* shownChild = new RecordingLayer(&log, "page");
    RecordingLayer* hiddenChild = new RecordingLayer(&log, "hidden");
    RecordingLayer* toolbar = new RecordingLayer(&log, "toolbar");
    RecordingLayer* aboutLayer = new RecordingLayer(&log, "aboutLayer");
};

} // namespace

TEST(WindowMessages, DeliveredThroughTheEventQueueInLayerOrderToBothWindows) {
    Fixture f;
    f.manager.Post(kMsgRefreshAll, 10);
    f.manager.Post(kMsgModifiedChanged, 11);
    // Nothing runs inside the post.
    EXPECT_TRUE(f.log.empty());
    ProcessEvents();

    const std::vector<std::string> expected = {"container:0:10", "page:0:10",       "toolbar:0:10",
                                               "main:0:10",      "aboutLayer:0:10", "about:0:10",
                                               "container:4:11", "page:4:11",       "toolbar:4:11",
                                               "main:4:11",      "aboutLayer:4:11", "about:4:11"};
    EXPECT_EQ(f.log, expected);
}

TEST(WindowMessages, PostsFromAnotherThreadArriveOnTheUserInterfaceThreadInOrder) {
    Fixture f;
    std::thread poster([&] {
        for (int i = 0; i < 50; ++i) {
            f.manager.Post(kMsgRefreshExtCtrl, i);
        }
    });
    poster.join();
    ProcessEvents();
    std::vector<std::string> pages;
    for (const std::string& line : f.log) {
        if (line.rfind("page:", 0) == 0) {
            pages.push_back(line);
        }
    }
    ASSERT_EQ(pages.size(), 50u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(pages[static_cast<size_t>(i)], "page:5:" + std::to_string(i));
    }
    EXPECT_EQ(std::count_if(f.log.begin(), f.log.end(),
                            [](const std::string& l) { return l.rfind("about:", 0) == 0; }),
              50);
}

TEST(WindowMessages, TargetedMessageReachesOnlyItsLayerEvenWhenHidden) {
    Fixture f;
    EXPECT_TRUE(f.main.HasListener(f.hiddenChild));
    EXPECT_FALSE(f.about.HasListener(f.hiddenChild));
    f.manager.PostTo(f.hiddenChild, kMsgFileDropped, 1);
    f.manager.PostTo(&f.about, kMsgFileDropped, 0);
    ProcessEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"hidden:6:1", "about:6:0"}));
}

TEST(WindowMessages, DestroyedLayersAndWindowsLeaveNoListenerBehind) {
    Fixture f;
    CEfWindowLayer* child = f.shownChild;
    delete f.shownChild;
    EXPECT_FALSE(f.main.HasListener(child));
    EXPECT_EQ(f.container->Layers().size(), 1u);
    {
        LoggingWindow extra(&f.log, "extra");
        extra.SetMessageManager(&f.manager);
        f.manager.Post(kMsgRefreshAll, 1);
    }
    // The destroyed window's queued notice is dropped with it.
    ProcessEvents();
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "extra:0:1"), 0);
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "main:0:1"), 1);
}

TEST(WindowMessages, TimerTicksReachShownLayersWithElapsedTime) {
    Fixture f;
    f.main.SetContentSize(QSize(700, 526));
    f.main.show();
    ASSERT_TRUE(f.main.IsTimerRunning());
    QElapsedTimer waited;
    waited.start();
    while (f.shownChild->ticks.size() < 3 && waited.elapsed() < 5000) {
        QTest::qWait(10);
    }
    const qint64 span = waited.elapsed();
    ASSERT_GE(f.shownChild->ticks.size(), 3u);
    EXPECT_TRUE(f.hiddenChild->ticks.empty());
    int total = 0;
    for (int t : f.shownChild->ticks) {
        EXPECT_GE(t, 15);
        total += t;
    }
    // The ticks account for the time that passed, no more.
    EXPECT_LE(total, span + 60);
    f.main.hide();
    EXPECT_FALSE(f.main.IsTimerRunning());
}

TEST(WindowMessages, RemovedLayersLeaveTheWindowAndMayOutliveIt) {
    TestResources resources;
    std::vector<std::string> log;
    CEfMessageManagerApp manager;
    manager.Initialize();
    auto* window = new LoggingWindow(&log, "main");
    window->SetMessageManager(&manager);
    auto* container = new RecordingLayer(&log, "container");
    auto* page = new RecordingLayer(&log, "page");
    container->AddLayer(page, true);
    window->AddLayer(container);
    ASSERT_TRUE(window->HasListener(page));

    ASSERT_TRUE(window->RemoveLayer(container));
    EXPECT_EQ(container->Window(), nullptr);
    EXPECT_EQ(page->Window(), nullptr);
    EXPECT_FALSE(window->HasListener(page));
    manager.Post(kMsgRefreshAll, 1);
    ProcessEvents();
    EXPECT_EQ(log, std::vector<std::string>{"main:0:1"});

    // A removed layer may outlive the window, or go with its widgets.
    auto* toolbar = new RecordingLayer(&log, "toolbar");
    window->AddLayer(toolbar);
    window->RemoveLayer(toolbar);
    container->setParent(nullptr);
    delete window;
    delete container;
    EXPECT_FALSE(manager.UnregisterWindow(window));
}
