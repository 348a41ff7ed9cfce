// QArena: memory handed out from large blocks and given back all at once. A loaded
// document keeps its nodes and their texts here, which would otherwise cost a heap
// block (with its header and rounding) each. Each block is handed out from its top
// down: the loader puts every node in front of the ones read before it, so a walk along
// the list runs up through memory, which the processor fetches ahead best.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class QArena {
  public:
    QArena() = default;
    ~QArena() { Release(); }
    QArena(const QArena&) = delete;
    QArena& operator=(const QArena&) = delete;

    // Uninitialised room for bytes, aligned to 8 (pointers and 64-bit numbers). Never
    // fails: like new, an exhausted heap ends the program.
    void* Allocate(std::size_t bytes) {
        if ((std::size_t)(cursor - begin) < bytes + ALIGN) return allocateInNewBlock(bytes);
        char* at = (char*)((std::uintptr_t)(cursor - bytes) & ~(std::uintptr_t)(ALIGN - 1));
        cursor = at;
        unpoison(at, bytes);
        return at;
    }
    // A terminated copy of length bytes; texts are packed without alignment.
    char* CopyText(const char* bytes, int length);

    // Gives every block back; whatever was allocated is gone.
    void Release();
    // Bytes taken for blocks, from the heap or mapped.
    std::size_t BytesHeld() const { return held; }
    // Bytes that all arenas of the process hold in mapped blocks, which the heap's own
    // statistics do not see.
    static std::size_t MappedBytes();

  private:
    static constexpr std::size_t ALIGN = 8;
    static constexpr std::size_t BLOCK = 256 * 1024;
    static constexpr std::size_t HUGE_BLOCK = 2 * 1024 * 1024; // one huge page
    static constexpr std::size_t HUGE_AFTER = 4 * 1024 * 1024; // held in small blocks first

    void* allocateInNewBlock(std::size_t bytes);
    char* newBlock(std::size_t bytes);
    static void unpoison(void* at, std::size_t bytes);

    struct Block {
        char* bytes;
        std::size_t size;
        bool mapped;
    };
    std::vector<Block> blocks;
    char* begin = nullptr;  // of the current block
    char* cursor = nullptr; // everything from here to the block's end is handed out
    std::size_t held = 0;
};
