// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

class QLockFile;

// The updater's record of an install in progress, kept in the installation as
// "tarnwick-journal.json". It is written before the updater creates anything: first naming only
// its scratch ("Vellora.zip", "tmpExt"), then, before the first program file changes, every file
// the install touches (whether it existed, the digest of the new content) and every folder it
// creates, so that an install cut short (a kill, a power cut) can be undone, or finished when
// every new file was already in place.
//
// While the install places files the journal says "placing": each new file is written beside its
// target (".tarnwick-new"), the old file is kept aside under a second name (".tarnwick-old", a hard
// link, so the old file never leaves its own name) and the new one is renamed over the target.
// Once all are placed the journal says "placed" and only the kept files remain to be removed.
//
// recover() is called at the start of the updater and of the main program. It acts only on what
// a journal of this program names: a journal it cannot read whole is kept aside and nothing is
// touched; an entry that is not whole, or whose path leaves the installation or passes through a
// link, is skipped; a file is removed as added only when it holds exactly the content the journal
// recorded. An updater that is installing right now holds the installation's lock file; recovery
// leaves its work alone.
class CInstallJournal
{
public:
    struct File
    {
        QString path; // relative to the installation, '/' separated
        bool existed = false;
        QByteArray sha256; // hex digest of the new content
    };

    enum class Recovery
    {
        Nothing,    // no install was under way
        RolledBack, // an unfinished install was undone
        Completed,  // an install whose files were all in place was finished
        Busy,       // another updater is installing; nothing touched
        Unwritable, // the installation cannot be changed by this user; nothing touched
        Unreadable  // the journal could not be read whole; kept aside, nothing touched
    };

    static QString journalName() { return QStringLiteral("tarnwick-journal.json"); }
    static QString lockName() { return QStringLiteral("tarnwick.lock"); }
    static QString freshName(const QString& path) { return path + QStringLiteral(".tarnwick-new"); }
    static QString keptName(const QString& path) { return path + QStringLiteral(".tarnwick-old"); }
    // What the updater downloads and unpacks into; removed only when a journal names them.
    static QStringList scratchNames() { return {QStringLiteral("Vellora.zip"), QStringLiteral("tmpExt")}; }

    explicit CInstallJournal(const QString& installFolder);

    // Writes a journal naming only the scratch, before the updater creates it.
    bool beginScratch();
    // Writes the journal in the "placing" phase; false (and no journal) when it cannot be written.
    bool begin(const QVector<File>& files, const QStringList& createdFolders);
    // Switches the journal to "placed".
    bool markPlaced();
    // Every program file is in place and tidied: the journal names only the scratch again.
    bool markScratchOnly();
    // Removes the journal: the install is over.
    bool finish();
    // Removes the journal when it names nothing but the scratch (already removed by the caller);
    // a roll-back that could not be finished keeps its journal for the next start.
    static bool finishScratch(const QString& installFolder);

    // Undoes the install named by the journal, whatever phase it reached, and removes the journal.
    // The caller holds the lock.
    static bool rollBack(const QString& installFolder);

    // Takes the installation's lock and repairs whatever an earlier install left (see above).
    static Recovery recover(const QString& installFolder);

    // Takes the installation's lock (lock is on path). A lock file that names no owner (a power cut right
    // after it was created leaves it empty) or whose owner is gone is stale and taken over; one a live
    // process holds is not.
    static bool lockInstallation(QLockFile& lock, const QString& path);

    // Replaces to by from in one step (a rename that may overwrite).
    static bool renameOver(const QString& from, const QString& to);
    // Gives the file at path a second name: a hard link, or a copy where links are not possible.
    static bool keepAside(const QString& path, const QString& kept);
    // The hex sha256 of the file's content; empty when it cannot be read.
    static QByteArray digest(const QString& path);

private:
    bool write(const QString& phase);

    QString m_folder;
    QVector<File> m_files;
    QStringList m_createdFolders;
};
