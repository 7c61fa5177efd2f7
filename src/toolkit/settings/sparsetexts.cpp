#include "toolkit/settings/sparsetexts.h"

#include <cstdlib>
#include <cstring>
#include <new>

// QString is one pointer that may be moved as bytes (Q_MOVABLE_TYPE): a block
// grows or shrinks by copying its texts' bytes, without touching their counts.
static_assert(sizeof(QString) == sizeof(void *), "a text is one pointer");

SparseTexts::~SparseTexts()
{
    if (!block)
        return;
    for (int i = 0; i < block->count; ++i)
        block->texts()[i].~QString();
    std::free(block);
}

const QString &SparseTexts::none()
{
    static const QString null;
    return null;
}

void SparseTexts::set(int slot, const QString &text)
{
    Q_ASSERT(slot >= 0 && slot < 32);
    const quint32 bit = 1u << slot;
    const bool held = block && (block->mask & bit);
    if (held && !text.isNull()) {
        block->texts()[place(slot)] = text;
        return;
    }
    if (!held && text.isNull())
        return;
    const int at = block ? place(slot) : 0;
    const int count = block ? block->count : 0;
    const int newCount = held ? count - 1 : count + 1;
    if (newCount == 0) {
        block->texts()[at].~QString();
        std::free(block);
        block = nullptr;
        return;
    }
    if (held) {
        block->texts()[at].~QString();
        std::memmove(static_cast<void *>(block->texts() + at), block->texts() + at + 1,
            sizeof(QString) * size_t(count - at - 1));
    }
    // Room for an even number of texts: the allocator hands out blocks in
    // steps of two texts anyway, so every second text added needs no resize.
    // Resized in place where the allocator can: a row filled slot after slot
    // grows at its end, into free space behind it.
    const auto room = [](int texts) { return (texts + 1) & ~1; };
    Block *resized = block;
    if (!block || room(newCount) != room(count)) {
        resized = static_cast<Block *>(
            std::realloc(block, sizeof(Block) + sizeof(QString) * size_t(room(newCount))));
        // A block that cannot shrink stays as it is, too large.
        if (!resized && held)
            resized = block;
        else if (!resized)
            qBadAlloc();
    }
    if (!block)
        resized->mask = 0;
    block = resized;
    block->mask = held ? block->mask & ~bit : block->mask | bit;
    block->count = newCount;
    if (!held) {
        std::memmove(static_cast<void *>(block->texts() + at + 1), block->texts() + at,
            sizeof(QString) * size_t(count - at));
        new (block->texts() + at) QString(text);
    }
}
