// Named shared memory: one block of memory that every process opening the same name sees.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace tovi::platform {

class SharedMemory {
public:
    // Opens the block called `name`, creating it (zero-filled) when no process holds it yet, and
    // maps `size` bytes of it. Returns nullopt when the block cannot be created or mapped, or
    // when an existing block is smaller than `size`.
    static std::optional<SharedMemory> openOrCreate(const std::u16string& name, std::size_t size);
    // A zero-filled block of `size` bytes that no other process can open, for a process that may
    // not use the named ones. Nullopt when the system refuses it.
    static std::optional<SharedMemory> createUnnamed(std::size_t size);

    SharedMemory(SharedMemory&&) noexcept;
    SharedMemory& operator=(SharedMemory&&) noexcept;
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;
    ~SharedMemory();

    // True when another process had created the block before this one opened it.
    bool existed() const { return existed_; }
    void* data() const { return data_; }
    std::size_t size() const { return size_; }

    // Asks the system to map in the first `bytes` of the block at once, so that reading a filled
    // block does not take one page fault per page. Only a hint: failure changes nothing.
    void prefetch(std::size_t bytes) const;

    // Forgets the name so that the next openOrCreate makes a new block. Windows drops a block with
    // its last handle; POSIX keeps it until it is removed, which tests use to start afresh.
    static void removeName(const std::u16string& name);

private:
    struct Handle;
    SharedMemory(std::unique_ptr<Handle> handle, void* data, std::size_t size, bool existed);

    std::unique_ptr<Handle> handle_;
    void* data_ = nullptr;
    std::size_t size_ = 0;
    bool existed_ = false;
};

} // namespace tovi::platform
