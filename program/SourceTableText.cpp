#include "program/SourceTableText.h"

#include <algorithm>

namespace sourcetable {

namespace {
constexpr qsizetype kEndLength = sizeof(kEnd) - 1;
}

bool CappedText::append(const char* data, qsizetype n) {
    if (!data || n <= 0) return ended_;
    const qsizetype room = std::max<qsizetype>(0, limit_ - text_.size());
    if (n > room) cut_ = true;
    text_.append(data, std::min(n, room));
    if (!ended_) {
        // Only the new bytes and the few before them can hold a new marker.
        QByteArray window = tail_;
        window.append(data, n);
        ended_ = window.contains(kEnd);
        tail_ = window.right(kEndLength - 1);
    }
    return ended_;
}

void CappedText::clear() {
    text_.clear();
    tail_.clear();
    ended_ = false;
    cut_ = false;
}

}  // namespace sourcetable
