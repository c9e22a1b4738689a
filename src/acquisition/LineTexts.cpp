// Live and record lines from a per-code table, so a line is built by copying short pieces: no number
// formatting on the per-reading path.
#include "acquisition/LineTexts.h"

#include "acquisition/NumberFormat.h"
#include "acquisition/TrackingError.h"
#include "common/FixedNumber.h"

#include <array>

namespace acquisition {
namespace {

// The fixed pieces of a line that depend only on the character code.
struct CodeTexts {
    struct Piece {
        char text[12];
        std::uint8_t size;
        std::string_view view() const { return {text, size}; }
    };
    Piece livePrefix;   // "7E:126: ", "5:  5: "
    Piece recordPrefix; // "7E:126: ", "5:5: "
    Piece teField;      // "   0.125", " -16.000"
};

void setPiece(CodeTexts::Piece& piece, const std::string& text) {
    piece.size = static_cast<std::uint8_t>(text.copy(piece.text, sizeof piece.text));
}

std::array<CodeTexts, 256> buildTable() {
    std::array<CodeTexts, 256> table{};
    for (unsigned code = 0; code < 256; ++code) {
        std::string hex;
        appendHex(hex, code);
        std::string decimal;
        appendDecimal(decimal, code);
        std::string live = hex + ":";
        appendRightAligned(live, decimal, 3);
        setPiece(table[code].livePrefix, live + ": ");
        setPiece(table[code].recordPrefix, hex + ":" + decimal + ": ");
        std::string te;
        appendRightAligned(te, common::formatFixed(trackingErrorFromCode(static_cast<std::uint8_t>(code)), 3),
                           8);
        setPiece(table[code].teField, te);
    }
    return table;
}

const CodeTexts& codeTexts(std::uint8_t code) {
    static const std::array<CodeTexts, 256> table = buildTable();
    return table[code];
}

} // namespace

namespace {

// The two lines differ only in the code's prefix and in what stands between the value and the position.
void appendLine(std::string& out, std::string_view prefix, const common::LocalTime& time,
                const common::TimeStampFormatter& stamps, std::string_view teField, std::string_view afterTe,
                std::string_view raText, std::string_view decText) {
    out += prefix;
    stamps.appendStamp(out, time);
    out += "  TE: ";
    out += teField;
    out += afterTe;
    out += raText;
    out += ' ';
    out += decText;
}

} // namespace

void appendLiveLine(std::string& out, std::uint8_t code, const common::LocalTime& time,
                    const common::TimeStampFormatter& stamps, std::string_view raText,
                    std::string_view decText) {
    const CodeTexts& texts = codeTexts(code);
    appendLine(out, texts.livePrefix.view(), time, stamps, texts.teField.view(), " ASCOM ", raText, decText);
}

void appendRecordLine(std::string& out, std::uint8_t code, const common::LocalTime& time,
                      const common::TimeStampFormatter& stamps, std::string_view raText,
                      std::string_view decText) {
    const CodeTexts& texts = codeTexts(code);
    appendLine(out, texts.recordPrefix.view(), time, stamps, texts.teField.view(), " ", raText, decText);
}

} // namespace acquisition
