// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

// The memory the program's picture decodes may take together. Every decode estimates its cost
// from the picture's header before it starts and holds that much of the budget while it runs, so
// however many loaders run at once, giant pictures are decoded one after the other. A decode
// that would cost more than maxDecodeBytes() on its own is refused instead.
class CDecodeBudget
{
public:
    static constexpr qint64 totalBytes() { return qint64(640) << 20; }
    static constexpr qint64 maxDecodeBytes() { return qint64(512) << 20; }
    // The largest picture decoded whole: its pixels, and a converted copy of them while scaling.
    static constexpr qint64 maxDecodePixels() { return maxDecodeBytes() / 8; }

    // Holds bytes of the budget (at most all of it) for its lifetime; waits until they are free.
    class Lease
    {
    public:
        explicit Lease(qint64 bytes);
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

    private:
        int m_units = 0;
    };
};
