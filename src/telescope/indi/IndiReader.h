// Reads the endless stream of INDI messages a server sends (top-level XML elements with no root) into
// Messages, however the bytes are split. Used by IndiDriver and IndiTelescopeList; Qt Core only
// (QXmlStreamReader).
#pragma once

#include "telescope/indi/IndiMessage.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <string>
#include <vector>

namespace telescope::indi {

class IndiReader {
public:
    // Limits on what one message may hold; a larger one ends the stream as unreadable.
    static constexpr qsizetype maxMessageBytes = 1 << 20;
    static constexpr std::size_t maxElements = 1000;

    IndiReader();
    // Forgets everything read so far, for a new connection.
    void reset();

    // Takes the next bytes and returns the messages they complete. Unknown commands, elements nested deeper
    // than a vector's elements and messages without a device are skipped. Once the stream is unreadable (bad
    // XML, a message over the limits) every later call returns nothing and error() says why.
    std::vector<Message> feed(const QByteArray& bytes);
    const std::string& error() const { return m_error; }

private:
    void start();
    void end(std::vector<Message>& out);

    QXmlStreamReader m_xml;
    int m_depth = 0;
    bool m_inMessage = false; // inside a known top-level command
    bool m_inElement = false; // inside one of its elements
    Message m_message;
    Element m_element;
    qsizetype m_bytesInMessage = 0;
    std::string m_error;
};

} // namespace telescope::indi
