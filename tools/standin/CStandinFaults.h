// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QVector>

#include <mutex>

// Faults the stand-in service injects for tests: answer the next COUNT requests whose path starts
// with a prefix with an HTTP status (and a body of the test's choice), drop their connection
// before any answer, keep them waiting without an answer, or cut the answer short: a 200 that
// announces its whole length and closes half-way through the body. Rules are used up in the order they
// were given. Thread-safe: requests are served on several threads.
class CStandinFaults
{
public:
    enum class Kind
    {
        None,
        Fail,
        Drop,
        Stall,
        Cut
    };
    struct Rule
    {
        Kind kind = Kind::None;
        int status = 0;
        int remaining = 0;
        QString prefix;
        QByteArray body; // Fail only; empty: the text "injected failure"
    };

    // "STATUS:COUNT[:PATH-PREFIX[:BODY]]", STATUS 100..599, COUNT >= 1; false on anything else.
    // The BODY (the rest of the text, colons included) is sent as JSON.
    static bool parseFail(const QString& text, Rule* rule);
    // "COUNT[:PATH-PREFIX]", for Drop, Stall and Cut.
    static bool parseCounted(const QString& text, Kind kind, Rule* rule);

    void add(const Rule& rule);
    // The fault for this request, if any rule still applies to its path; uses that rule up by one.
    Rule take(const QString& path);

private:
    std::mutex m_mutex;
    QVector<Rule> m_rules;
};
