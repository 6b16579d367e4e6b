#include "code_table_test_support.h"

#include <atomic>
#include <sys/wait.h>
#include <unistd.h>

namespace tovi::test {
namespace {

std::u16string ascii(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

} // namespace

SharedNames::SharedNames() {
    static std::atomic<int> serial{0};
    suffix_ = ascii("." + std::to_string(::getpid()) + "." + std::to_string(++serial));
    sectionName_ = u"tovi.test.section" + suffix_;
    platform::SharedMemory::removeName(sectionName_);
    platform::setSharedSectionName(sectionName_);
}

SharedNames::~SharedNames() {
    for (const int scheme : {1, 2}) {
        const auto names = codeTableNames(scheme, suffix_);
        platform::SharedMemory::removeName(names->codePool);
        platform::SharedMemory::removeName(names->textPool);
        platform::NamedMutex::removeName(names->mutex);
    }
    platform::setSharedSectionName(u"tovi.VemoraH");
    platform::SharedMemory::removeName(sectionName_);
}

int inChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    if (pid < 0)
        return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace tovi::test
