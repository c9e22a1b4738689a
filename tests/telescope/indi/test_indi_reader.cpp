// IndiReader on captured simulator sessions and on broken input: the same messages however the bytes are
// split, the attributes that matter, and a clean refusal of what is not INDI.
#include "telescope/indi/FakeIndiServer.h"
#include "telescope/indi/IndiReader.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace telescope::indi;

namespace {

QByteArray sessionBytes(const char* name) {
    QFile file(sessionPath(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray out;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.startsWith('#'))
            out += line + '\n';
    return out;
}

std::vector<Message> readInReads(const QByteArray& bytes, qsizetype size) {
    IndiReader reader;
    std::vector<Message> all;
    for (qsizetype at = 0; at < bytes.size(); at += size)
        for (Message& m : reader.feed(bytes.mid(at, size)))
            all.push_back(std::move(m));
    EXPECT_EQ(reader.error(), "");
    return all;
}

TEST(IndiReader, SameMessagesWhereverTheStreamIsSplit) {
    const QByteArray bytes = sessionBytes("parked");
    const auto whole = readInReads(bytes, bytes.size());
    ASSERT_GT(whole.size(), 100u);
    for (qsizetype size : {1, 2, 3, 17, 4096}) {
        const auto split = readInReads(bytes, size);
        ASSERT_EQ(split.size(), whole.size()) << size;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(split[i].name, whole[i].name);
            ASSERT_EQ(split[i].elements.size(), whole[i].elements.size());
            for (std::size_t e = 0; e < whole[i].elements.size(); ++e)
                EXPECT_EQ(split[i].elements[e].value, whole[i].elements[e].value)
                    << size << " " << whole[i].name;
        }
    }
}

// An Alert's text and a Busy pulse's values as the driver takes them: test_indi_driver's replays.
TEST(IndiReader, CapturedDeletionsAndNotesNameTheirDeviceAndText) {
    const auto messages = readInReads(sessionBytes("parked"), 1 << 20);
    const Message* deleted = nullptr;
    const Message* note = nullptr;
    for (const Message& m : messages) {
        if (m.kind == MessageKind::Delete && m.name == "EQUATORIAL_EOD_COORD")
            deleted = &m;
        if (m.kind == MessageKind::Note && !note)
            note = &m;
    }
    ASSERT_TRUE(deleted && note);
    EXPECT_EQ(deleted->device, "Telescope Simulator");
    EXPECT_EQ(note->text, "[INFO] Telescope simulator is online.");
}

TEST(IndiReader, SkipsWhatItDoesNotKnowAndRefusesWhatIsNotXml) {
    const struct {
        const char* input;
        std::size_t messages;
        bool error;
    } cases[] = {
        {"<newThing a='1'><x/></newThing><message device='d' message='hi'/>", 1, false},
        {"<setNumberVector device='d' name='p' state='Ok'><oneNumber name='n'>1<b>x</b>2</oneNumber>"
         "</setNumberVector>",
         1, false},
        {"<setNumberVector name='p' state='Ok'></setNumberVector>", 0, false},               // no device
        {"<defNumberVector device='d' name='p' state='Weird'></defNumberVector>", 0, false}, // no valid state
        {"<delProperty device='d'/>", 1, false},
        {"<pingRequest uid='7'/>", 1, false},
        {"<defNumberVector device='d' name='p'></defSwitchVector>", 0, true},
        {"</indi><message device='d' message='x'/>", 0, true},
        {"<message device='d' message='&bogus;'/>", 0, true},
    };
    for (const auto& c : cases) {
        IndiReader reader;
        const auto messages = reader.feed(c.input);
        EXPECT_EQ(messages.size(), c.messages) << c.input;
        EXPECT_EQ(!reader.error().empty(), c.error) << c.input << ": " << reader.error();
        if (c.error) {
            EXPECT_TRUE(reader.feed("<message device='d' message='after'/>").empty());
        }
    }
}

TEST(IndiReader, RefusesAMessageThatNeverEnds) {
    IndiReader reader;
    reader.feed("<setTextVector device='d' name='p' state='Ok'><oneText name='t'>");
    const QByteArray block(64 * 1024, 'x');
    for (int i = 0; i < 20 && reader.error().empty(); ++i)
        reader.feed(block);
    EXPECT_NE(reader.error(), "");
}

} // namespace
