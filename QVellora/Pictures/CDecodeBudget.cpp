// SPDX-License-Identifier: MIT
#include "Pictures/CDecodeBudget.h"

#include <QSemaphore>

namespace {

constexpr qint64 unitBytes = qint64(1) << 20;

QSemaphore& budget()
{
    static QSemaphore units(int(CDecodeBudget::totalBytes() / unitBytes));
    return units;
}

} // namespace

CDecodeBudget::Lease::Lease(qint64 bytes)
    : m_units(int(qBound<qint64>(0, (bytes + unitBytes - 1) / unitBytes, totalBytes() / unitBytes)))
{
    if (m_units > 0)
        budget().acquire(m_units);
}

CDecodeBudget::Lease::~Lease()
{
    if (m_units > 0)
        budget().release(m_units);
}
