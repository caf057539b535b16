// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The updater's record of an install in progress, kept in the installation as
// "tarnwick-journal.json". It is written before the first program file changes and names every
// file the install touches and every folder it creates, so that an install cut short (a kill, a
// power cut) can be undone, or finished when every new file was already in place.
//
// While the install places files the journal says "placing": each new file is written beside its
// target (".tarnwick-new"), the old file is kept aside under a second name (".tarnwick-old", a hard
// link, so the old file never leaves its own name) and the new one is renamed over the target.
// Once all are placed the journal says "placed" and only the kept files remain to be removed.
//
// recover() is called at the start of the updater and of the main program: it rolls an unfinished
// "placing" install back, completes a "placed" one, and removes what an install leaves behind
// (side files, "Vellora.zip", "tmpExt"). An updater that is installing right now holds the
// installation's lock file; recovery leaves its work alone.
class CInstallJournal
{
public:
    struct File
    {
        QString path; // relative to the installation, '/' separated
        bool existed = false;
    };

    enum class Recovery
    {
        Nothing,    // no install was under way
        RolledBack, // an unfinished install was undone
        Completed,  // an install whose files were all in place was finished
        Busy,       // another updater is installing; nothing touched
        Unwritable  // the installation cannot be changed by this user; nothing touched
    };

    static QString journalName() { return QStringLiteral("tarnwick-journal.json"); }
    static QString lockName() { return QStringLiteral("tarnwick.lock"); }
    static QString freshName(const QString& path) { return path + QStringLiteral(".tarnwick-new"); }
    static QString keptName(const QString& path) { return path + QStringLiteral(".tarnwick-old"); }

    explicit CInstallJournal(const QString& installFolder);

    // Writes the journal in the "placing" phase; false (and no journal) when it cannot be written.
    bool begin(const QVector<File>& files, const QStringList& createdFolders);
    // Switches the journal to "placed".
    bool markPlaced();
    // Removes the journal: the install is over.
    bool finish();

    // Undoes the install named by the journal, whatever phase it reached, and removes the journal.
    // The caller holds the lock.
    static bool rollBack(const QString& installFolder);

    // Takes the installation's lock and repairs whatever an earlier install left (see above).
    static Recovery recover(const QString& installFolder);

    // Replaces to by from in one step (a rename that may overwrite).
    static bool renameOver(const QString& from, const QString& to);
    // Gives the file at path a second name: a hard link, or a copy where links are not possible.
    static bool keepAside(const QString& path, const QString& kept);

private:
    bool write(const QString& phase);
    static bool complete(const QString& installFolder, const QVector<File>& files);
    static void removeLeftovers(const QString& installFolder);

    QString m_folder;
    QVector<File> m_files;
    QStringList m_createdFolders;
};
