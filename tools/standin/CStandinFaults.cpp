// SPDX-License-Identifier: MIT
#include "CStandinFaults.h"

#include <QStringList>

namespace {
bool parseCount(const QString& text, int* count)
{
    bool ok = false;
    *count = text.toInt(&ok);
    return ok && *count >= 1;
}

QString prefixOf(const QStringList& fields, int index)
{
    return fields.size() > index ? fields.at(index) : QString();
}
} // namespace

bool CStandinFaults::parseFail(const QString& text, Rule* rule)
{
    QStringList fields = text.split(QLatin1Char(':'));
    if (fields.size() < 2)
        return false;
    const QByteArray body = fields.size() > 3 ? fields.mid(3).join(QLatin1Char(':')).toUtf8() : QByteArray();
    fields = fields.mid(0, 3);
    bool ok = false;
    const int status = fields.at(0).toInt(&ok);
    if (!ok || status < 100 || status > 599 || !parseCount(fields.at(1), &rule->remaining))
        return false;
    rule->kind = Kind::Fail;
    rule->status = status;
    rule->prefix = prefixOf(fields, 2);
    rule->body = body;
    return true;
}

bool CStandinFaults::parseCounted(const QString& text, Kind kind, Rule* rule)
{
    const QStringList fields = text.split(QLatin1Char(':'));
    if (fields.size() > 2 || !parseCount(fields.at(0), &rule->remaining))
        return false;
    rule->kind = kind;
    rule->status = 0;
    rule->prefix = prefixOf(fields, 1);
    return true;
}

void CStandinFaults::add(const Rule& rule)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules.append(rule);
}

CStandinFaults::Rule CStandinFaults::take(const QString& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Rule& rule : m_rules) {
        if (rule.remaining > 0 && path.startsWith(rule.prefix)) {
            --rule.remaining;
            return rule;
        }
    }
    return {};
}
