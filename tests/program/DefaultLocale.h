#pragma once

#include <QLocale>

// The desktop's locale for one case; the locale the case found is put back
// however the case ends.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) : old_(QLocale()) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(old_); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale old_;
};
