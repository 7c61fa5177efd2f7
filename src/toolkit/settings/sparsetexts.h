#pragma once

#include <QString>
#include <QVector>

// Texts that most objects of a class leave unset, held only when set: an
// object with none of them carries one pointer, not one text per setting.
// Declared as `SparseTexts sparseTexts;` by a class whose settings use
// ZT_SPARSE_TEXT_SETTING (ztsetting.h); each setting has a slot of its own.
class SparseTexts
{
public:
    // The slot's text; null when never set or set to a null text.
    const QString &at(int slot) const
    {
        for (const Entry &entry : entries) {
            if (entry.slot == slot)
                return entry.text;
        }
        static const QString none;
        return none;
    }

    // A null text lets go of the slot; an empty one is kept, as a member would keep it.
    void set(int slot, const QString &text)
    {
        for (int i = 0; i < entries.size(); ++i) {
            if (entries.at(i).slot != slot)
                continue;
            if (text.isNull())
                entries.remove(i);
            else
                entries[i].text = text;
            return;
        }
        if (!text.isNull())
            entries.append({ slot, text });
    }

private:
    struct Entry {
        int slot;
        QString text;
    };
    QVector<Entry> entries;
};
