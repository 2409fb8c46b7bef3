#pragma once

// The text of an NTRIP source table as it arrives in pieces, from the
// receiver's modem or from a caster over the program's own connection. Real
// casters send tables of some hundred kilobytes; the text is capped well
// above that, so that a peer that never sends the end marker cannot make the
// program gather without limit, and each piece is searched for the end marker
// only where it is new, so that gathering stays linear in the bytes received.

#include <QByteArray>

namespace sourcetable {

// NTRIP source-table markers; both are matched case-sensitively.
inline constexpr char kHeader[] = "SOURCETABLE 200 OK\r\n";
inline constexpr char kEnd[] = "ENDSOURCETABLE";

// The most source-table text the program keeps.
inline constexpr qsizetype kLargestTable = 4 * 1024 * 1024;

class CappedText {
public:
    explicit CappedText(qsizetype limit = kLargestTable) : limit_(limit < 0 ? 0 : limit) {}

    // Appends n bytes. Once a piece would pass the limit, what does not fit
    // and everything after it is dropped, but still searched for the end
    // marker. Returns true once the end marker has been seen, in this piece
    // or an earlier one, also when it is split across pieces.
    bool append(const char* data, qsizetype n);
    bool ended() const { return ended_; }
    // True when bytes were dropped before the end marker: the table was cut.
    // The kept text then ends with its last whole line, so that no name is
    // taken from a line that was cut in two.
    bool cut() const { return cut_; }
    const QByteArray& text() const { return text_; }
    // Replaces the kept text (what is left after the names were taken); the
    // end-marker state stays as it is.
    void setText(const QByteArray& text) { text_ = text.left(limit_); }
    void clear();

private:
    qsizetype limit_;
    QByteArray text_;
    // The last bytes received, one fewer than the end marker: enough to find
    // a marker that begins in one piece and ends in the next.
    QByteArray tail_;
    bool ended_ = false;
    bool dropped_ = false;
    bool cut_ = false;
};

}  // namespace sourcetable
