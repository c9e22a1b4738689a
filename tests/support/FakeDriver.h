// A telescope driver for tests: answers from plain fields, records every call, and either answers at once or
// holds the callbacks until the test releases them (to test what happens while a call is in flight).
#pragma once

#include "telescope/Driver.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace telescope {

class FakeDriver : public Driver {
public:
    explicit FakeDriver(std::string id = "alpaca://127.0.0.1:11111/telescope/0")
        : m_id(std::move(id)) {}

    // What the device answers; a set failure (number != 0) makes that member fail.
    Failure openFailure, connectFailure;
    bool canSetRates = true;
    double ra = 5.5, dec = 45.25; // hours, degrees
    bool parked = false;
    bool isConnected = true;  // what connected() answers
    bool holdAnswers = false; // true: callbacks wait in pending until releaseAll()
    // One-shot failures: the next call whose text starts with the key fails, whatever the fields say.
    std::map<std::string, Failure> failNext;

    std::vector<std::string> calls; // "open", "connect", "setGuideRateRightAscension 0.500000", ...
    double writtenRateRa = 0, writtenRateDec = 0;
    int disconnects = 0; // close() told the mount to let go
    int closes = 0;

    void releaseAll() {
        auto pending = std::move(m_pending);
        m_pending.clear();
        for (auto& f : pending)
            f();
    }
    std::size_t pendingCount() const { return m_pending.size(); }

    std::string id() const override { return m_id; }
    void open(Callback<Done> done) override { answer("open", done, openFailure, Done{}); }
    void connect(Callback<Done> done) override {
        m_connected = true;
        answer("connect", done, connectFailure, Done{});
    }
    void close(std::function<void()> closed) override {
        ++closes;
        if (std::exchange(m_connected, false)) {
            calls.push_back("disconnect");
            ++disconnects;
        }
        if (holdAnswers)
            m_pending.push_back(std::move(closed));
        else
            closed();
    }
    void connected(Callback<bool> done) override { answer("connected", done, {}, isConnected); }
    void canSetGuideRates(Callback<bool> done) override { answer("canSetGuideRates", done, {}, canSetRates); }
    void setGuideRateRightAscension(double multiple, Callback<Done> done) override {
        answer("setGuideRateRightAscension " + std::to_string(writtenRateRa = multiple), done, {}, Done{});
    }
    void setGuideRateDeclination(double multiple, Callback<Done> done) override {
        answer("setGuideRateDeclination " + std::to_string(writtenRateDec = multiple), done, {}, Done{});
    }
    void guideRateRightAscension(Callback<double> done) override {
        answer("guideRateRightAscension", done, {}, writtenRateRa);
    }
    void guideRateDeclination(Callback<double> done) override {
        answer("guideRateDeclination", done, {}, writtenRateDec);
    }
    void rightAscension(Callback<double> done) override { answer("rightAscension", done, {}, ra); }
    void declination(Callback<double> done) override { answer("declination", done, {}, dec); }
    void atPark(Callback<bool> done) override { answer("atPark", done, {}, parked); }
    void unpark(Callback<Done> done) override {
        parked = false;
        answer("unpark", done, {}, Done{});
    }
    void pulseGuide(GuideDirection direction, int durationMs, Callback<Done> done) override {
        answer("pulseGuide " + std::to_string(static_cast<int>(direction)) + " " + std::to_string(durationMs),
               done, {}, Done{});
    }

private:
    template <typename T>
    void answer(std::string call, const Callback<T>& done, Failure failure, T value) {
        for (auto it = failNext.begin(); it != failNext.end(); ++it)
            if (call.starts_with(it->first)) {
                failure = it->second;
                failNext.erase(it);
                break;
            }
        calls.push_back(std::move(call));
        auto f = [done, failure, value] {
            done(failure.number ? Result<T>::failed(failure) : Result<T>::success(value));
        };
        if (holdAnswers)
            m_pending.push_back(f);
        else
            f();
    }

    std::string m_id;
    bool m_connected = false;
    std::deque<std::function<void()>> m_pending;
};

} // namespace telescope
