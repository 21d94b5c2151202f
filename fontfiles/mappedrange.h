#pragma once

#include <QtGlobal>

// A memory-mapped file read while another program may cut it short: touching
// a page that the file no longer has raises SIGBUS, which would end the
// program. While a MappedRange lives, such a page of its range is mapped anew
// as zeros instead, and wasCut() says so afterwards, so that what was read
// from it is thrown away. One range at a time: where another lives, or where
// the system has no such signal, isActive() is false and the file must be
// read rather than mapped.
class MappedRange
{
public:
    MappedRange(const void *data, qint64 size);
    ~MappedRange();
    MappedRange(const MappedRange &) = delete;
    MappedRange &operator=(const MappedRange &) = delete;

    bool isActive() const { return m_active; }
    // Whether a page of the range was gone when it was read.
    bool wasCut() const;

private:
    bool m_active = false;
};
