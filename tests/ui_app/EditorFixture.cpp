#include "EditorFixture.h"

#include <QCoreApplication>

#include "ui/framework/CEfResourceResolver.h"

void EditorFixture::SetUp() {
    host = std::make_unique<CTarnHost>();
    CTarnHostServices services;
    services.preferencesStore = &store;
    ASSERT_TRUE(host->Initialize(std::move(services)));
    CEfResourceResolver::SetDefault(&resolver);
    window = new CTarnMainWindow(*host);
    window->show();
    ProcessEvents();
}

void EditorFixture::TearDown() {
    delete window;
    window = nullptr;
    CEfResourceResolver::SetDefault(nullptr);
    host.reset();
}

void EditorFixture::ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}
