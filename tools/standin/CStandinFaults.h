// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QVector>

#include <mutex>

// Faults the stand-in service injects for tests: answer the next COUNT requests whose path starts
// with a prefix with an HTTP status, or drop their connection after the headers. Rules are used up
// in the order they were given. Thread-safe: requests are served on several threads.
class CStandinFaults
{
public:
    enum class Kind
    {
        None,
        Fail,
        Drop
    };
    struct Rule
    {
        Kind kind = Kind::None;
        int status = 0;
        int remaining = 0;
        QString prefix;
    };

    // "STATUS:COUNT[:PATH-PREFIX]", STATUS 100..599, COUNT >= 1; false on anything else.
    static bool parseFail(const QString& text, Rule* rule);
    // "COUNT[:PATH-PREFIX]".
    static bool parseDrop(const QString& text, Rule* rule);

    void add(const Rule& rule);
    // The fault for this request, if any rule still applies to its path; uses that rule up by one.
    Rule take(const QString& path);

private:
    std::mutex m_mutex;
    QVector<Rule> m_rules;
};
