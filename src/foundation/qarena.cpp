#include "foundation/qarena.h"

#include "foundation/qmessage.h"

#include <cstdlib>
#include <cstring>

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

char* QArena::newBlock(std::size_t bytes) {
    char* block = (char*)std::malloc(bytes);
    if (!block) qfatal("QArena: out of memory");
    QARENA_POISON(block, bytes);
    blocks.push_back(Block{block, bytes});
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
    begin = newBlock(BLOCK);
    cursor = begin + BLOCK;
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
        std::free(block.bytes);
    }
    blocks.clear();
    blocks.shrink_to_fit();
    begin = cursor = nullptr;
    held = 0;
}
