#include "shared_section.h"

#include "win32_handle.h"

#include <windows.h>

namespace tovi::platform {
namespace {

// Session-local and unprefixed, like the pools it describes; the 32-bit and the 64-bit module open
// the same object.
constexpr wchar_t kSectionName[] = L".VemoraToviImeSharedControl";

// A mapped view, unmapped when the module unloads.
class View {
public:
    View() = default;
    View(const View&) = delete;
    View& operator=(const View&) = delete;
    ~View() { reset(); }
    void* get() const { return view_; }
    void reset(void* view = nullptr) {
        if (view_)
            UnmapViewOfFile(view_);
        view_ = view;
    }

private:
    void* view_ = nullptr;
};

class ControlSections {
public:
    // Runs once per process (see sharedControlSection).
    void map() {
        if (mapShared())
            return;
        // Not writable, or another build's layout: this process keeps its own block, and follows
        // the shared one read-only where it can.
        own_.layout = kSharedControlLayout;
        mapWatched();
    }
    SharedControlSection* section() {
        return shared_.get() ? static_cast<SharedControlSection*>(shared_.get()) : &own_;
    }
    const SharedControlSection* watched() const {
        return static_cast<const SharedControlSection*>(watched_.get());
    }
    bool isOwn(const SharedControlSection* section) const { return section == &own_; }

private:
    bool mapShared() {
        // The default protection of named objects: processes below the creator's integrity get
        // no write access, and fall back.
        handle_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         sizeof(SharedControlSection), kSectionName));
        if (!handle_)
            return false;
        // An existing object smaller than the section fails here rather than faulting later.
        shared_.reset(MapViewOfFile(handle_.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0,
                                    sizeof(SharedControlSection)));
        if (shared_.get() && adoptLayout(*static_cast<SharedControlSection*>(shared_.get())))
            return true;
        shared_.reset();
        handle_.reset();
        return false;
    }
    void mapWatched() {
        handle_.reset(OpenFileMappingW(FILE_MAP_READ, FALSE, kSectionName));
        if (!handle_)
            return;
        watched_.reset(
            MapViewOfFile(handle_.get(), FILE_MAP_READ, 0, 0, sizeof(SharedControlSection)));
        // Read-only: a fresh object cannot be set up from here, so only a set-up one is
        // followed.
        const auto* watched = static_cast<const volatile SharedControlSection*>(watched_.get());
        if (watched && watched->layout != kSharedControlLayout)
            watched_.reset();
        if (!watched_.get())
            handle_.reset();
    }

    UniqueHandle handle_;
    View shared_;
    View watched_;
    SharedControlSection own_{};
};

// Constant-initialised: ready before any code of the module runs, and torn down (views unmapped,
// handle closed) when the module unloads.
constinit ControlSections gSections;
INIT_ONCE gMapped = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK mapSections(PINIT_ONCE, PVOID, PVOID*) {
    gSections.map();
    return TRUE;
}

void ensureMapped() {
    // Creating and mapping a file mapping takes no loader lock and loads no library, so this may
    // run in any thread, under the loader lock too; a second caller waits for the first.
    InitOnceExecuteOnce(&gMapped, mapSections, nullptr, nullptr);
}

} // namespace

SharedControlSection* sharedControlSection() {
    ensureMapped();
    return gSections.section();
}

bool isProcessPrivate(const SharedControlSection* section) {
    return section && gSections.isOwn(section);
}

const SharedControlSection* watchedSharedSection() {
    ensureMapped();
    return gSections.watched();
}

std::u16string sharedNameSuffix() {
    return {};
}

} // namespace tovi::platform
