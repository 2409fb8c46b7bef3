#include "protocol/Em_Critcal_Section.h"

#include <mutex>

namespace Fjarnis2011 {
namespace FJParse {

struct Em_Critcal_Section::Impl {
    std::recursive_mutex mutex;
};

// The storage lives from construction to destruction, so entering a section
// whose owner forgot InitializeSection, or entering after DeleteSection, still
// locks a real mutex instead of touching freed memory.
Em_Critcal_Section::Em_Critcal_Section() : impl_(new Impl) {}

Em_Critcal_Section::~Em_Critcal_Section() { delete impl_; }

void Em_Critcal_Section::InitializeSection() {}

void Em_Critcal_Section::EnterSection() { impl_->mutex.lock(); }

void Em_Critcal_Section::LeaveSection() { impl_->mutex.unlock(); }

void Em_Critcal_Section::DeleteSection() {}

Em_CrtSect_Lock::Em_CrtSect_Lock(Em_Critcal_Section* s) : section_(s) {
    if (section_) section_->EnterSection();
}

Em_CrtSect_Lock::~Em_CrtSect_Lock() {
    if (section_) section_->LeaveSection();
}

}  // namespace FJParse
}  // namespace Fjarnis2011
