// Small helpers shared by the INDI driver tests: a Qt application for GoogleTest, a port nobody listens on,
// result catchers and a call that waits for its answer.
#pragma once

#include "telescope/Driver.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "indi_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

// A loopback port that a server just gave back, so nothing listens on it.
inline quint16 deadPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Catches one callback's result: pass catcher.take() as the callback, then wait for catcher.done().
template <typename T>
struct Catch {
    std::optional<telescope::Result<T>> result;
    telescope::Callback<T> take() {
        result.reset();
        return [this](const telescope::Result<T>& r) {
            result = r;
        };
    }
    bool done() const { return result.has_value(); }
    bool ok() const { return result && result->ok(); }
    int number() const { return result ? result->failure.number : 0; }
    const std::string& message() const { return result->failure.message; }
    const T& value() const {
        static const T none{};
        return result && result->value ? *result->value : none;
    }
};

// Makes one driver call, e.g. call(done, driver, &IndiDriver::pulseGuide, GuideDirection::West, 1000), and
// runs the event loop until it answers (20 s guard against a hang).
template <typename T, typename D, typename C, typename... P, typename... A>
Catch<T>& call(Catch<T>& c, D& driver, void (C::*member)(P...), A... args) {
    (driver.*member)(args..., c.take());
    EXPECT_TRUE(QTest::qWaitFor([&c] { return c.done(); }, 20000));
    return c;
}
