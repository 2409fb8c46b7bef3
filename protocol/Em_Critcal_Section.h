#pragma once

#include "protocol/FJParseExport.h"

namespace Fjarnis2011 {
namespace FJParse {

// A recursive critical section with explicit life-cycle calls: the owner calls
// InitializeSection before use and DeleteSection at the end.
class FJPARSE_API Em_Critcal_Section {
public:
    Em_Critcal_Section();
    ~Em_Critcal_Section();
    Em_Critcal_Section(const Em_Critcal_Section&) = delete;
    Em_Critcal_Section& operator=(const Em_Critcal_Section&) = delete;

    void InitializeSection();
    void EnterSection();
    void LeaveSection();
    void DeleteSection();

private:
    struct Impl;
    Impl* impl_;
};

// Enters the section for the lifetime of the lock; null enters nothing.
class FJPARSE_API Em_CrtSect_Lock {
public:
    explicit Em_CrtSect_Lock(Em_Critcal_Section* s);
    ~Em_CrtSect_Lock();
    Em_CrtSect_Lock(const Em_CrtSect_Lock&) = delete;
    Em_CrtSect_Lock& operator=(const Em_CrtSect_Lock&) = delete;

private:
    Em_Critcal_Section* section_;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
