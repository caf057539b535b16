// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QVector>

#include <mutex>
#include <random>

// Faults spread at random over the storage and registration endpoints, for shaking a client the
// way a home connection does, and the service asking clients to come back later:
//   --fail-rate PERCENT       that share of requests is answered 503 before anything is done
//   --drop-rate PERCENT       that share of storage uploads is cut off half-way through the body
//   --busy COUNT:SECONDS[:PATH-PREFIX]  the next COUNT requests get 429 with "Retry-After: SECONDS"
//   --seed N                  the random faults come in the same order for the same seed
// Each request is judged once, in the order requests arrive. Thread-safe.
class CStandinChaos
{
public:
    struct Settings
    {
        double failRate = 0; // 0..1
        double dropRate = 0;
        quint32 seed = 1;
        struct Busy
        {
            int remaining = 0;
            int seconds = 0;
            QString prefix;
        };
        QVector<Busy> busy;
    };

    // True when name is one of the options above (value then consumed); *ok tells whether the
    // value was good.
    static bool parseOption(const QString& name, const QString& value, Settings* settings, bool* ok);
    static QString usage();

    explicit CStandinChaos(const Settings& settings);

    // Whether the random faults apply to this path at all.
    static bool isShaken(const QString& path);
    // The next request to path: answered 503 now?
    bool failNow(const QString& path);
    // The next storage upload: cut off half-way through its body?
    bool dropNow(const QString& path);
    // Seconds for "Retry-After" when path is answered 429 now; -1 when not.
    int busyNow(const QString& path);

private:
    bool draw(double rate);

    Settings m_settings;
    std::mutex m_mutex;
    std::mt19937 m_random;
};
