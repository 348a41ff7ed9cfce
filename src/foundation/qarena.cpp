#include "foundation/qarena.h"

#include "foundation/qmessage.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#define QARENA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QARENA_ASAN 1
#endif
#endif

#ifdef QARENA_ASAN
#include <sanitizer/asan_interface.h>
// Room not handed out yet stays poisoned, so a read past an object or a text in the
// arena is caught as it would be on the heap.
#define QARENA_POISON(at, bytes) ASAN_POISON_MEMORY_REGION(at, bytes)
#define QARENA_UNPOISON(at, bytes) ASAN_UNPOISON_MEMORY_REGION(at, bytes)
#else
#define QARENA_POISON(at, bytes) ((void)(at), (void)(bytes))
#define QARENA_UNPOISON(at, bytes) ((void)(at), (void)(bytes))
#endif

void QArena::unpoison(void* at, std::size_t bytes) {
    QARENA_UNPOISON(at, bytes);
}

namespace {

std::atomic<std::size_t> mappedBytes{0};

// A block aligned to its huge size, with the kernel asked to back it by one huge page:
// a large document's nodes are reached in tree order, all over the arena, and 4 KB pages
// would cost a page-table walk on most of those steps. Null when it cannot be mapped.
char* mapHugeBlock(std::size_t size) {
    std::size_t span = 2 * size;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    auto start = (std::uintptr_t)mapped;
    std::uintptr_t aligned = (start + size - 1) & ~(std::uintptr_t)(size - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    if (start + span > aligned + size)
        munmap((void*)(aligned + size), start + span - aligned - size);
    madvise((void*)aligned, size, MADV_HUGEPAGE);
    mappedBytes += size;
    return (char*)aligned;
}

} // namespace

std::size_t QArena::MappedBytes() {
    return mappedBytes;
}

char* QArena::newBlock(std::size_t bytes) {
    bool huge = bytes == HUGE_BLOCK;
    char* block = huge ? mapHugeBlock(bytes) : nullptr;
    if (!block) {
        huge = false;
        block = (char*)std::malloc(bytes);
    }
    if (!block) qfatal("QArena: out of memory");
    QARENA_POISON(block, bytes);
    blocks.push_back(Block{block, bytes, huge});
    held += bytes;
    return block;
}

void* QArena::allocateInNewBlock(std::size_t bytes) {
    // A large request gets a block of its own, so the current block's room is not lost.
    if (bytes > BLOCK / 4) {
        char* block = newBlock(bytes);
        unpoison(block, bytes);
        return block;
    }
    // Small documents take small blocks; a large one goes on in huge ones.
    std::size_t size = held >= HUGE_AFTER ? HUGE_BLOCK : BLOCK;
    begin = newBlock(size);
    cursor = begin + size;
    return Allocate(bytes);
}

char* QArena::CopyText(const char* bytes, int length) {
    std::size_t size = (std::size_t)length + 1;
    char* at;
    if ((std::size_t)(cursor - begin) >= size) {
        cursor -= size;
        at = cursor;
        unpoison(at, size);
    } else {
        at = (char*)allocateInNewBlock(size);
    }
    std::memcpy(at, bytes, length);
    at[length] = 0;
    return at;
}

void QArena::Release() {
    for (const Block& block : blocks) {
        QARENA_UNPOISON(block.bytes, block.size);
        if (block.mapped) {
            munmap(block.bytes, block.size);
            mappedBytes -= block.size;
        } else {
            std::free(block.bytes);
        }
    }
    blocks.clear();
    blocks.shrink_to_fit();
    begin = cursor = nullptr;
    held = 0;
}
