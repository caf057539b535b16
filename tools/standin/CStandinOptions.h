// SPDX-License-Identifier: MIT
#pragma once

#include "CStandinChaos.h"
#include "CStandinFaults.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The stand-in service's command line:
//   vellora-standin --port N --data DIR [--release DIR] [--delay MS]
//                   [--fail STATUS:COUNT[:PATH-PREFIX[:JSON-BODY]]]...
//                   [--drop COUNT[:PATH-PREFIX]]... [--stall COUNT[:PATH-PREFIX]]...
//                   and the random faults of CStandinChaos
// --port 0 picks a free port. It always listens on 127.0.0.1 only.
class CStandinOptions
{
public:
    // arguments without the program name; false with a message for the user on bad input.
    static bool parse(const QStringList& arguments, CStandinOptions* options, QString* error);
    static QString usage();

    int port = 18080;
    QString dataFolder;
    QString releaseFolder;
    int delayMs = 0;
    QVector<CStandinFaults::Rule> faults;
    CStandinChaos::Settings chaos;
};
