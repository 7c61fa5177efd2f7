#pragma once

#include <QString>
#include <QtAlgorithms>

// Texts that most objects of a class leave unset, held only when set: an
// object with none of them carries one pointer, one with some a block of just
// those texts, not one text per setting. Declared as `SparseTexts sparseTexts;`
// by a class whose settings use ZT_SPARSE_TEXT_SETTING (ztsetting.h); each
// setting has a slot of its own, 0 to 31.
class SparseTexts
{
public:
    SparseTexts() = default;
    ~SparseTexts();
    SparseTexts(const SparseTexts &) = delete;
    SparseTexts &operator=(const SparseTexts &) = delete;

    // The slot's text; null when never set or set to a null text.
    const QString &at(int slot) const
    {
        if (!block || !(block->mask & (1u << slot)))
            return none();
        return block->texts()[place(slot)];
    }

    // A null text lets go of the slot; an empty one is kept, as a member would keep it.
    void set(int slot, const QString &text);

private:
    // The set slots' texts follow the block in slot order.
    struct Block {
        quint32 mask;
        int count;
        QString *texts() { return reinterpret_cast<QString *>(this + 1); }
    };
    static const QString &none();
    int place(int slot) const { return qPopulationCount(block->mask & ((1u << slot) - 1)); }

    Block *block = nullptr;
};
