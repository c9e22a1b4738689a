// Lists the telescopes of one INDI server (host and port as the operator typed them) for the telescope
// chooser: every device whose DRIVER_INTERFACE has the telescope bit. Asynchronous, on the Qt event loop.
#pragma once

#include "telescope/Driver.h"
#include "telescope/indi/IndiAddress.h"
#include "telescope/indi/IndiProperties.h"
#include "telescope/indi/IndiReader.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <string>
#include <vector>

namespace telescope::indi {

struct IndiTelescope {
    std::string id;   // "indi://host:port/device"
    std::string name; // the device name, as the chooser shows it
};

class IndiTelescopeList final : public QObject {
    Q_OBJECT
public:
    // How long the server may stay silent once it has started answering before the list counts as complete,
    // and the limit on the whole listing.
    static constexpr int quietMs = 500;
    static constexpr int limitMs = 5000;

    explicit IndiTelescopeList(QObject* parent = nullptr);

    // Asks the server at host:port for its devices; done runs once, later, with the telescopes in name order
    // (possibly none), or with a failure in words when the server cannot be reached or sends no INDI. A new
    // call drops the one before it unanswered; so does destroying the list.
    void list(const std::string& host, std::uint16_t port, Callback<std::vector<IndiTelescope>> done);

private:
    void finish(const std::optional<Failure>& failure);

    QTcpSocket m_socket;
    IndiReader m_reader;
    PropertyStore m_store;
    QTimer m_quiet;
    QTimer m_limit;
    IndiAddress m_server;
    Callback<std::vector<IndiTelescope>> m_done;
};

} // namespace telescope::indi
