// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The usage reporter's hold on "user_data.js" while it is being sent. The file is renamed to
// "user_data.js.sending" before anything is read, so a run that the main program records during
// the post goes into a new "user_data.js" and can never be deleted with the sent records.
// After an accepted report the claimed file is removed; otherwise its records are merged back
// into "user_data.js" (put back whole when no new file was written meanwhile), so they go with
// the next report. A claim left by a reporter that was killed is merged back at the next start.
// Claiming and giving back hold the lock file "user_data.js.lock" for their few file steps; a
// writer that holds the same lock around its read and rewrite never races them.
class CUsageClaim
{
public:
    explicit CUsageClaim(const QString& path);

    QString path() const { return m_path; }
    QString claimPath() const { return m_path + QStringLiteral(".sending"); }
    QString lockPath() const { return m_path + QStringLiteral(".lock"); }

    // Merges back an earlier claim, then claims the file and reads it (text mode). False when
    // there is no file to send.
    bool claim(QByteArray* content);
    // The service took the records: the claimed file goes.
    bool forget();
    // The records were not taken: they go back into the usage file. False when they could not be
    // put back; the claimed file then stays for the next start.
    bool giveBack();

    // The numbered records of both files, earlier first, renumbered "0", "1", ...; the newer
    // file's identifier unless it has none. Pure, for tests and for giveBack.
    static QByteArray merged(const QByteArray& earlier, const QByteArray& newer);

private:
    bool giveBackLocked();

    QString m_path;
};
