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
    Block *grown = nullptr;
    if (newCount > 0) {
        grown = static_cast<Block *>(std::malloc(sizeof(Block) + sizeof(QString) * size_t(newCount)));
        if (!grown)
            qBadAlloc();
        grown->mask = held ? block->mask & ~bit : (block ? block->mask : 0) | bit;
        grown->count = newCount;
    }
    if (held) {
        block->texts()[at].~QString();
        if (grown) {
            std::memcpy(static_cast<void *>(grown->texts()), block->texts(), sizeof(QString) * size_t(at));
            std::memcpy(static_cast<void *>(grown->texts() + at), block->texts() + at + 1,
                sizeof(QString) * size_t(count - at - 1));
        }
    } else {
        if (block) {
            std::memcpy(static_cast<void *>(grown->texts()), block->texts(), sizeof(QString) * size_t(at));
            std::memcpy(static_cast<void *>(grown->texts() + at + 1), block->texts() + at,
                sizeof(QString) * size_t(count - at));
        }
        new (grown->texts() + at) QString(text);
    }
    std::free(block);
    block = grown;
}
