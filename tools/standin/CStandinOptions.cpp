// SPDX-License-Identifier: MIT
#include "CStandinOptions.h"

QString CStandinOptions::usage()
{
    return QStringLiteral("usage: vellora-standin --port N --data DIR [--release DIR] [--delay MS]\n"
                          "       [--fail STATUS:COUNT[:PATH-PREFIX[:JSON-BODY]]]...\n"
                          "       [--drop COUNT[:PATH-PREFIX]]... [--stall COUNT[:PATH-PREFIX]]...\n"
                          "       [--cut COUNT[:PATH-PREFIX]]...\n") +
           CStandinChaos::usage();
}

bool CStandinOptions::parse(const QStringList& arguments, CStandinOptions* options, QString* error)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& name = arguments.at(i);
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("%1 needs a value").arg(name);
            return false;
        }
        const QString value = arguments.at(++i);
        bool ok = true;
        if (name == QLatin1String("--port")) {
            options->port = value.toInt(&ok);
            ok = ok && options->port >= 0 && options->port <= 65535;
        } else if (name == QLatin1String("--data")) {
            options->dataFolder = value;
            ok = !value.isEmpty();
        } else if (name == QLatin1String("--release")) {
            options->releaseFolder = value;
        } else if (name == QLatin1String("--delay")) {
            options->delayMs = value.toInt(&ok);
            ok = ok && options->delayMs >= 0;
        } else if (name == QLatin1String("--fail")) {
            CStandinFaults::Rule rule;
            ok = CStandinFaults::parseFail(value, &rule);
            options->faults.append(rule);
        } else if (name == QLatin1String("--drop") || name == QLatin1String("--stall") ||
                   name == QLatin1String("--cut")) {
            const CStandinFaults::Kind kind = name == QLatin1String("--drop")    ? CStandinFaults::Kind::Drop
                                              : name == QLatin1String("--stall") ? CStandinFaults::Kind::Stall
                                                                                 : CStandinFaults::Kind::Cut;
            CStandinFaults::Rule rule;
            ok = CStandinFaults::parseCounted(value, kind, &rule);
            options->faults.append(rule);
        } else if (!CStandinChaos::parseOption(name, value, &options->chaos, &ok)) {
            *error = QStringLiteral("unknown option %1").arg(name);
            return false;
        }
        if (!ok) {
            *error = QStringLiteral("bad value for %1: %2").arg(name, value);
            return false;
        }
    }
    if (options->dataFolder.isEmpty()) {
        *error = QStringLiteral("--data DIR is required");
        return false;
    }
    return true;
}
