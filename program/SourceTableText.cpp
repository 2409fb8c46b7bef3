#include "program/SourceTableText.h"

#include <algorithm>

namespace sourcetable {

namespace {
constexpr qsizetype kEndLength = sizeof(kEnd) - 1;
}

bool CappedText::append(const char* data, qsizetype n) {
    if (!data || n <= 0) return ended_;
    // How many bytes of this piece reach to the end of the marker, when the
    // marker ends in it.
    qsizetype endsWithin = -1;
    if (!ended_) {
        // Only the new bytes and the few before them can hold a new marker.
        QByteArray window = tail_;
        window.append(data, n);
        const qsizetype at = window.indexOf(kEnd);
        if (at >= 0) {
            ended_ = true;
            endsWithin = std::max<qsizetype>(0, at + kEndLength - tail_.size());
        }
        tail_ = window.right(kEndLength - 1);
    }
    if (dropped_) return ended_;
    const qsizetype room = std::max<qsizetype>(0, limit_ - text_.size());
    if (n <= room) {
        text_.append(data, n);
        return ended_;
    }
    text_.append(data, room);
    dropped_ = true;
    // Bytes after a marker that was kept whole cut nothing of the table.
    const bool endKept = ended_ && endsWithin <= room;
    if (!endKept) {
        cut_ = true;
        text_.truncate(text_.lastIndexOf('\n') + 1);
    }
    return ended_;
}

void CappedText::clear() {
    text_.clear();
    tail_.clear();
    ended_ = false;
    dropped_ = false;
    cut_ = false;
}

}  // namespace sourcetable
