// SPDX-License-Identifier: MIT
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

// One running copy of the program per record folder. Two copies writing the same "save_last.js"
// and "user_data.js" would overwrite each other's work, so a second start hands over to the first
// (which brings its window to the front) and ends.
//
// The copy that runs holds "vellora.lock" in the record folder (a lock whose owner is gone is
// taken over) and listens on a local socket named after the folder; a second start finds the lock
// held, knocks on the socket and ends.
class QSingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit QSingleInstance(const QString& recordFolder, QObject* parent = nullptr);

    // True when this copy may run: no other copy holds the folder (or no lock can be made there at
    // all; the records then fail to be written, and the user is told). False when another copy
    // runs; it has been asked to come to the front.
    bool claim();

    static QString lockName() { return QStringLiteral("vellora.lock"); }

signals:
    // Another start of the program for this record folder asked this copy to come to the front.
    void anotherStart();

private:
    QString serverName() const;

    QString m_folder;
    QLockFile m_lock;
    QLocalServer* m_server;
};
