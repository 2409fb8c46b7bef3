#include "program/DeviceManagerSupport.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

namespace devicemanager {

namespace {
constexpr int kHeaderLength = sizeof(sourcetable::kHeader) - 1;
}

bool SourceTableGatherer::addChunk(const char* data, int length) {
    if (!data || length < 0)
        length = 0;
    length = std::min(length, kChunkSize);
    const QByteArray chunk(data ? data : "", length);
    if (started_)
        return text_.append(chunk.constData(), chunk.size());
    // Look for the header in what was dropped so far plus this chunk, so
    // that one split between chunks is found too.
    const QByteArray joined = carry_ + chunk;
    if (!joined.contains(kSourceTableHeader)) {
        carry_ = joined.right(kHeaderLength - 1);
        return false;
    }
    started_ = true;
    carry_.clear();
    text_.clear();
    return text_.append(joined.constData(), joined.size());
}

void SourceTableGatherer::clear() {
    text_.clear();
    carry_.clear();
    started_ = false;
}

void ParseSourceTable(QString& text, QStringList& names) {
    const QString header = QString::fromLatin1(kSourceTableHeader);
    const QString end = QString::fromLatin1(kSourceTableEnd);
    const QString line = QStringLiteral("\r\nSTR;");

    const qsizetype headerAt = text.indexOf(header);
    if (headerAt >= 0)
        text.remove(0, headerAt);
    const qsizetype endAt = text.indexOf(end);
    if (endAt >= 0)
        text.truncate(endAt + end.size());

    // One pass: `pos` is where the next name starts; what precedes it is
    // cut off once at the end.
    qsizetype pos = 0;
    for (qsizetype at = text.indexOf(line, pos); at >= 0; at = text.indexOf(line, pos)) {
        pos = at + line.size();
        // A name ends at its ';', but never runs past the end of its line.
        qsizetype stop = pos;
        while (stop < text.size() && text[stop] != QChar(';') && text[stop] != QChar('\r') &&
               text[stop] != QChar('\n'))
            ++stop;
        names.append(text.mid(pos, stop - pos));
    }
    text.remove(0, pos);
}

void OutputRatesFor(int boardType, QStringList& names, QList<int>& codes) {
    names.clear();
    codes.clear();
    struct Entry {
        const char* name;
        int code;
    };
    static const Entry kSlow[] = {{"10 s", 6}, {"5 s", 5}, {"2 s", 4}, {"1 Hz", 3}};
    static const Entry kNovatel[] = {{"2 Hz", 11}, {"5 Hz", 2}};
    static const Entry kTrimble[] = {{"10 Hz", 1}, {"20 Hz", 13}};
    auto add = [&](const Entry* first, const Entry* last) {
        for (const Entry* e = first; e != last; ++e) {
            names.append(QString::fromLatin1(e->name));
            codes.append(e->code);
        }
    };
    switch (boardType) {
    case 1:  // Trimble BD: the NovAtel rates and two faster ones
        add(std::begin(kSlow), std::end(kSlow));
        add(std::begin(kNovatel), std::end(kNovatel));
        add(std::begin(kTrimble), std::end(kTrimble));
        break;
    case 2:  // NovAtel OEM
        add(std::begin(kSlow), std::end(kSlow));
        add(std::begin(kNovatel), std::end(kNovatel));
        break;
    case 4:  // Hemisphere
        add(std::begin(kSlow), std::end(kSlow));
        break;
    default: break;
    }
}

void NmeaMessagesFor(int boardType, QStringList& names, QList<uint32_t>& masks) {
    names.clear();
    masks.clear();
    struct Entry {
        const char* name;
        uint32_t mask;
    };
    static const Entry kCommon[] = {{"GPGGA", 0x1},   {"GPGSV", 0x40},  {"GPGSA", 0x10},
                                    {"GPGST", 0x20},  {"GPRMC", 0x100}, {"GPGLL", 0x2},
                                    {"GPVTG", 0x200}, {"GPZDA", 0x400}, {"GPGRS", 0x2000}};
    static const Entry kNovatel[] = {{"GPALM", 0x800}, {"GPRMB", 0x1000}};
    static const Entry kTrimble[] = {{"PTNL,PJK", 0x4000}, {"PTNL,PJT", 0x8000}};
    static const Entry kHemisphere[] = {{"GPGNS", 0x10000}, {"GPRRE", 0x20000}};
    auto add = [&](const Entry* first, const Entry* last) {
        for (const Entry* e = first; e != last; ++e) {
            names.append(QString::fromLatin1(e->name));
            masks.append(e->mask);
        }
    };
    add(std::begin(kCommon), std::end(kCommon));
    if (boardType == 2)
        add(std::begin(kNovatel), std::end(kNovatel));
    else if (boardType == 1)
        add(std::begin(kTrimble), std::end(kTrimble));
    else if (boardType == 4)
        add(std::begin(kHemisphere), std::end(kHemisphere));
}

bool FirmwareVersionFlag(const char* text, size_t size) {
    if (!text)
        return false;
    // Four characters at most, and never past a zero byte or the field.
    size_t n = 0;
    while (n < size && n < 4 && text[n] != '\0')
        ++n;
    std::string rest;
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            continue;
        rest.push_back(c);
    }
    const size_t dot = rest.find('.');
    if (dot != std::string::npos)
        rest.resize(dot);
    // The whole remaining part must be a decimal number (optionally signed).
    if (rest.empty())
        return false;
    const char* first = rest.data();
    const char* last = rest.data() + rest.size();
    if (*first == '+')
        ++first;
    long long value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || first == last)
        return false;
    return value >= 8;
}

unsigned CapabilityMaskFor(int deviceType, bool versionFlag) {
    unsigned mask = 7;
    if (deviceType != 2)
        mask |= 8 | 16;
    if (versionFlag)
        mask |= 32;
    return mask;
}

}  // namespace devicemanager
