#pragma once

#include <QtGlobal>

namespace kestatest
{

// While it lives, every write that would make a file of this process larger
// than `bytes` fails (as on a full disk) instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    quint64 previous = 0;
    void (*previousHandler)(int) = nullptr;
};

} // namespace kestatest
