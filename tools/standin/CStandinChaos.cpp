// SPDX-License-Identifier: MIT
#include "CStandinChaos.h"

#include <QStringList>

namespace {
bool parsePercent(const QString& text, double* rate)
{
    bool ok = false;
    const double percent = text.toDouble(&ok);
    *rate = percent / 100.0;
    return ok && percent >= 0 && percent <= 100;
}
} // namespace

QString CStandinChaos::usage()
{
    return QStringLiteral("       [--fail-rate PERCENT] [--drop-rate PERCENT] [--seed N]\n"
                          "       [--busy COUNT:SECONDS[:PATH-PREFIX]]...\n");
}

bool CStandinChaos::parseOption(const QString& name, const QString& value, Settings* settings, bool* ok)
{
    if (name == QLatin1String("--fail-rate")) {
        *ok = parsePercent(value, &settings->failRate);
    } else if (name == QLatin1String("--drop-rate")) {
        *ok = parsePercent(value, &settings->dropRate);
    } else if (name == QLatin1String("--seed")) {
        settings->seed = value.toUInt(ok);
    } else if (name == QLatin1String("--busy")) {
        const QStringList fields = value.split(QLatin1Char(':'));
        Settings::Busy busy;
        bool countOk = false;
        bool secondsOk = false;
        busy.remaining = fields.value(0).toInt(&countOk);
        busy.seconds = fields.value(1).toInt(&secondsOk);
        busy.prefix = fields.value(2);
        *ok = fields.size() >= 2 && fields.size() <= 3 && countOk && secondsOk && busy.remaining >= 1 &&
              busy.seconds >= 0;
        settings->busy.append(busy);
    } else {
        return false;
    }
    return true;
}

CStandinChaos::CStandinChaos(const Settings& settings) : m_settings(settings), m_random(settings.seed) {}

bool CStandinChaos::isShaken(const QString& path)
{
    return path == QLatin1String("/storage/upload") || path == QLatin1String("/api/user/image/save");
}

bool CStandinChaos::draw(double rate)
{
    if (rate <= 0)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < rate;
}

bool CStandinChaos::failNow(const QString& path)
{
    return isShaken(path) && draw(m_settings.failRate);
}

bool CStandinChaos::dropNow(const QString& path)
{
    return path == QLatin1String("/storage/upload") && draw(m_settings.dropRate);
}

int CStandinChaos::busyNow(const QString& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Settings::Busy& busy : m_settings.busy) {
        if (busy.remaining > 0 && path.startsWith(busy.prefix)) {
            --busy.remaining;
            return busy.seconds;
        }
    }
    return -1;
}
