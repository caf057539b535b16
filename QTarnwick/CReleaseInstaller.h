// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Copies an unpacked release over the installation so that afterwards the installation is either
// wholly the new release or exactly the old one. Each file is written beside its target and renamed
// into place (a running executable cannot be written into, but it can be renamed over); the file it
// replaces is kept under a side name until every file is in place. Any failure puts back every kept
// file and removes every new file and folder.
class CReleaseInstaller
{
public:
    // Installs every file and folder under source into target (an existing folder). Files of the
    // installation that the release does not hold are left alone.
    bool install(const QString& source, const QString& target);

private:
    struct Placed
    {
        QString path;
        QString kept; // the replaced file's side name, empty when nothing was replaced
    };

    bool placeFile(const QString& from, const QString& to);
    bool makeFolder(const QString& path);
    void rollBack();
    void commit();

    QVector<Placed> m_placed;
    QStringList m_createdFolders;
};
