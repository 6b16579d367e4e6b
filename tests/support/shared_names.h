// Names of their own for the shared objects (control section, pools, mutexes) of one test,
// benchmark or fuzz run, so that runs never meet each other's tables; removed when it ends.
#pragma once

#include "platform/shared_section.h"

#include <string>

namespace tovi::test {

class SharedNames {
public:
    SharedNames();
    ~SharedNames();
    SharedNames(const SharedNames&) = delete;
    SharedNames& operator=(const SharedNames&) = delete;
    const std::u16string& suffix() const { return suffix_; }
    platform::SharedControlSection* section() const { return platform::sharedControlSection(); }

private:
    std::u16string suffix_;
    std::u16string sectionName_;
};

} // namespace tovi::test
