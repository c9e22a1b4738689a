// The INDI message reader (see IndiReader.h).
#include "telescope/indi/IndiReader.h"

#include <QStringView>

#include <utility>

namespace telescope::indi {

namespace {

struct Command {
    const char* tag;
    MessageKind kind;
    PropertyType type;
};

constexpr Command commands[] = {
    {"defNumberVector", MessageKind::Define, PropertyType::Number},
    {"defSwitchVector", MessageKind::Define, PropertyType::Switch},
    {"defTextVector", MessageKind::Define, PropertyType::Text},
    {"defLightVector", MessageKind::Define, PropertyType::Light},
    {"defBLOBVector", MessageKind::Define, PropertyType::Blob},
    {"setNumberVector", MessageKind::Set, PropertyType::Number},
    {"setSwitchVector", MessageKind::Set, PropertyType::Switch},
    {"setTextVector", MessageKind::Set, PropertyType::Text},
    {"setLightVector", MessageKind::Set, PropertyType::Light},
    {"setBLOBVector", MessageKind::Set, PropertyType::Blob},
    {"delProperty", MessageKind::Delete, PropertyType::Number},
    {"message", MessageKind::Note, PropertyType::Number},
    {"pingRequest", MessageKind::PingRequest, PropertyType::Number},
};

std::string attribute(const QXmlStreamAttributes& attributes, const char* name) {
    return attributes.value(QLatin1String(name)).toString().toStdString();
}

} // namespace

IndiReader::IndiReader() {
    reset();
}

void IndiReader::reset() {
    m_xml.clear();
    // The stream has no root element; one made up here lets the reader take it as one document.
    m_xml.addData(QByteArrayLiteral("<indi>"));
    m_depth = 0;
    m_inMessage = false;
    m_inElement = false;
    m_message = Message{};
    m_element = Element{};
    m_bytesInMessage = 0;
    m_error.clear();
}

std::vector<Message> IndiReader::feed(const QByteArray& bytes) {
    std::vector<Message> out;
    if (!m_error.empty())
        return out;
    m_xml.addData(bytes);
    m_bytesInMessage += bytes.size();
    while (!m_xml.atEnd()) {
        const auto token = m_xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++m_depth;
            start();
        } else if (token == QXmlStreamReader::EndElement) {
            end(out);
            if (--m_depth == 1)
                m_bytesInMessage = 0; // counts again from here: a fair bound, off by at most one read
        } else if (token == QXmlStreamReader::Characters && m_inElement && m_depth == 3) {
            m_element.value += m_xml.text().toString().toStdString();
        }
        if (m_message.elements.size() > maxElements)
            break;
    }
    if (m_bytesInMessage > maxMessageBytes || m_message.elements.size() > maxElements) {
        m_error = "a message longer than " + std::to_string(maxMessageBytes) + " bytes or with more than " +
                  std::to_string(maxElements) + " elements";
    } else if (m_xml.hasError() && m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
        m_error = "XML error at line " + std::to_string(m_xml.lineNumber()) + ": " +
                  m_xml.errorString().toStdString();
    }
    return out;
}

void IndiReader::start() {
    if (m_depth == 2) {
        const QStringView tag = m_xml.name();
        for (const Command& c : commands) {
            if (tag != QLatin1String(c.tag))
                continue;
            const auto attributes = m_xml.attributes();
            m_message = Message{};
            m_message.kind = c.kind;
            m_message.type = c.type;
            m_message.device = attribute(attributes, "device");
            m_message.name = attribute(attributes, "name");
            m_message.state = parseState(attribute(attributes, "state"));
            m_message.perm = attribute(attributes, "perm");
            m_message.rule = attribute(attributes, "rule");
            m_message.timeoutSeconds = parseNumber(attribute(attributes, "timeout")).value_or(0);
            m_message.text = attribute(attributes, "message");
            m_message.uid = attribute(attributes, "uid");
            m_inMessage = true;
            break;
        }
    } else if (m_depth == 3 && m_inMessage) {
        const QStringView tag = m_xml.name();
        if (tag.startsWith(QLatin1String("def")) || tag.startsWith(QLatin1String("one"))) {
            m_element = Element{attribute(m_xml.attributes(), "name"), {}};
            m_inElement = true;
        }
    }
}

void IndiReader::end(std::vector<Message>& out) {
    if (m_depth == 3 && m_inElement) {
        m_inElement = false;
        const auto first = m_element.value.find_first_not_of(" \t\r\n");
        const auto last = m_element.value.find_last_not_of(" \t\r\n");
        m_element.value =
            first == std::string::npos ? std::string() : m_element.value.substr(first, last - first + 1);
        if (!m_element.name.empty())
            m_message.elements.push_back(std::move(m_element));
    } else if (m_depth == 2 && m_inMessage) {
        m_inMessage = false;
        m_bytesInMessage = 0;
        const bool named = !m_message.name.empty() || m_message.kind == MessageKind::Delete ||
                           m_message.kind == MessageKind::Note || m_message.kind == MessageKind::PingRequest;
        const bool forDevice = !m_message.device.empty() || m_message.kind == MessageKind::Note ||
                               m_message.kind == MessageKind::PingRequest;
        const bool stated = m_message.kind != MessageKind::Define || m_message.state.has_value();
        if (named && forDevice && stated)
            out.push_back(std::move(m_message));
    }
}

} // namespace telescope::indi
